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
#include "common/hotkey_number.h"
#include "common/win32/tool_window.h"

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

INT_PTR EmptyWindowProc(HWND, UINT, WPARAM, LPARAM) {
  return 0;
}

INT_PTR HotkeyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      g_atom = CreateHotkeyAtom();
      const HotkeyParts parts = SplitHotkeyNumber(g_hotkeyNumber);
      RegisterHotKey(window, g_atom, parts.modifiers, parts.keyCode);
      SameWorkFollow(window);
      break;
    }
    case WM_DESTROY:
      ReleaseHotkeyAtom(window, g_atom);
      break;
    case WM_HOTKEY:
      SameWorkPress(window, kLabelId);
      break;
    case WM_APP + 1:  // news of the endpoint
      SameWorkNews(wParam != 0);
      break;
    default:
      break;
  }
  return 0;
}

// The empty window's callback does nothing, so it need not be started.
void RunBlocking(HWND window) {
  ShowWindow(window, SW_SHOW);
  MSG message;
  while (IsWindow(window) && GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageA(window, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  const bool hotkey = strcmp(commandLine, "same") == 0;
  const bool blocking = strcmp(commandLine, "blocking") == 0;
  if (hotkey && (g_hotkeyNumber = SameWorkStart()) < 0) {
    return 1;
  }
  const ToolWindowProc callback = hotkey ? &HotkeyWindowProc : &EmptyWindowProc;
  HWND window = BuildToolWindow(kWindow, &kLabel, hotkey ? 1 : 0, callback,
                                /*withholdActivate=*/true);
  if (window == nullptr) {
    return 1;
  }
  if (blocking) {
    RunBlocking(window);
  } else {
    RunToolWindow(window);
  }
  if (hotkey) {
    SameWorkEnd();
  }
  return 0;
}
