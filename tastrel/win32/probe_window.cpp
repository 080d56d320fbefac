#include "tastrel/win32/probe_window.h"

// after windows.h
#include <commctrl.h>

#include "common/hotkey_number.h"
#include "common/text.h"
#include "common/win32/tool_window.h"

HWND ProbeDialog = nullptr;
int32_t HotkeyAtom = 0;

namespace {

constexpr int kInstructionsLabelId = 1001;
constexpr int kHotkeyFieldId = 1002;
constexpr int kFieldCaptionId = 1003;
constexpr int kActivateButtonId = 1004;

constexpr const char* kProbeInstructions =
    "#1: In das Eingabe-Feld klicken\r\n"
    "#2: Einen Hotkey dr\xFC"
    "cken (STRG+F oder so)\r\n"
    "#3: Auf 'Hotkey aktivieren' klicken\r\n"
    "#4: Wenn keine Fehlermeldung erscheint die Zahl ins Config-File schreiben\r\n"
    "#5: Nochmal bei Schritt 1 Anfangen wenn dir langweilig ist\r\n";

constexpr const char* kCaption = "Tastrel";
constexpr UINT kBoxStyle = 0x2000;  // MB_TASKMODAL, OK only, no icon

// WS_POPUP | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
// DS_MODALFRAME | DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK; created hidden.
constexpr DialogSpec kProbeWindow = {"Tastrel",  0x84CB00D4,
                                     0x00010100,  // WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE
                                     103,        72,         233, 170};

constexpr ControlSpec kProbeControls[] = {
    {kInstructionsLabelId, "STATIC", 6, 6, 216, 104, 0x50800000, 0x00020000, ""},
    {kHotkeyFieldId, "msctls_hotkey32", 98, 122, 78, 12, 0x50000000, 0x00000200,
     "msctls_hotkey321"},
    {kFieldCaptionId, "STATIC", 10, 122, 82, 12, 0x50000002, 0, "Hotkey Eingabe-Feld -->"},
    {kActivateButtonId, "BUTTON", 98, 140, 64, 14, 0x50010000, 0, "Hotkey aktivieren"},
};

void ShowProbeMessage(const char* text) {
  ShowMessageBox(text, kCaption, kBoxStyle);
}

// What the keyboard layout of this thread types with the key and its modifiers down (1 Alt,
// 2 Ctrl, 4 Shift): the count of characters, negative for a dead key, and the first one.
int TypedWith(HotkeyParts parts, WCHAR& first) {
  BYTE keys[256] = {};
  keys[VK_MENU] = keys[VK_LMENU] = (parts.modifiers & 1) != 0 ? 0x80 : 0;
  keys[VK_CONTROL] = keys[VK_LCONTROL] = (parts.modifiers & 2) != 0 ? 0x80 : 0;
  keys[VK_SHIFT] = keys[VK_LSHIFT] = (parts.modifiers & 4) != 0 ? 0x80 : 0;
  HKL layout = GetKeyboardLayout(0);
  const UINT scanCode = MapVirtualKeyExA(parts.keyCode, 0, layout);  // MAPVK_VK_TO_VSC
  WCHAR typed[8] = {};
  constexpr UINT kKeepState = 4;  // the layout's dead-key state left alone (Windows 10 1607 on)
  const int count = ToUnicodeEx(parts.keyCode, scanCode, keys, typed, 8, kKeepState, layout);
  if (count < 0) {
    // Where the flag is unknown the dead key waits for the next key: the same key again
    // takes it back.
    WCHAR again[8];
    ToUnicodeEx(parts.keyCode, scanCode, keys, again, 8, kKeepState, layout);
  }
  first = typed[0];
  return count;
}

void TryRegistration(HWND window) {
  const uint16_t fieldValue = static_cast<uint16_t>(
      SendMessageA(GetDlgItem(ProbeDialog, kHotkeyFieldId), HKM_GETHOTKEY, 0, 0) & 0xFFFF);
  const uint16_t number = HotkeyNumberFromField(fieldValue);
  const HotkeyParts parts = SplitHotkeyNumber(number);
  if (!RegisterHotkeyOnce(window, HotkeyAtom, parts.modifiers, parts.keyCode)) {
    ShowProbeMessage("Hotkey bereits belegt!");
    return;
  }
  WCHAR first = 0;
  const int typed = TypedWith(parts, first);
  const Text text = HotkeyAnswerText(number, typed, first);
  ShowProbeMessage(text.c_str());
}

}  // namespace

INT_PTR ProbeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      HotkeyAtom = CreateHotkeyAtom();
      break;
    case WM_DESTROY:
      ReleaseHotkeyAtom(window, HotkeyAtom);
      break;
    case WM_HOTKEY:
      if (NewHotkeyPress(lParam)) {
        ShowProbeMessage("Hotkey wurde erkannt!");
      }
      break;
    case WM_COMMAND: {
      const WPARAM id = wParam & 0xFFFF;
      const WPARAM notification = (wParam >> 16) & 0xFFFF;
      if (id == kActivateButtonId && (notification == 0 || notification == 1)) {
        TryRegistration(window);
      }
      break;
    }
    default:
      break;
  }
  return 0;
}

int32_t RunProbeWindow(HWND /*parent*/) {
  HWND window =
      BuildToolWindow(kProbeWindow, kProbeControls, sizeof kProbeControls / sizeof *kProbeControls,
                      &ProbeWindowProc, /*withholdActivate=*/false);
  if (window == nullptr) {
    return 0;  // nothing to run without a window
  }
  ProbeDialog = window;
  SetWindowTextA(GetDlgItem(window, kInstructionsLabelId), kProbeInstructions);
  RunToolWindow(window);
  return 0;
}
