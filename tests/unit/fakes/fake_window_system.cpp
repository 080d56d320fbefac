#include "fakes/fake_window_system.h"

#include "common/text.h"
#include "common/win_api.h"

namespace {
constexpr uint32_t kWmClose = 0x0010;
}

FakeWindowSystem::FakeWindowSystem() {
  InstallUi(this);
}

FakeWindowSystem::~FakeWindowSystem() {
  InstallUi(nullptr);
}

void FakeWindowSystem::Deliver(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (forwarding_ && windowExists && !(withheldActivate && message == WM_ACTIVATE)) {
    callback_(TheWindow(), message, wParam, lParam);
  }
}

void FakeWindowSystem::SystemClose() {
  if (onClose) {
    onClose();
  }
  Deliver(kWmClose);
  Deliver(WM_DESTROY);
  windowExists = false;
  log.push_back("DestroyWindow");
}

WindowHandle FakeWindowSystem::CreateDialogWindow(const DialogTemplate& dialogTemplate,
                                                  WindowCallback callback, bool withholdActivate) {
  log.push_back("CreateDialog");
  templates.emplace_back(dialogTemplate.bytes, dialogTemplate.bytes + dialogTemplate.size);
  if (failDialog) {
    return nullptr;
  }
  callback_ = callback;
  withheldActivate = withholdActivate;
  windowExists = true;
  return TheWindow();
}

void FakeWindowSystem::EnableCallback(WindowHandle) {
  log.push_back("EnableCallback");
  forwarding_ = true;
}

void FakeWindowSystem::SetText(WindowHandle, const char* text) {
  log.push_back("SetText");
  windowText = text;
}

WindowHandle FakeWindowSystem::CreateControl(WindowHandle, const ControlSpec& control) {
  log.push_back(("CreateControl " + UnsignedDecimalText(control.id)).c_str());
  controls.push_back(control);
  if (failControls) {
    return nullptr;
  }
  itemTexts[control.id] = control.text;
  return reinterpret_cast<WindowHandle>(static_cast<uintptr_t>(0x2000 + control.id));
}

void FakeWindowSystem::Show(WindowHandle, int command) {
  log.push_back(("Show " + DecimalText(command)).c_str());
  shows.push_back(command);
}

void FakeWindowSystem::RunMessageLoop(WindowHandle) {
  log.push_back("RunMessageLoop");
  for (const ScriptedMessage& message : script) {
    Deliver(message.message, message.wParam, message.lParam);
  }
  SystemClose();
}

void FakeWindowSystem::SetItemText(WindowHandle, int id, const char* text) {
  log.push_back(("SetItemText " + DecimalText(id)).c_str());
  if (itemTexts.count(id) != 0) {  // a control that was never created keeps no text
    itemTexts[id] = text;
  }
}

intptr_t FakeWindowSystem::SendItemMessage(WindowHandle, int id, uint32_t message, uintptr_t,
                                           intptr_t) {
  log.push_back(
      ("SendItemMessage " + DecimalText(id) + " " + UnsignedDecimalText(message)).c_str());
  return fieldValue;
}

uint16_t FakeWindowSystem::AddGlobalAtom(const char* name) {
  log.push_back("AddGlobalAtom");
  atomNames.push_back(name);
  return nextAtom;
}

void FakeWindowSystem::DeleteGlobalAtom(uint16_t atom) {
  log.push_back("DeleteGlobalAtom");
  deletedAtoms.push_back(atom);
}

LocalTimeOfDay FakeWindowSystem::LocalTime() {
  return time;
}

bool FakeWindowSystem::RegisterHotkey(WindowHandle window, int id, uint32_t modifiers,
                                      uint32_t keyCode) {
  log.push_back("RegisterHotkey");
  registrations.push_back(Registration{window, id, modifiers, keyCode});
  return registrationSucceeds;
}

void FakeWindowSystem::UnregisterHotkey(WindowHandle, int id) {
  log.push_back("UnregisterHotkey");
  unregistered.push_back(id);
}

void FakeWindowSystem::StopTimer(WindowHandle, uintptr_t id) {
  log.push_back(("StopTimer " + UnsignedDecimalText(id)).c_str());
}

void FakeWindowSystem::ShowMessageBox(const char* text, const char* caption, uint32_t style) {
  log.push_back(std::string("MessageBox ") + text);
  boxes.push_back(ShownBox{text, caption, style});
  if (onMessageBox) {
    const ShownBox box = boxes.back();  // a nested box may grow the list
    onMessageBox(box);
  }
}
