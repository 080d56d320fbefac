#include "common/win32/tool_window.h"

#include "common/atom_name.h"

namespace {

// Each tool has one window at a time; its dialog procedure forwards to the tool's callback.
ToolWindowProc g_callback = nullptr;
bool g_forwarding = false;
bool g_withholdActivate = false;

// The key of the last hotkey press taken while it is held, the timer that watches it, and when
// that press was posted.
UINT g_heldKey = 0;
UINT_PTR g_releaseWatch = 0;
DWORD g_pressTime = 0;
// No keyboard repeats a key sooner after it went down than its shortest delay, 250 ms
// (SPI_GETKEYBOARDDELAY 0): a hotkey message posted sooner after the last press taken is a press
// of its own, also when the key is down again by the time the message is handled. The margin
// covers the message clock's steps of up to 16 ms.
constexpr DWORD kFirstRepeatMs = 200;

void CALLBACK WatchRelease(HWND, UINT, UINT_PTR, DWORD) {
  if (GetAsyncKeyState(static_cast<int>(g_heldKey)) >= 0) {
    KillTimer(nullptr, g_releaseWatch);
    g_releaseWatch = 0;
    g_heldKey = 0;
  }
}

INT_PTR CALLBACK ToolDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (g_forwarding && !(g_withholdActivate && message == WM_ACTIVATE)) {
    g_callback(window, message, wParam, lParam);
  }
  // The system close command (close button, window menu, Alt+F4) ends the window.
  if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
    SendMessageA(window, WM_CLOSE, 0, 0);
    DestroyWindow(window);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

HWND BuildToolWindow(const DialogSpec& dialog, const ControlSpec* controls, size_t controlCount,
                     ToolWindowProc callback, bool withholdActivate) {
  g_callback = callback;
  g_forwarding = false;
  g_withholdActivate = withholdActivate;
  const DialogTemplate bytes = BuildDialogTemplate(dialog);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HWND window = CreateDialogIndirectParamA(instance, reinterpret_cast<LPCDLGTEMPLATEA>(bytes.bytes),
                                           nullptr, &ToolDialogProc, 0);
  if (window == nullptr) {
    return nullptr;
  }
  SetWindowTextA(window, dialog.title);
  const WPARAM font = static_cast<WPARAM>(SendMessageA(window, WM_GETFONT, 0, 0));
  for (size_t i = 0; i < controlCount; ++i) {
    const ControlSpec& c = controls[i];
    RECT rect = {c.x, c.y, c.x + c.cx, c.y + c.cy};
    MapDialogRect(window, &rect);
    HWND control =
        CreateWindowExA(c.exStyle, c.className, c.text, c.style, rect.left, rect.top,
                        rect.right - rect.left, rect.bottom - rect.top, window,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(c.id)), instance, nullptr);
    if (control != nullptr) {
      SendMessageA(control, WM_SETFONT, font, TRUE);
    }
  }
  return window;
}

void RunToolWindow(HWND window) {
  g_forwarding = true;
  g_callback(window, WM_INITDIALOG, reinterpret_cast<WPARAM>(window), 0);
  ShowWindow(window, SW_SHOW);
  MSG message;
  while (IsWindow(window)) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      Sleep(1);
      continue;
    }
    if (!IsDialogMessageA(window, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

int32_t CreateHotkeyAtom() {
  SYSTEMTIME time;
  GetLocalTime(&time);
  const LocalTimeOfDay day = {time.wHour, time.wMinute, time.wSecond, time.wMilliseconds};
  return static_cast<int32_t>(GlobalAddAtomA(HotkeyAtomName(day).c_str()));
}

void ReleaseHotkeyAtom(HWND window, int32_t atom) {
  UnregisterHotKey(window, atom);
  GlobalDeleteAtom(static_cast<ATOM>(atom));
}

BOOL RegisterHotkeyOnce(HWND window, int32_t id, UINT modifiers, UINT keyCode) {
  constexpr UINT kNoRepeat = 0x4000;  // MOD_NOREPEAT
  return RegisterHotKey(window, id, modifiers | kNoRepeat, keyCode) ||
         RegisterHotKey(window, id, modifiers, keyCode);
}

bool NewHotkeyPress(LPARAM lParam) {
  const UINT key = HIWORD(lParam);
  const bool down = GetAsyncKeyState(static_cast<int>(key)) < 0;
  const DWORD time = static_cast<DWORD>(GetMessageTime());
  if (down && key == g_heldKey && time - g_pressTime >= kFirstRepeatMs) {
    return false;  // not released since the last press taken
  }
  g_pressTime = time;
  g_heldKey = down ? key : 0;
  if (down && g_releaseWatch == 0) {
    g_releaseWatch = SetTimer(nullptr, 0, 10, &WatchRelease);
  }
  return true;
}

void ShowMessageBox(const char* text, const char* caption, UINT style, HWND owner) {
  Sleep(5);
  MessageBoxA(owner, text, caption, style);
}
