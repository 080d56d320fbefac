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
     "win\nitem 1001 Static|" INSTRUCTIONS "\nitem 1002 msctls_hotkey32|msctls_hotkey321\n"
     "item 1003 Static|Hotkey Eingabe-Feld -->\nitem 1004 Button|Hotkey aktivieren\n"
     "holds 0\natoms +1\nclose\nexit\natoms +0"},
    {"tastrel-ctrl-f", "tastrel", false, nullptr, nullptr,
     "win\nfield 246\nclick\nbox Tastrel|Hotkey Wert = 582\ntaken 582\npress 582\n"
     "box Tastrel|Hotkey wurde erkannt!\npress 582\nbox Tastrel|Hotkey wurde erkannt!\n"
     "close\nexit\nhold 582\natoms +0"},
    {"tastrel-ctrl-alt-m", "tastrel", false, nullptr, nullptr,
     "win\nfield 64d\nclick\nbox Tastrel|Hotkey Wert = 845\npress 845\n"
     "box Tastrel|Hotkey wurde erkannt!\nclose\nexit\nhold 845"},
    {"tastrel-shift-f1", "tastrel", false, nullptr, nullptr,
     "win\nfield 170\nclick\nbox Tastrel|Hotkey Wert = 1136\npress 1136\n"
     "box Tastrel|Hotkey wurde erkannt!\nclose\nexit"},
    // An extended key: the flag is no part of the number (2 * 256 + 39).
    {"tastrel-ctrl-right-extended", "tastrel", false, nullptr, nullptr,
     "win\nfield a27\nclick\nbox Tastrel|Hotkey Wert = 551\npress 551 x\n"
     "box Tastrel|Hotkey wurde erkannt!\nclose\nexit"},
    // Held by another program (Ctrl+Alt+F8): refused, and its presses are not the probe's.
    {"tastrel-hotkey-taken", "tastrel", false, nullptr, nullptr,
     "hold 887\nstart\nwin\nfield 677\nclick\nbox Tastrel|Hotkey bereits belegt!\npress 887\n"
     "quiet\nclose\nexit"},
    // The same combination twice: the second time it is the probe's own and refused.
    {"tastrel-register-twice", "tastrel", false, nullptr, nullptr,
     "win\nfield 276\nclick\nbox Tastrel|Hotkey Wert = 630\nclick\n"
     "box Tastrel|Hotkey bereits belegt!\nclose\nexit\nhold 630"},
    // Ctrl+Shift+K typed into the field after a click into it.
    {"tastrel-typed-into-field", "tastrel", false, nullptr, nullptr,
     "win\ntype 1611\nholds 34b\nclick\nbox Tastrel|Hotkey Wert = 1611\nclose\nexit"},
    {"probe-keys", "tacetto", true, "1/1/1656/80/0/0", nullptr,
     "win\nlock 0\npress\nlabel 0\nlock 1\nkeys 90\npress\nlabel 80\nlock 0\nkeys 90\nclose\nexit\nkeys 90"},
};
const int kRowCount = sizeof kRows / sizeof *kRows;
