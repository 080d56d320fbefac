// The life of a tool window, alike in both tools: built hidden from its template, controls
// created, the callback's WM_INITDIALOG called directly, shown, then the polling loop.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/window_system.h"

// Builds the hidden window, sets its title and creates the controls in order. Returns nullptr
// when the window cannot be created (no control is attempted then).
WindowHandle BuildToolWindow(const DialogSpec& dialog, const ControlSpec* controls,
                             size_t controlCount, WindowCallback callback, bool withholdActivate);

// From here the callback receives the window's messages: WM_INITDIALOG once by a direct call,
// then SW_SHOW and the message loop until the window is gone.
void RunToolWindow(WindowHandle window, WindowCallback callback);

// The global atom named after the local time, zero-extended.
int32_t CreateHotkeyAtom();

// WM_DESTROY of both tools: unregister the atom's hotkey, then delete the atom.
void ReleaseHotkeyAtom(WindowHandle window, int32_t atom);
