// The volume window: owns the global hotkey and shows the level after each press.
#pragma once

#include <windows.h>

// Builds the window, registers the hotkey, shows the window and runs it until it is closed.
void RunVolumeWindow();

INT_PTR VolumeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The window's title, alike in every copy of the tool.
constexpr const char* kVolumeWindowTitle = "Tacetto v0.2alpha by Quorvel";
