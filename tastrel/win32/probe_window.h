// The probe window: a hotkey field and a button that registers the combination typed into it.
#pragma once

#include <windows.h>

#include <cstdint>

extern HWND ProbeDialog;
extern int32_t HotkeyAtom;

// Builds the window and its controls, runs it and returns when it is gone; the dialog result,
// 0 after the system close command.
int32_t RunProbeWindow(HWND parent);

INT_PTR ProbeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
