// The smallest program that opens a window the way the tools do, for the benchmark to compare
// the mute tool against. Same dialog template style and size, same runner, same window system.
//
//   minimal_window.exe             an empty window, the tools' polling message loop
//   minimal_window.exe same        the mute tool's platform work (bench/same_work.cpp) around
//                                  a label (id 201) and the hotkey read from tacetto.cfg
//   minimal_window.exe blocking    an empty window with a blocking GetMessage loop
#include <windows.h>

#include <cstring>

#include "bench/same_work.h"
#include "common/dialog_runner.h"
#include "common/hotkey_number.h"
#include "common/win32/win32_window_system.h"

namespace {

constexpr int kLabelId = 201;

// The mute tool's window: WS_SYSMENU | DS_CENTER | DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK,
// WS_EX_TOPMOST | WS_EX_TOOLWINDOW, 300 x 40 dialog units.
constexpr DialogSpec kWindow = {"Minimal window", 0x00080854, 0x00000088, 0, 0, 300, 40};

constexpr ControlSpec kLabel = {kLabelId,
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

int32_t g_hotkeyNumber = 0;
int32_t g_atom = 0;

int32_t EmptyWindowProc(WindowHandle, uint32_t, uintptr_t, intptr_t) {
  return 0;
}

int32_t HotkeyWindowProc(WindowHandle window, uint32_t message, uintptr_t, intptr_t) {
  switch (message) {
    case WM_INITDIALOG: {
      g_atom = CreateHotkeyAtom();
      const HotkeyParts parts = SplitHotkeyNumber(g_hotkeyNumber);
      Ui().RegisterHotkey(window, g_atom, parts.modifiers, parts.keyCode);
      break;
    }
    case WM_DESTROY:
      ReleaseHotkeyAtom(window, g_atom);
      break;
    case WM_HOTKEY:
      SameWorkPress(static_cast<HWND>(window), kLabelId);
      break;
    default:
      break;
  }
  return 0;
}

void RunBlocking(WindowHandle window) {
  Ui().EnableCallback(window);
  EmptyWindowProc(window, WM_INITDIALOG, reinterpret_cast<uintptr_t>(window), 0);
  Ui().Show(window, SW_SHOW);
  HWND hwnd = static_cast<HWND>(window);
  MSG message;
  while (IsWindow(hwnd) && GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageA(hwnd, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  Win32WindowSystem ui;
  InstallUi(&ui);
  const bool hotkey = strcmp(commandLine, "same") == 0;
  const bool blocking = strcmp(commandLine, "blocking") == 0;
  if (hotkey && (g_hotkeyNumber = SameWorkStart()) < 0) {
    return 1;
  }
  const WindowCallback callback = hotkey ? &HotkeyWindowProc : &EmptyWindowProc;
  WindowHandle window = BuildToolWindow(kWindow, &kLabel, hotkey ? 1 : 0, callback,
                                        /*withholdActivate=*/true);
  if (window == nullptr) {
    return 1;
  }
  if (blocking) {
    RunBlocking(window);
  } else {
    RunToolWindow(window, callback);
  }
  if (hotkey) {
    SameWorkEnd();
  }
  return 0;
}
