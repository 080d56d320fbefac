// The life of a tool window, alike in both tools: built hidden from its template with its
// controls, the callback's WM_INITDIALOG called directly, shown, then the polling loop; and the
// hotkey atom and the message boxes of both tools.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "common/dialog_template.h"

// A tool window's callback: handle, message code, the two message parameters; result 0.
using ToolWindowProc = INT_PTR (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Builds the hidden window, sets its title and creates the controls in order, each on its
// rectangle converted by MapDialogRect and given the window's font. Messages reach `callback`
// only once RunToolWindow has started it; with `withholdActivate`, WM_ACTIVATE never does.
// Returns nullptr when the window cannot be created (no control is attempted then).
HWND BuildToolWindow(const DialogSpec& dialog, const ControlSpec* controls, size_t controlCount,
                     ToolWindowProc callback, bool withholdActivate);

// From here the callback receives the window's messages: WM_INITDIALOG once by a direct call,
// then SW_SHOW and the loop (PeekMessageA, a 1 ms sleep when the queue is empty) until the window
// no longer exists. The system close command sends WM_CLOSE and destroys the window.
void RunToolWindow(HWND window);

// The global atom named after the local time, zero-extended.
int32_t CreateHotkeyAtom();

// WM_DESTROY of both tools: unregister the atom's hotkey, then delete the atom.
void ReleaseHotkeyAtom(HWND window, int32_t atom);

// RegisterHotKey without the keyboard's auto-repeat (MOD_NOREPEAT) where Windows knows the flag,
// Windows 7 and later; where that registration fails, as it is. Fails only when both fail.
BOOL RegisterHotkeyOnce(HWND window, int32_t id, UINT modifiers, UINT keyCode);

// Whether a WM_HOTKEY (its lParam) is a press of its own: false for one posted at least a
// keyboard's shortest repeat delay after the last press taken while that press's key is still
// held, as the keyboard's auto-repeat sends them where Windows does not suppress them. A thread
// timer watches the key until it is released.
bool NewHotkeyPress(LPARAM lParam);

// MessageBoxA after a pause of 5 ms, owned by `owner` (none by default); returns when the user
// has closed it.
void ShowMessageBox(const char* text, const char* caption, UINT style, HWND owner = nullptr);
