// The few window-system services the dialog callbacks and window runners use. The Win32 adapter
// implements them on user32/kernel32; tests use a fake.
#pragma once

#include <cstdint>

#include "common/atom_name.h"
#include "common/dialog_template.h"

using WindowHandle = void*;

// A window's callback: handle, message code, the two message parameters; result 0.
using WindowCallback = int32_t (*)(WindowHandle window, uint32_t message, uintptr_t wParam,
                                   intptr_t lParam);

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // Creates the dialog hidden from an extended template, with no owner; the window's font is
  // asked for once and kept for its controls. Messages reach `callback` only after
  // EnableCallback; with `withholdActivate` WM_ACTIVATE never does. The system close command
  // sends WM_CLOSE and destroys the window. Returns nullptr when the window cannot be created.
  virtual WindowHandle CreateDialogWindow(const DialogTemplate& dialogTemplate,
                                          WindowCallback callback, bool withholdActivate) = 0;
  virtual void EnableCallback(WindowHandle window) = 0;
  virtual void SetText(WindowHandle window, const char* text) = 0;
  // The rectangle goes through MapDialogRect, then CreateWindowExA, then WM_SETFONT with redraw.
  virtual WindowHandle CreateControl(WindowHandle parent, const ControlSpec& control) = 0;
  virtual void Show(WindowHandle window, int command) = 0;
  // Polls the thread's queue (1 ms sleep when empty) until the window no longer exists.
  virtual void RunMessageLoop(WindowHandle window) = 0;

  virtual void SetItemText(WindowHandle window, int id, const char* text) = 0;
  virtual intptr_t SendItemMessage(WindowHandle window, int id, uint32_t message, uintptr_t wParam,
                                   intptr_t lParam) = 0;
  virtual uint16_t AddGlobalAtom(const char* name) = 0;
  virtual void DeleteGlobalAtom(uint16_t atom) = 0;
  virtual LocalTimeOfDay LocalTime() = 0;
  virtual bool RegisterHotkey(WindowHandle window, int id, uint32_t modifiers,
                              uint32_t keyCode) = 0;
  virtual void UnregisterHotkey(WindowHandle window, int id) = 0;
  virtual void StopTimer(WindowHandle window, uintptr_t id) = 0;
  // No owner window, after a pause of 5 ms; waits until the user closes the box.
  virtual void ShowMessageBox(const char* text, const char* caption, uint32_t style) = 0;
};

// The process's window system, installed by the entry point (or a test) before anything runs.
WindowSystem& Ui();
void InstallUi(WindowSystem* ui);
