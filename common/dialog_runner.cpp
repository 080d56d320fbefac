#include "common/dialog_runner.h"

#include "common/atom_name.h"
#include "common/win_api.h"

WindowHandle BuildToolWindow(const DialogSpec& dialog, const ControlSpec* controls,
                             size_t controlCount, WindowCallback callback, bool withholdActivate) {
  WindowSystem& ui = Ui();
  WindowHandle window =
      ui.CreateDialogWindow(BuildDialogTemplate(dialog), callback, withholdActivate);
  if (window == nullptr) {
    return nullptr;
  }
  ui.SetText(window, dialog.title);
  for (size_t i = 0; i < controlCount; ++i) {
    ui.CreateControl(window, controls[i]);
  }
  return window;
}

void RunToolWindow(WindowHandle window, WindowCallback callback) {
  WindowSystem& ui = Ui();
  ui.EnableCallback(window);
  callback(window, WM_INITDIALOG, reinterpret_cast<uintptr_t>(window), 0);
  ui.Show(window, SW_SHOW);
  ui.RunMessageLoop(window);
}

int32_t CreateHotkeyAtom() {
  WindowSystem& ui = Ui();
  return static_cast<int32_t>(ui.AddGlobalAtom(HotkeyAtomName(ui.LocalTime()).c_str()));
}

void ReleaseHotkeyAtom(WindowHandle window, int32_t atom) {
  WindowSystem& ui = Ui();
  ui.UnregisterHotkey(window, atom);
  ui.DeleteGlobalAtom(static_cast<uint16_t>(atom));
}
