#include "tacetto/win32/volume_window.h"

#include <cstring>

#include "common/hotkey_number.h"
#include "common/text.h"
#include "common/win32/tool_window.h"
#include "tacetto/win32/globals.h"
#include "tacetto/win32/volume.h"

int32_t HotkeyAtom = 0;

namespace {

constexpr UINT kVolumeLabelId = 201;

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

void RegisterConfiguredHotkey(HWND window) {
  HotkeyAtom = CreateHotkeyAtom();
  const HotkeyParts parts = SplitHotkeyNumber(CfgHotkey);
  if (!RegisterHotKey(window, HotkeyAtom, parts.modifiers, parts.keyCode)) {
    ShowMessageBox("Hotkey bereits belegt!", kNoticeCaption, kNoticeStyle);
  }
}

void ToggleOnHotkey(HWND window) {
  ShowWindow(window, SW_SHOWNORMAL);
  CurrentVolume = SwitchVolume(UnmutedVolume);
  // Composed on the stack: nothing is allocated on the way from the key to the label.
  static constexpr char kPrefix[] = "Mikrofon/Line-Volume: ";
  char label[sizeof kPrefix + 22];
  memcpy(label, kPrefix, sizeof kPrefix);
  char* end = AppendDecimal(label + sizeof kPrefix - 1, CurrentVolume);
  end[0] = '%';
  end[1] = '\0';
  SetWindowTextA(GetDlgItem(window, kVolumeLabelId), label);
}

}  // namespace

INT_PTR VolumeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
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
        RestoreLine();
      }
      break;
    case WM_TIMER:
      KillTimer(window, 1);
      ShowWindow(window, SW_HIDE);
      break;
    default:
      break;
  }
  return 0;
}

void RunVolumeWindow() {
  HWND window = BuildToolWindow(kVolumeWindow, &kVolumeLabel, 1, &VolumeWindowProc,
                                /*withholdActivate=*/true);
  if (window == nullptr) {
    // Without a window there is nothing to register the hotkey for and nothing to wait on:
    // return at once, so that the start-up sequence restores the line.
    return;
  }
  RunToolWindow(window);
}
