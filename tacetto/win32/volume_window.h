// The volume window: owns the global hotkey and shows the level after each press.
#pragma once

#include <windows.h>

// Builds the window, registers the hotkey, shows the window and runs it until it is closed.
void RunVolumeWindow();

INT_PTR VolumeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// For a second start: the running tool's window shown and brought to the front.
void ShowRunningVolumeWindow();
