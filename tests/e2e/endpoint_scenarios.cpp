// The scenarios of the mute tool on Windows 10: the capture endpoint of the configured device,
// found at the first switch and held by its id, and followed while the window exists (the steps
// and macros: scenarios.cpp).
#include "tests/e2e/scenarios.h"

const Row kEndpointRows[] = {
    // The user's world, steps drawn at random (walk.cpp): presses, two at once and bursts, changes
    // made elsewhere, the device taken out and plugged in again, strokes swallowed, writes that
    // fail, the user's strikes, other windows in front, the tool closed, killed and started
    // again, a second copy; Num Lock (line 6 -1: not inverted), line 4 80 or -1 at each start.
    {"random-world", "tacetto", false, "0/1/1656/80/0/-1",
     "device Mic\nline 0x1003 7000\nwavein 0 3f014a81 0 mic\n", "win; walk"},
    // A second start for the line input of the same device ends at once: its endpoint has its tool.
    {"w10-mute-and-restore", "tacetto", false, CFG80, MIC,
     "log @w10first 3e800000 0 3f4ccccd 0 1; light off; win; client; inside 201; fits; "
     "press; log @w10 3f4ccccd 00000000 1 0; keys 90; light on; label 0; "
     "again 0\r\n0\r\n1657\r\n80\r\n; press; "
     "log @w10 00000000 3f4ccccd 0 0; keys 90; light off; label 80; press; "
     "log @w10 3f4ccccd 00000000 1 0; keys 90; label 0; close; exit; "
     "log @w10exit 00000000 1 3f4ccccd 0 0; keys 90; light off; file wavein 0 3f4ccccd 0 mic"},
    // At 150 % (144 DPI): the 96-DPI client area grown with the font, each edge within two pixels;
    // the label inside it, its texts fitting it. The next row finds 96 DPI.
    {"w10-150-percent", "tacetto", false, CFG80, MIC,
     "dpi 144; start; log @w10first 3e800000 0 3f4ccccd 0 1; win; client 2; inside 201; "
     "fits; press; log @w10 3f4ccccd 00000000 1 0; keys 90; label 0; fits; close; exit; "
     "log @w10exit 00000000 1 3f4ccccd 0 0; keys 90"},
    // The registration for the endpoint's news refused: no box, a mute made elsewhere goes unseen,
    // and the next press mutes as it would have.
    {"w10-num-lock-inverted", "tacetto", false, "0/1/1656/80/0/1",
     MIC "fail RegisterControlChangeNotify 1 0x80004001\n",
     "log @w10start 3e800000 0 3f4ccccd 0 1|RegisterControlChangeNotify -> 0x80004001|@regdev; "
     "keys 90; light on; win; client; elsewhere 3f4ccccd 1; quiet; light on; press; "
     "log @w10 3f4ccccd 00000000 1 1; keys 90; light off; label 0; close; exit; "
     "log UnregisterEndpointNotificationCallback -> 0x00000000|@sget 00000000|"
     "GetMute -> 0x00000000 1|@sset 3f4ccccd 0 0|@rel|release enumerator; keys 90; light on"},
    // The endpoint's mute flag: found set at start, it is cleared with the unmute at start and
    // set again by the restore at exit. A read after news that fails shows no box and changes
    // nothing.
    {"w10-flag-found-set", "tacetto", false, CFG80,
     "device Mic\nline 0x1003 1\nwavein 0 3e800000 1 mic\nfail GetMute 2 0x80004005\n",
     "log @w10first 3e800000 1 3f4ccccd 0 0; win; press; log @w10 3f4ccccd 00000000 1 0; "
     "keys 90; label 0; elsewhere 00000000 0; log @sget 00000000|GetMute -> 0x80004005 -; quiet; "
     "light on; label 0; close; exit; log @w10exit 00000000 0 3f4ccccd 1 0; keys 90; "
     "file wavein 0 3f4ccccd 1 mic"},
    // Start volume 0 mutes at start, flag, light and all; a press unmutes by the flag, live at the
    // level 0 (the light promised it); the exit gives the user's flag back. Line 2 empty: the
    // microphone.
    {"w10-start-0", "tacetto", false, "0//1656/0/0/0", MIC,
     "log @w10first 3e800000 0 00000000 1 0; keys 90; light on; win; press; "
     "log @w10 00000000 00000000 0 0; keys 90; light off; label 0; close; exit; "
     "log @w10exit 00000000 0 00000000 0 1; light off; file wavein 0 00000000 0 mic"},
    // Each endpoint step failing: its box (HRESULTs as unsigned decimals), then the mixer closed
    // and the endpoint released, once each.
    // Both wave inputs' mixerGetID fail: passed over, and the first code is shown.
    {"w10-mixergetid-fails", "tacetto", false, CFG80,
     MIC "wavein 0 3e800000 0 other\nfail mixerGetID 1 6\nfail mixerGetID 2 11\n",
     "log @open|@mic|@ctl|waveInGetNumDevs -> 2|mixerGetID 0 0x20000000 -> 6 -|"
     "mixerGetID 1 0x20000000 -> 11 -; boxh Tacetto|error #6 calling mixergetid(); log @close; "
     "exit"},
    {"w10-no-wave-input", "tacetto", false, CFG80,
     "device Mic\nline 0x1003 1\nwavein 1 3e800000 0 mic\n",
     "log @open|@mic|@ctl|waveInGetNumDevs -> 1|mixerGetID 0 0x20000000 -> 0 1; "
     "boxh Tacetto|error #2 calling mixergetid(); log @close; exit"},
    START_FAILS("w10-waveinmessage-fails", false, "waveInMessage 1 7",
                "error #7 calling waveinmessage()",
                "@open|@mic|@ctl|waveInGetNumDevs -> 1|mixerGetID 0 0x20000000 -> 0 0|"
                "waveInMessage 0 0x812 -> 7|@close"),
    START_FAILS("w10-cocreateinstance-fails", false, "CoCreateInstance 1 0x80040154",
                "error #2147746132 calling cocreateinstance()",
                "@open|@mic|@ctl|@wave|CoCreateInstance -> 0x80040154|@close"),
    START_FAILS(
        "w10-getdevice-fails", false, "GetDevice 1 0x80070057",
        "error #2147942487 calling getdevice()",
        "@open|@mic|@ctl|@wave|@co|GetDevice {mic} -> 0x80070057|@close|release enumerator"),
    START_FAILS("w10-activate-fails", false, "Activate 1 0x80004002",
                "error #2147500034 calling activate()",
                "@open|@mic|@ctl|@wave|@co|GetDevice {mic} -> 0x00000000|Activate -> 0x80004002|"
                "@close|release device|release enumerator"),
    START_FAILS("w10-getscalar-fails", false, "GetMasterVolumeLevelScalar 1 0x80004005",
                "error #2147500037 calling getmastervolumelevelscalar()",
                "@open|@mic|@ctl|@wave|@co|@dev|GetMasterVolumeLevelScalar -> 0x80004005 -|@freed"),
    START_FAILS("w10-getmute-fails", false, "GetMute 1 0x80004005",
                "error #2147500037 calling getmute()",
                "@open|@mic|@ctl|@wave|@co|@dev|@sget 3e800000|GetMute -> 0x80004005 -|@freed"),
    START_FAILS(
        "w10-setscalar-fails", false, "SetMasterVolumeLevelScalar 1 0x80004005",
        "error #2147500037 calling setmastervolumelevelscalar()",
        "@w10fail|SetMasterVolumeLevelScalar 3f4ccccd -> 0x80004005|GetMute -> 0x00000000 0|"
        "@freed"),
    START_FAILS(
        "w10-setmute-fails", false, "SetMute 1 0x80004005", "error #2147500037 calling setmute()",
        "@w10fail|SetMasterVolumeLevelScalar 3f4ccccd -> 0x00000000|SetMute 0 -> 0x80004005|"
        "GetMute -> 0x00000000 0|@freed"),
    // The mute's flag write fails after its level: the light goes back to live with the label's
    // -1, and the next press unmutes.
    {"w10-setmute-fails-on-press", "tacetto", false, CFG80, MIC "fail SetMute 2 0x80004005\n",
     "log @w10first 3e800000 0 3f4ccccd 0 1; win; press; log GetState -> 0x00000000 1|@sget "
     "3f4ccccd|"
     "SetMasterVolumeLevelScalar 00000000 -> 0x00000000|SetMute 1 -> 0x80004005|"
     "GetMute -> 0x00000000 0; keys 90 90; "
     "light off on; box Tacetto|error #2147500037 calling setmute(); label -1; press; "
     "log @w10 00000000 3f4ccccd 0 1; light off; label 80; close; exit; "
     "log @w10exit 3f4ccccd 0 3f4ccccd 0 1"},
    // The endpoint found at start is the device of the whole run, held by its id. A headset
    // plugged in before it shifts every mixer and wave-input number by one: the presses and the
    // exit still switch {mic}, and the headset {usb} keeps its level. {mic} plugged in anew
    // meanwhile, unseen, and the audio service restarted: the lookup that fails on the enumerator
    // held is made once more on a new one.
    {"w10-device-plugged-in-before", "tacetto", false, CFG80, MIC "fail GetDevice 2 0x88890010\n",
     "log @w10first 3e800000 0 3f4ccccd 0 1; win; press; log @w10 3f4ccccd 00000000 1 0; keys 90; "
     "label 0; devices device USB Headset|line 0x1003 100|device Mic Array|line 0x1003 7000|"
     "wavein 0 3f000000 0 usb|wavein 1 00000000 1 mic 2; press; "
     "log GetState -> 0x00000000 1|GetMasterVolumeLevelScalar -> 0x88890004 -|"
     "UnregisterControlChangeNotify -> 0x00000000|@rel|GetDevice {mic} -> 0x88890010|"
     "UnregisterEndpointNotificationCallback -> 0x00000000|release enumerator|@co|"
     "GetDevice {mic} -> 0x00000000|GetState -> 0x00000000 1|Activate -> 0x00000000|@reg|"
     "@sget 00000000|@sset 3f4ccccd 0 0; keys 90; label 80; press; "
     "log @w10 3f4ccccd 00000000 1 0; keys 90; label 0; close; exit; "
     "log @w10exit 00000000 1 3f4ccccd 0 0; keys 90; file wavein 0 3f000000 0 usb; "
     "file wavein 1 3f4ccccd 0 mic 2"},
    // Two devices of the same name: the one configured (1) is switched, by its id.
    {"w10-same-names", "tacetto", false, "1/1/1656/80",
     "device Mic Array\nline 0x1003 9\nwavein 0 3e800000 0 first\n"
     "device Mic Array\nline 0x1003 7000\nwavein 1 3e800000 0 mic\n",
     "log mixerOpen 1 0 0 0 -> 0|@mic|@ctl|waveInGetNumDevs -> 2|mixerGetID 0 0x20000000 -> 0 0|"
     "mixerGetID 1 0x20000000 -> 0 1|@id 1|@co|@dev|@sget 3e800000|GetMute -> 0x00000000 0|"
     "@sset 3f4ccccd 0 1|@close|@reg; win; press; log @w10 3f4ccccd 00000000 1 0; keys 90; "
     "label 0; close; exit; log @w10exit 00000000 1 3f4ccccd 0 0; keys 90; "
     "file wavein 0 3e800000 0 first"},
};
const int kEndpointRowCount = sizeof kEndpointRows / sizeof *kEndpointRows;
