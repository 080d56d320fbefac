// The mute tool's platform work without the tool: what the minimal program's "same" mode does.
#pragma once

#include <windows.h>

// Loads winmm, reads tacetto.cfg and sets the start level. Returns the configured hotkey
// number, or -1 if any of it fails.
int SameWorkStart();
// When the window starts: the endpoint's change notifications posted to it.
void SameWorkFollow(HWND window);
// A hotkey press: shows the window, switches the level and writes it into the label.
void SameWorkPress(HWND window, int labelId);
// News of the endpoint (`device`: of its device): the light shows its flag as read, off if gone.
void SameWorkNews(bool device);
// At exit: restores the level found at start.
void SameWorkEnd();
