#include "common/win32/win32_window_system.h"

#include <windows.h>

namespace {

// Each tool has one window at a time; its dialog procedure forwards to the tool's callback.
struct ToolDialog {
  WindowCallback callback = nullptr;
  bool forwarding = false;
  bool withholdActivate = false;
  HFONT font = nullptr;
};
ToolDialog g_dialog;

HWND AsHwnd(WindowHandle window) {
  return static_cast<HWND>(window);
}

INT_PTR CALLBACK ToolDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (g_dialog.forwarding && !(g_dialog.withholdActivate && message == WM_ACTIVATE)) {
    g_dialog.callback(window, message, wParam, lParam);
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

WindowHandle Win32WindowSystem::CreateDialogWindow(const DialogTemplate& dialogTemplate,
                                                   WindowCallback callback, bool withholdActivate) {
  g_dialog = ToolDialog{callback, false, withholdActivate, nullptr};
  HWND window = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                           reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.bytes),
                                           nullptr, &ToolDialogProc, 0);
  if (window != nullptr) {
    g_dialog.font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
  }
  return window;
}

void Win32WindowSystem::EnableCallback(WindowHandle) {
  g_dialog.forwarding = true;
}

void Win32WindowSystem::SetText(WindowHandle window, const char* text) {
  SetWindowTextA(AsHwnd(window), text);
}

WindowHandle Win32WindowSystem::CreateControl(WindowHandle parent, const ControlSpec& control) {
  RECT rect = {control.x, control.y, control.x + control.cx, control.y + control.cy};
  MapDialogRect(AsHwnd(parent), &rect);
  HWND created =
      CreateWindowExA(control.exStyle, control.className, control.text, control.style, rect.left,
                      rect.top, rect.right - rect.left, rect.bottom - rect.top, AsHwnd(parent),
                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(control.id)),
                      GetModuleHandleA(nullptr), nullptr);
  if (created != nullptr) {
    SendMessageA(created, WM_SETFONT, reinterpret_cast<WPARAM>(g_dialog.font), TRUE);
  }
  return created;
}

void Win32WindowSystem::Show(WindowHandle window, int command) {
  ShowWindow(AsHwnd(window), command);
}

void Win32WindowSystem::RunMessageLoop(WindowHandle window) {
  HWND hwnd = AsHwnd(window);
  MSG message;
  while (IsWindow(hwnd)) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      Sleep(1);
      continue;
    }
    if (!IsDialogMessageA(hwnd, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

void Win32WindowSystem::SetItemText(WindowHandle window, int id, const char* text) {
  SetWindowTextA(GetDlgItem(AsHwnd(window), id), text);
}

intptr_t Win32WindowSystem::SendItemMessage(WindowHandle window, int id, uint32_t message,
                                            uintptr_t wParam, intptr_t lParam) {
  return SendMessageA(GetDlgItem(AsHwnd(window), id), message, wParam, lParam);
}

uint16_t Win32WindowSystem::AddGlobalAtom(const char* name) {
  return GlobalAddAtomA(name);
}

void Win32WindowSystem::DeleteGlobalAtom(uint16_t atom) {
  GlobalDeleteAtom(atom);
}

LocalTimeOfDay Win32WindowSystem::LocalTime() {
  SYSTEMTIME time;
  GetLocalTime(&time);
  return LocalTimeOfDay{time.wHour, time.wMinute, time.wSecond, time.wMilliseconds};
}

bool Win32WindowSystem::RegisterHotkey(WindowHandle window, int id, uint32_t modifiers,
                                       uint32_t keyCode) {
  return RegisterHotKey(AsHwnd(window), id, modifiers, keyCode) != FALSE;
}

void Win32WindowSystem::UnregisterHotkey(WindowHandle window, int id) {
  UnregisterHotKey(AsHwnd(window), id);
}

void Win32WindowSystem::StopTimer(WindowHandle window, uintptr_t id) {
  KillTimer(AsHwnd(window), id);
}

void Win32WindowSystem::ShowMessageBox(const char* text, const char* caption, uint32_t style) {
  Sleep(5);
  MessageBoxA(nullptr, text, caption, style);
}
