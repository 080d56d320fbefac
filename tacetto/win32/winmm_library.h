// The multimedia functions the mute tool uses, taken from winmm.dll in the system directory.
// winmm is not a KnownDLL: a static import would be looked for in the program's folder first,
// where a file of that name could have been put by anyone.
#pragma once

#include <windows.h>
// after windows.h
#include <mmsystem.h>

struct WinmmFunctions {
  decltype(&::mixerGetNumDevs) mixerGetNumDevs;
  decltype(&::mixerGetDevCapsA) mixerGetDevCapsA;
  decltype(&::mixerOpen) mixerOpen;
  decltype(&::mixerGetLineInfoA) mixerGetLineInfoA;
  decltype(&::mixerGetLineControlsA) mixerGetLineControlsA;
  decltype(&::mixerGetControlDetailsA) mixerGetControlDetailsA;
  decltype(&::mixerSetControlDetails) mixerSetControlDetails;
  decltype(&::mixerClose) mixerClose;
  decltype(&::mixerGetID) mixerGetID;
  decltype(&::waveInGetNumDevs) waveInGetNumDevs;
  decltype(&::waveInMessage) waveInMessage;
};

// Loaded on the first use and kept for the life of the process. nullptr when the library or any
// of its functions is missing: the callers then answer MMSYSERR_NODRIVER (counts: 0), so the
// user gets an error box rather than a crash.
const WinmmFunctions* Winmm();
