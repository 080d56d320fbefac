// The window system on user32 and kernel32.
#pragma once

#include "common/window_system.h"

class Win32WindowSystem : public WindowSystem {
 public:
  WindowHandle CreateDialogWindow(const DialogTemplate& dialogTemplate, WindowCallback callback,
                                  bool withholdActivate) override;
  void EnableCallback(WindowHandle window) override;
  void SetText(WindowHandle window, const char* text) override;
  WindowHandle CreateControl(WindowHandle parent, const ControlSpec& control) override;
  void Show(WindowHandle window, int command) override;
  void RunMessageLoop(WindowHandle window) override;
  void SetItemText(WindowHandle window, int id, const char* text) override;
  intptr_t SendItemMessage(WindowHandle window, int id, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) override;
  uint16_t AddGlobalAtom(const char* name) override;
  void DeleteGlobalAtom(uint16_t atom) override;
  LocalTimeOfDay LocalTime() override;
  bool RegisterHotkey(WindowHandle window, int id, uint32_t modifiers, uint32_t keyCode) override;
  void UnregisterHotkey(WindowHandle window, int id) override;
  void StopTimer(WindowHandle window, uintptr_t id) override;
  void ShowMessageBox(const char* text, const char* caption, uint32_t style) override;
};
