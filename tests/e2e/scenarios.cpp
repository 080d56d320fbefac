// The scenarios, one row each: the program, the Windows version it is told, tacetto.cfg,
// the doubles' sound.txt, and the steps, which are actions and what must be seen:
//   hold N / taken N   the driver registers combination N itself: granted / refused
//   start              the program starts here (else before the first step)
//   win                its window shows (the mute tool's with its greeting, always on top)
//   box C|T, boxh C|T  a message box with caption C and text T, confirmed; boxh: while the
//                      program's window is not visible; box: while it is, clicks at the centres
//                      of the box's text and OK hit the box, which the mute tool's owns
//   press [N [x]]      the configured hotkey (or N, x: as an extended key); burst K: K presses;
//                      pressclose: the hotkey with Alt+F4 right behind it, in one go;
//                      presshold [N]: held through three auto-repeats
//   again [CFG]        another program in front, a second start in the folder (CFG: in a folder
//                      of its own with that tacetto.cfg, on the same sound) ends at once with 0,
//                      the first's window (before it: its box) in front (and writes nothing)
//   other [CFG]        the steps go to the other copy; with CFG (tacetto.cfg, "\r\n" written
//                      out) it starts, in a folder of its own on the same sound
//   share              before the start: another program holds tacetto.cfg open, sharing all
//   label P            the mute tool's label: "Mikrofon/Line-Volume: P%" (or the text given)
//   log A|B            the next lines of sound.log are exactly these (@macro: kMacros)
//   keys 90 91         the next strokes seen by the keyboard hook that the driver did not
//                      type: one press of Num Lock (90), of Scroll Lock (91), each down and up,
//                      extended, injected
//   light L [W]        the light of line 5's lock key is L (on, off) as another program sees
//                      it, the other lock light off; at the last level write it was W (default
//                      L; "-": no level written yet): set before the write
//   strike 90|91       the user strikes Num Lock or Scroll Lock
//   reader on|off      another program reads the label over and over, as a screen reader may
//   front tool|other   the mute tool's window, or another program's, comes in front
//   resume             the call that a pause entry of sound.txt holds goes on
//   quiet              nothing more comes (log, strokes, boxes)
//   close; session W   the system close command; WM_QUERYENDSESSION, then WM_ENDSESSION W, sent
//                      ("session W queued": sent without waiting, taken when the program looks)
//   devices A|B        the device, line and wavein lines of sound.txt are now A, B, ...: a device
//                      plugged in or taken out ("wavein N S M id P": plugged in for the Pth time)
//   elsewhere S M...   another program sets the scalar S and the mute flag M of {mic}, pair by
//                      pair; the endpoint's news of them is told the newest first
//   field H, holds H   the probe's hotkey field: HKM_SETHOTKEY H / holds H (hex)
//   type N; click      N typed into the probe's field; its button clicked
//   item ID C|T        the probe's control: class C, text T
//   atoms +N           global "My Hotkey" atoms: N more than before the start
//   dpi N              the screen DPI the program starts with (before "start")
//   client [E]         the window's client area: the program's at 96 DPI (measured when the rows
//                      were written), grown with the font's dialog units from 96 DPI to this
//                      row's, each edge within E (default 0)
//   inside ID...       these controls lie within the window's client area
//   fits               the mute tool's label text fits its label, in the window's font
//   exit               the program ends with exit code 0
//   walk               the user's world at random, against a model (walk.cpp)
// Before the start both lock lights are off; at the end every log line and every stroke must
// have been expected.
#include "tests/e2e/scenarios.h"

namespace {

#define BOX_NO_DEVICE "boxh Veltrane|Bitte eine der Folgenden Device-Nummern ins CFG eintragen!"
#define BOX_NO_HOTKEY \
  "boxh Veltrane|Bitte tastrel.exe starten und die Hotkey-Nummer ins Config-File schreiben!"
// Start at 80 % on the mixer, the window, one press that mutes.
#define XP_MUTED "log @xp 7000 52428; win; press; log @xp 52428 0; keys 90; light on; label 0; "
// After a failed press: the next press unmutes, the close restores.
#define XP_RETRY "label -1; press; log @xp 52428 52428; label 80; close; exit; log @xp 52428 52428"

#define INSTRUCTIONS                                                              \
  "#1: In das Eingabe-Feld klicken\r\n"                                           \
  "#2: Einen Hotkey dr\xFC"                                                       \
  "cken (STRG+F oder so)\r\n"                                                     \
  "#3: Auf 'Hotkey aktivieren' klicken\r\n"                                       \
  "#4: Wenn keine Fehlermeldung erscheint die Zahl ins Config-File schreiben\r\n" \
  "#5: Nochmal bei Schritt 1 Anfangen wenn dir langweilig ist\r\n"

}  // namespace

// The calls of one switch, as the doubles log them: device 0, its microphone (0x1003).
const Macro kMacros[] = {
    {"@open", "mixerOpen 0 0 0 0 -> 0"},
    {"@mic", "mixerGetLineInfoA 3 0x1003 -> 0"},
    {"@ctl", "mixerGetLineControlsA 2 0x50030001 -> 0"},
    {"@get", "mixerGetControlDetailsA 0 -> 0 $1"},
    {"@set", "mixerSetControlDetails 0 $1 -> 0"},
    {"@close", "mixerClose -> 0"},
    {"@xp", "@open|@mic|@ctl|@get $1|@set $2|@close"},  // the mixer: level $1 read, $2 written
    {"@freed", "@close|@rel|release enumerator"},       // the mixer closed, the endpoint released
    {"@xpline", "@open|mixerGetLineInfoA 3 0x1002 -> 0|@ctl|@get $1|@set $2|@close"},
    // The first switch finds the endpoint {mic} of the wave input that belongs to the device and
    // keeps its id, the enumerator and the endpoint's device and volume for the run; the window
    // registers for the volume's change notifications while it exists.
    {"@wave", "waveInGetNumDevs -> 1|mixerGetID 0 0x20000000 -> 0 0|@id 0"},
    {"@id", "waveInMessage $1 0x812 -> 0|waveInMessage $1 0x811 -> 0"},  // wave input $1's
    {"@co", "CoCreateInstance -> 0x00000000"},
    {"@dev", "GetDevice {mic} -> 0x00000000|Activate -> 0x00000000"},
    {"@reg", "RegisterControlChangeNotify -> 0x00000000|@regdev"},
    {"@regdev", "RegisterEndpointNotificationCallback -> 0x00000000"},
    {"@unreg",
     "UnregisterControlChangeNotify -> 0x00000000|"
     "UnregisterEndpointNotificationCallback -> 0x00000000"},
    {"@sget", "GetMasterVolumeLevelScalar -> 0x00000000 $1"},
    // Scalar $1 written, mute flag $2 set; $3: 0 S_OK, 1 S_FALSE (the flag had that state).
    {"@sset", "SetMasterVolumeLevelScalar $1 -> 0x00000000|SetMute $2 -> 0x0000000$3"},
    {"@rel", "release volume|release device"},
    {"@w10", "GetState -> 0x00000000 1|@sget $1|@sset $2 $3 $4"},  // a press: the device active
    // The first switch: the enumerator made, the user's mute flag ($2) read.
    {"@w10start",
     "@open|@mic|@ctl|@wave|@co|@dev|@sget $1|GetMute -> 0x00000000 $2|@sset $3 $4 $5|@close"},
    {"@w10first", "@w10start $1 $2 $3 $4 $5|@reg"},
    {"@w10fail", "@open|@mic|@ctl|@wave|@co|@dev|@sget 3e800000|GetMute -> 0x00000000 0"},
    // The exit: the registration ended with the window, the device read ($2 its flag), the line
    // restored, all released.
    {"@w10exit", "@unreg|@sget $1|GetMute -> 0x00000000 $2|@sset $3 $4 $5|@rel|release enumerator"},
};
const int kMacroCount = sizeof kMacros / sizeof *kMacros;

// The probe tool, incomplete configurations, and the mute tool on Windows XP (the mixer); the
// mute tool on Windows 10 (the capture endpoint) is in endpoint_scenarios.cpp.
const Row kRows[] = {
    // The probe tool: window and controls; a combination put into the field (Ctrl is 2 in the
    // field and in the number, Shift 1 -> 4, Alt 4 -> 1) registered, its number shown, each
    // press recognised, the combination free again after the end; a plain M, which wine's US
    // layout types, with the warning.
    {"tastrel-window", "tastrel", false, nullptr, nullptr,
     "win; item 1001 Static|" INSTRUCTIONS "; item 1002 msctls_hotkey32|msctls_hotkey321; "
     "item 1003 Static|Hotkey Eingabe-Feld -->; item 1004 Button|Hotkey aktivieren; "
     "client; inside 1001 1002 1003 1004; holds 0; atoms +1; close; exit; atoms +0"},
    // At 150 % (144 DPI) the window grows with its font and still holds its controls; the next row
    // finds 96 DPI again.
    {"tastrel-150-percent", "tastrel", false, nullptr, nullptr,
     "dpi 144; start; win; client 2; inside 1001 1002 1003 1004; close; exit"},
    {"tastrel-ctrl-f", "tastrel", false, nullptr, nullptr,
     "win; client; field 246; click; box Tastrel|Hotkey Wert = 582; taken 582; press 582; "
     "box Tastrel|Hotkey wurde erkannt!; presshold 582; box Tastrel|Hotkey wurde erkannt!; "
     "quiet; field 64d; click; box Tastrel|Hotkey Wert = 845; field 4d; click; box Tastrel|"
     "Hotkey Wert = 77\r\n\r\nAchtung: Auf dieser Tastatur schreibt diese Kombination ein "
     "Zeichen!; close; exit; hold 582; atoms +0"},
    // Ctrl+Shift+M typed into the field after a click into it: no warning, as programs type
    // nothing with Ctrl. Refused when the probe holds it already, and when another program does
    // (Ctrl+Alt+F8), whose presses are not the probe's.
    {"tastrel-typed-into-field", "tastrel", false, nullptr, nullptr,
     "hold 887; start; win; type 1613; holds 34d; click; box Tastrel|Hotkey Wert = 1613; click; "
     "box Tastrel|Hotkey bereits belegt!; press 1613; box Tastrel|Hotkey wurde erkannt!; "
     "field 677; click; box Tastrel|Hotkey bereits belegt!; press 887; quiet; close; exit"},
    // Incomplete configurations: the boxes before any window, nothing switched.
    // The device list: a name cut to 31 characters, a device whose capabilities cannot be read
    // listed without a name.
    {"no-file", "tacetto", true, nullptr,
     "device Speakers\ndevice Line In (Realtek High Definition Audio)\ndevice Mic Array\n"
     "device Broken\nfail mixerGetDevCapsA 4 11\n",
     "log mixerGetNumDevs -> 4|mixerGetDevCapsA 0 -> 0|mixerGetDevCapsA 1 -> 0|"
     "mixerGetDevCapsA 2 -> 0|mixerGetDevCapsA 3 -> 11; " BOX_NO_DEVICE "\r\n- Device #0: "
     "Speakers\r\n- Device #1: Line In (Realtek High Definitio\r\n- Device #2: Mic Array\r\n"
     "- Device #3: ; " BOX_NO_HOTKEY "; exit"},
    // No devices: a second start for the line brings the list forward; a copy for the microphone
    // of another device runs, and without a hotkey asks for one, before any mixer call.
    {"device-missing", "tacetto", true, "/1/1656/80", "",
     "log mixerGetNumDevs -> 0; again; other 1\r\n1\r\n; " BOX_NO_HOTKEY
     "; exit; other; " BOX_NO_DEVICE "; exit"},
    // Keys typed into the tool's window while a press switches still reach it: Alt+F4 right
    // behind the hotkey closes the window once the press is done.
    {"xp-keys-during-press", "tacetto", true, CFG80, MIC,
     "log @xp 7000 52428; win; front tool; pressclose; log @xp 52428 0; keys 90; exit; "
     "log @xp 0 52428; keys 90; light off"},
    // Start volume -1: the level read is kept; near the rounding edges of the percent shown. The
    // light is set to live: struck here by the user while the start reads the level.
    {"xp-keep-light-struck", "tacetto", true, "0/1/1656/-1/1/0",
     "device Mic\nline 0x1003 33098\npause mixerGetControlDetailsA 1\n",
     "log @open|@mic|@ctl|pause mixerGetControlDetailsA; strike 91; light on -; resume; "
     "log @get 33098|@close; keys 91; light off -; win; press; log @xp 33098 0; keys 91; "
     "light on; label 0; press; log @xp 0 32767; keys 91; light off; label 50; close; exit; "
     "log @xp 32767 32767; light off"},
    // A level of 334 keeps 0 %: every press mutes again, and the light stays on.
    {"xp-keep-334", "tacetto", true, "0/1/1656/-1", "device Mic\nline 0x1003 334\n",
     "log @open|@mic|@ctl|@get 334|@close; light off -; win; press; log @xp 334 0; keys 90; "
     "light on; label 0; press; log @xp 0 0; light on; label 0; close; exit; log @xp 0 0; keys 90; "
     "light off"},
    // Two copies, one per line of a device, each with its hotkey and light, each switching its own
    // line: the microphone (line 2 = 7, tacetto.cfg held open elsewhere; Scroll Lock for any line-5
    // value but 0, inverted only by a 1 in line 6) and the line input (line 2 = 0, Num Lock).
    {"xp-two-lines", "tacetto", true, "0/7/1656/80/2/2",
     "device Mic\nline 0x1003 7000\nline 0x1002 9000\n",
     "share; start; log @xp 7000 52428; light off; win; press; log @xp 52428 0; keys 91; light on; "
     "label 0; other 0\r\n0\r\n1657\r\n80\r\n; log @xpline 9000 52428; win; press 1657; "
     "log @xpline 52428 0; keys 90; label 0; file line 0x1003 0; other; close; exit; "
     "log @xp 0 52428; keys 91; other; close; exit; log @xpline 0 52428; keys 90"},
    // Each mixer step failing at start (no window), the read and write on a press (label -1, the
    // next press unmutes), the open and write at exit: its box, the device closed once at most.
    START_FAILS("xp-open-fails-at-start", true, "mixerOpen 1 2", "error #2 calling mixeropen()",
                "mixerOpen 0 0 0 0 -> 2"),
    START_FAILS("xp-line-fails-at-start", true, "mixerGetLineInfoA 1 1024",
                "error #1024 calling mixergetlineinfo()",
                "@open|mixerGetLineInfoA 3 0x1003 -> 1024|@close"),
    START_FAILS("xp-controls-fail-at-start", true, "mixerGetLineControlsA 1 1025",
                "error #1025 calling mixergetlinecontrols()",
                "@open|@mic|mixerGetLineControlsA 2 0x50030001 -> 1025|@close"),
    START_FAILS("xp-read-fails-at-start", true, "mixerGetControlDetailsA 1 11",
                "error #11 calling mixergetcontroldetails()",
                "@open|@mic|@ctl|mixerGetControlDetailsA 0 -> 11 -|@close"),
    START_FAILS("xp-write-fails-at-start", true, "mixerSetControlDetails 1 7",
                "error #7 calling mixersetcontroldetails()",
                "@open|@mic|@ctl|@get 7000|mixerSetControlDetails 0 52428 -> 7|@close"),
    {"xp-read-fails-on-press", "tacetto", true, CFG80, MIC "fail mixerGetControlDetailsA 2 11\n",
     "log @xp 7000 52428; win; press; log @open|@mic|@ctl|mixerGetControlDetailsA 0 -> 11 -; "
     "box Tacetto|error #11 calling mixergetcontroldetails(); log @close; " XP_RETRY},
    // The mute's write fails: the line stays live, and the light, struck on before the write,
    // is struck off again before the box shows.
    {"xp-write-fails-on-press", "tacetto", true, CFG80, MIC "fail mixerSetControlDetails 2 11\n",
     "log @xp 7000 52428; win; press; "
     "log @open|@mic|@ctl|@get 52428|mixerSetControlDetails 0 0 -> 11; keys 90 90; light off on; "
     "box Tacetto|error #11 calling mixersetcontroldetails(); log @close; " XP_RETRY},
    // At exit the window is gone and with it the hotkey, while the box is up. The line stays
    // muted, and so does the light.
    {"xp-open-fails-at-exit", "tacetto", true, CFG80, MIC "fail mixerOpen 3 2\n",
     XP_MUTED "close; log mixerOpen 0 0 0 0 -> 2; hold 1656; "
              "box Tacetto|error #2 calling mixeropen(); keys 90; exit; light off on"},
    {"xp-write-fails-at-exit", "tacetto", true, CFG80, MIC "fail mixerSetControlDetails 3 11\n",
     XP_MUTED "close; log @open|@mic|@ctl|@get 0|mixerSetControlDetails 0 52428 -> 11; "
              "keys 90 90; box Tacetto|error #11 calling mixersetcontroldetails(); log @close; "
              "keys 90; exit; light off off"},
    // The session ends while a press reads the light: the line is restored there and then, the
    // press writes nothing after it and takes its stroke back, and the program ends.
    {"xp-session-ends-during-press", "tacetto", true, CFG80,
     MIC "pause mixerGetControlDetailsA 2\n",
     "log @xp 7000 52428; win; press; log @open|@mic|@ctl|pause mixerGetControlDetailsA; "
     "session 1 queued; resume; log @get 52428|@xp 52428 52428|@close; keys 90 90; light off; "
     "file line 0x1003 52428; exit"},
    // WM_ENDSESSION 0: the session goes on, nothing is restored.
    {"xp-session-goes-on", "tacetto", true, CFG80, MIC,
     XP_MUTED "session 0; quiet; light on; close; exit; log @xp 0 52428; keys 90; light off"},
    // The hotkey held by another program: the box before the window shows; presses do nothing.
    {"xp-hotkey-taken", "tacetto", true, CFG80, MIC,
     "hold 1656; start; log @xp 7000 52428; boxh Veltrane|Hotkey bereits belegt!; win; "
     "press; quiet; close; exit; log @xp 52428 52428"},
    // The user's world on the mixer, at random (walk.cpp): Scroll Lock (line 5 -1), inverted.
    {"random-world-xp", "tacetto", true, "0/1/1656/80/-1/1", MIC, "win; walk"},
};
const int kRowCount = sizeof kRows / sizeof *kRows;
