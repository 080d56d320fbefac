// A window system that plays scripted messages through the window's callback and records the
// message boxes, the label texts and the hotkey releases.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/win_api.h"
#include "common/window_system.h"

struct ShownBox {
  std::string text, caption;
  uint32_t style;
};

struct ScriptedMessage {
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};

class FakeWindowSystem : public WindowSystem {
 public:
  FakeWindowSystem() { InstallUi(this); }
  ~FakeWindowSystem() override { InstallUi(nullptr); }

  bool failDialog = false, failControls = false;
  uint16_t nextAtom = 0xC123;
  std::vector<ScriptedMessage> script;                // delivered by the message loop
  std::function<void()> onClose;                      // after the script, before WM_DESTROY
  std::function<void(const ShownBox&)> onMessageBox;  // the box is open during the call
  std::vector<ShownBox> boxes;
  std::map<int, std::string> itemTexts;  // of the controls that were created
  std::vector<int> unregistered;

  // Delivers a message the way the dialog procedure does: once callbacks are enabled.
  void Deliver(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
    if (enabled_ && exists_) {
      callback_(kWindow, message, wParam, lParam);
    }
  }
  WindowHandle CreateDialogWindow(const DialogTemplate&, WindowCallback callback, bool) override {
    callback_ = callback;
    exists_ = !failDialog;
    return exists_ ? kWindow : nullptr;
  }
  WindowHandle CreateControl(WindowHandle, const ControlSpec& control) override {
    return failControls ? nullptr : (itemTexts[control.id] = control.text, kWindow);
  }
  void RunMessageLoop(WindowHandle) override {
    for (const ScriptedMessage& m : script) {
      Deliver(m.message, m.wParam, m.lParam);
    }
    if (onClose) {
      onClose();
    }
    Deliver(WM_DESTROY);
    exists_ = false;
  }
  void SetItemText(WindowHandle, int id, const char* text) override {
    if (itemTexts.count(id) != 0) {
      itemTexts[id] = text;
    }
  }
  void ShowMessageBox(const char* text, const char* caption, uint32_t style) override {
    boxes.push_back(ShownBox{text, caption, style});
    if (onMessageBox) {
      onMessageBox(ShownBox(boxes.back()));  // a copy: a nested box may grow the list
    }
  }
  void UnregisterHotkey(WindowHandle, int id) override { unregistered.push_back(id); }
  uint16_t AddGlobalAtom(const char*) override { return nextAtom; }
  LocalTimeOfDay LocalTime() override { return {12, 34, 56, 780}; }
  bool RegisterHotkey(WindowHandle, int, uint32_t, uint32_t) override { return true; }
  void EnableCallback(WindowHandle) override { enabled_ = true; }
  void SetText(WindowHandle, const char*) override {}
  void Show(WindowHandle, int) override {}
  intptr_t SendItemMessage(WindowHandle, int, uint32_t, uintptr_t, intptr_t) override { return 0; }
  void DeleteGlobalAtom(uint16_t) override {}
  void StopTimer(WindowHandle, uintptr_t) override {}

 private:
  WindowHandle const kWindow = reinterpret_cast<WindowHandle>(0x1000);
  WindowCallback callback_ = nullptr;
  bool enabled_ = false, exists_ = false;
};
