#include "tacetto/volume_window.h"

#include <cstring>

#include "common/dialog_runner.h"
#include "common/hotkey_number.h"
#include "common/text.h"
#include "common/win_api.h"
#include "tacetto/globals.h"
#include "tacetto/main.h"
#include "tacetto/volume.h"

int32_t HotkeyAtom = 0;

namespace {

// WS_SYSMENU | DS_CENTER | DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK; created hidden.
constexpr DialogSpec kVolumeWindow = {"Tacetto v0.2alpha by Quorvel",
                                      0x00080854,
                                      0x00000088,  // WS_EX_TOPMOST | WS_EX_TOOLWINDOW
                                      0,
                                      0,
                                      300,
                                      40};

// WS_CHILD | WS_VISIBLE | SS_CENTER
constexpr ControlSpec kVolumeLabel = {kVolumeLabelId,
                                      "STATIC",
                                      5,
                                      10,
                                      290,
                                      15,
                                      0x50000001,
                                      0,
                                      "Hotkey dr\xFC"
                                      "cken zum Lautst\xE4"
                                      "rke umschalten!"};

void RegisterConfiguredHotkey(WindowHandle window) {
  HotkeyAtom = CreateHotkeyAtom();
  const HotkeyParts parts = SplitHotkeyNumber(CfgHotkey);
  if (!Ui().RegisterHotkey(window, HotkeyAtom, parts.modifiers, parts.keyCode)) {
    Ui().ShowMessageBox("Hotkey bereits belegt!", kNoticeCaption, kNoticeStyle);
  }
}

void ToggleOnHotkey(WindowHandle window) {
  Ui().Show(window, SW_SHOWNORMAL);
  CurrentVolume = SwitchVolume(UnmutedVolume);
  // Composed on the stack: nothing is allocated on the way from the key to the label.
  static constexpr char kPrefix[] = "Mikrofon/Line-Volume: ";
  char label[sizeof kPrefix + 22];
  memcpy(label, kPrefix, sizeof kPrefix);
  char* end = AppendDecimal(label + sizeof kPrefix - 1, CurrentVolume);
  end[0] = '%';
  end[1] = '\0';
  Ui().SetItemText(window, kVolumeLabelId, label);
}

}  // namespace

int32_t VolumeWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                         intptr_t /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG:
      RegisterConfiguredHotkey(window);
      break;
    case WM_DESTROY:
      ReleaseHotkeyAtom(window, HotkeyAtom);
      break;
    case WM_HOTKEY:
      ToggleOnHotkey(window);
      break;
    case WM_ENDSESSION:
      // The session ends without the window being destroyed: restore now, not after the loop.
      if (wParam != 0) {
        RestoreKeyboardAndLine();
      }
      break;
    case WM_TIMER:
      Ui().StopTimer(window, 1);
      Ui().Show(window, SW_HIDE);
      break;
    default:
      break;
  }
  return 0;
}

void RunVolumeWindow() {
  WindowHandle window = BuildToolWindow(kVolumeWindow, &kVolumeLabel, 1, &VolumeWindowProc,
                                        /*withholdActivate=*/true);
  if (window == nullptr) {
    // Without a window there is nothing to register the hotkey for and nothing to wait on:
    // return at once, so that the start-up sequence restores the keyboard and the line.
    return;
  }
  RunToolWindow(window, &VolumeWindowProc);
}
