// The scenarios, one row each: the program, the Windows version it is told, tacetto.cfg,
// the doubles' sound.txt, and the steps, which are actions and what must be seen:
//   hold N / taken N   the driver registers combination N itself: granted / refused
//   start              the program starts here (else before the first step)
//   win                its window shows (the mute tool's with its greeting)
//   box C|T, boxh C|T  a message box with caption C and text T, confirmed; boxh: while the
//                      program's window is not visible
//   press [N [x]]      the configured hotkey (or N, x: as an extended key); burst K: K presses
//   label P            the mute tool's label: "Mikrofon/Line-Volume: P%" (or the text given)
//   log A|B            the next lines of sound.log are exactly these (@macro: kMacros)
//   keys 90 91         the next strokes seen by the keyboard hook that the driver did not
//                      type: one press of Num Lock (90), of Scroll Lock (91), each down and up,
//                      extended, injected
//   lock B             the lock key's byte in the program thread's key-state table
//   quiet              nothing more comes (log, strokes, boxes)
//   close; session W   the system close command; WM_QUERYENDSESSION, then WM_ENDSESSION W
//   sound LINE         rewrites the line of sound.txt whose first two words are LINE's
//   field H, holds H   the probe's hotkey field: HKM_SETHOTKEY H / holds H (hex)
//   type N; click      N typed into the probe's field; its button clicked
//   item ID C|T        the probe's control: class C, text T
//   atoms +N           global "My Hotkey" atoms: N more than before the start
//   exit               the program ends with exit code 0
// At the end every log line and every stroke must have been expected.
#include "tests/e2e/scenarios.h"

namespace {

#define INSTRUCTIONS                                          \
  "#1: In das Eingabe-Feld klicken\r\n"                       \
  "#2: Einen Hotkey dr\xFC"                                   \
  "cken (STRG+F oder so)\r\n"                                 \
  "#3: Auf 'Hotkey aktivieren' klicken\r\n"                   \
  "#4: Wenn keine Fehlermeldung erscheint die Zahl ins Config-File schreiben\r\n" \
  "#5: Nochmal bei Schritt 1 Anfangen wenn dir langweilig ist\r\n"

}  // namespace

const Macro kMacros[] = {
    {"@open", "mixerOpen 0 0 0 0 -> 0"},
};
const int kMacroCount = sizeof kMacros / sizeof *kMacros;

const Row kRows[] = {
    // The probe tool: window and controls; a combination put into the field (Ctrl is 2 in the
    // field and in the number, Shift 1 -> 4, Alt 4 -> 1) registered, its number shown, each
    // press recognised, the combination free again after the end.
    {"tastrel-window", "tastrel", false, nullptr, nullptr,
     "win; item 1001 Static|" INSTRUCTIONS "; item 1002 msctls_hotkey32|msctls_hotkey321; "
     "item 1003 Static|Hotkey Eingabe-Feld -->; item 1004 Button|Hotkey aktivieren; "
     "holds 0; atoms +1; close; exit; atoms +0"},
    {"tastrel-ctrl-f", "tastrel", false, nullptr, nullptr,
     "win; field 246; click; box Tastrel|Hotkey Wert = 582; taken 582; press 582; "
     "box Tastrel|Hotkey wurde erkannt!; press 582; box Tastrel|Hotkey wurde erkannt!; "
     "close; exit; hold 582; atoms +0"},
    {"tastrel-ctrl-alt-m", "tastrel", false, nullptr, nullptr,
     "win; field 64d; click; box Tastrel|Hotkey Wert = 845; press 845; "
     "box Tastrel|Hotkey wurde erkannt!; close; exit; hold 845"},
    {"tastrel-shift-f1", "tastrel", false, nullptr, nullptr,
     "win; field 170; click; box Tastrel|Hotkey Wert = 1136; press 1136; "
     "box Tastrel|Hotkey wurde erkannt!; close; exit"},
    // An extended key: the flag is no part of the number (2 * 256 + 39).
    {"tastrel-ctrl-right-extended", "tastrel", false, nullptr, nullptr,
     "win; field a27; click; box Tastrel|Hotkey Wert = 551; press 551 x; "
     "box Tastrel|Hotkey wurde erkannt!; close; exit"},
    // Held by another program (Ctrl+Alt+F8): refused, and its presses are not the probe's.
    {"tastrel-hotkey-taken", "tastrel", false, nullptr, nullptr,
     "hold 887; start; win; field 677; click; box Tastrel|Hotkey bereits belegt!; press 887; "
     "quiet; close; exit"},
    // The same combination twice: the second time it is the probe's own and refused.
    {"tastrel-register-twice", "tastrel", false, nullptr, nullptr,
     "win; field 276; click; box Tastrel|Hotkey Wert = 630; click; "
     "box Tastrel|Hotkey bereits belegt!; close; exit; hold 630"},
    // Ctrl+Shift+K typed into the field after a click into it.
    {"tastrel-typed-into-field", "tastrel", false, nullptr, nullptr,
     "win; type 1611; holds 34b; click; box Tastrel|Hotkey Wert = 1611; close; exit"},
    {"probe-keys10", "tacetto", false, "0/1/1656/80/0/0", "device Mic Array\nline 0x1003 7000\nwavein 0 3f4ccccd 0\n",
     "keys 90; win; lock 0; press; label 0; lock 1; lock 1; keys 90; press; label 80; lock 0; keys 90; close; exit; keys 90; lock 0"},
    {"probe-keys-inv", "tacetto", true, "0/1/1656/80/1/1", "device Mic Array\nline 0x1003 7000\nwavein 0 3f4ccccd 0\n",
     "keys 91; win; lock 1; press; label 0; lock 0; lock 0; keys 91; press; label 80; lock 1; keys 91; close; exit; keys 91; lock 1"},
    {"probe-keys", "tacetto", true, "0/1/1656/80/0/0", "device Mic Array\nline 0x1003 7000\nwavein 0 3f4ccccd 0\n",
     "keys 90; win; lock 0; press; label 0; lock 1; lock 1; keys 90; press; label 80; lock 0; keys 90; close; exit; keys 90; lock 0"},
};
const int kRowCount = sizeof kRows / sizeof *kRows;
