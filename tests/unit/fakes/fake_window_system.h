// A window system that records what the logic asks of it and plays scripted messages.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/window_system.h"

struct ShownBox {
  std::string text;
  std::string caption;
  uint32_t style;
};

struct Registration {
  WindowHandle window;
  int id;
  uint32_t modifiers;
  uint32_t keyCode;
};

struct ScriptedMessage {
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};

class FakeWindowSystem : public WindowSystem {
 public:
  FakeWindowSystem();
  ~FakeWindowSystem() override;

  // --- what the test sets up
  bool failDialog = false;
  bool failControls = false;
  bool registrationSucceeds = true;
  uint16_t nextAtom = 0xC123;
  LocalTimeOfDay time = {12, 34, 56, 780};
  intptr_t fieldValue = 0;  // answer of SendItemMessage
  // Messages the loop delivers before the system close command ends the window.
  std::vector<ScriptedMessage> script;
  // Called with each box as it is shown (the box is "open" during the call).
  std::function<void(const ShownBox&)> onMessageBox;
  // Called when the system close command starts to end the window.
  std::function<void()> onClose;

  // --- what the logic did, in order
  std::vector<std::string> log;
  std::vector<ShownBox> boxes;
  std::vector<Registration> registrations;
  std::vector<std::vector<uint8_t>> templates;
  std::vector<ControlSpec> controls;
  std::map<int, std::string> itemTexts;
  std::string windowText;
  std::vector<std::string> atomNames;
  std::vector<uint16_t> deletedAtoms;
  std::vector<int> unregistered;
  std::vector<int> shows;
  bool withheldActivate = false;
  bool windowExists = false;

  static WindowHandle TheWindow() { return reinterpret_cast<WindowHandle>(0x1000); }

  // Delivers a message the way the Win32 dialog procedure does (only once callbacks are on).
  void Deliver(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
  // The system close command: WM_CLOSE, then destruction with WM_DESTROY.
  void SystemClose();

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

 private:
  WindowCallback callback_ = nullptr;
  bool forwarding_ = false;
};
