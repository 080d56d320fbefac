// The mute tool's process-wide values, each defined next to the code that owns it. All are zero
// when the program starts.
#pragma once

#include <windows.h>

#include <cstdint>

// From tacetto.cfg, set once at start (read_config.cpp).
extern int32_t CfgDevice;
extern int32_t CfgLine;
extern int32_t CfgHotkey;
extern int32_t CfgVolume;
extern int32_t CfgLockKey;
extern int32_t CfgLockInvert;

// Levels in percent (volume.cpp): the level a press switches back to and restored at exit, and
// the level as last set.
extern int32_t UnmutedVolume;
extern int32_t CurrentVolume;
// 1 while the line is muted as the tool last set it or, on the endpoint, read it; 0 live (also
// while the endpoint is gone). What the light shows.
extern int32_t LineMuted;

// The capture endpoint's mute flag as the user had it before the tool wrote anything (Windows
// Vista and later, endpoint.cpp): 0 until the first switch has read it, then 1 not muted,
// 2 muted (a flag found set with a level of 0 is the tool's own, from a run that did not end:
// 1). Kept for the whole run so that the restores at exit and at the end of the session can put
// it back.
extern int32_t EndpointMuteAtStart;

// Identifier of the registered hotkey (volume_window.cpp).
extern int32_t HotkeyAtom;

// The volume window while it is shown, else null (volume_window.cpp): the owner of the error box
// of a press, which so stays in front of the always-on-top window.
extern HWND VolumeWindow;

// Captions and styles of the tool's message boxes.
constexpr const char* kNoticeCaption = "Veltrane";
constexpr UINT kNoticeStyle = 0x12000;  // MB_OK | MB_TASKMODAL | MB_SETFOREGROUND
constexpr const char* kMixerErrorCaption = "Tacetto";
constexpr UINT kMixerErrorStyle = 0x2010;  // MB_OK | MB_ICONHAND | MB_TASKMODAL
