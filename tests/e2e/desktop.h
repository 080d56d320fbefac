// What the driver sees of another program's windows, and the keys it types, as a user would.
// Every wait polls against a deadline; messages to other processes always carry a time-out.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Top-level windows of a process, hidden ones included.
std::vector<HWND> TopWindowsOf(DWORD processId);

// WM_GETTEXT with a time-out; empty if the window does not answer.
std::string WindowText(HWND window);
std::string ClassOf(HWND window);

// The top-level window of `processId` with exactly this title, or nullptr.
HWND FindTopWindow(DWORD processId, const std::string& title);
HWND WaitForTopWindow(DWORD processId, const std::string& title, DWORD timeoutMs);
bool WaitForVisible(HWND window, DWORD timeoutMs);

// The text of the child `id` of `window`, waited for until it equals `expected` (or the time is
// up); returns the last text read.
std::string WaitForItemText(HWND window, int id, const std::string& expected, DWORD timeoutMs);

struct MessageBoxView {
  HWND box = nullptr;
  std::string caption;
  std::string text;                  // the Static child that carries text
  bool icon = false;                 // a visible icon Static
  std::vector<std::string> buttons;  // texts of the visible buttons
};

// Waits for a message box (dialog class #32770) of the process and reads it.
bool WaitForMessageBox(DWORD processId, DWORD timeoutMs, MessageBoxView& view);
// The same, passing over `dialog`: a tool window that is itself of the dialog class.
bool WaitForMessageBoxBeside(DWORD processId, HWND dialog, DWORD timeoutMs, MessageBoxView& view);
// Presses OK and waits until the box is gone.
bool ConfirmMessageBox(HWND box, DWORD timeoutMs);

// Types the combination of a hotkey number (modifier set * 256 + key code; 1 Alt, 2 Ctrl,
// 4 Shift) through SendInput; with `extendedKey` the key goes as an extended one (arrows, ...).
void TypeHotkey(uint32_t hotkeyNumber, bool extendedKey = false);

// The system close command, as from the window menu.
void CloseBySystemCommand(HWND window);

// A path as Windows programs under wine see it: /a/b becomes Z:\a\b.
std::string WindowsPath(const std::string& path);
// The current directory of this process.
std::string CurrentDirectory();
// Writes `content` as is to `name`; false on an error.
bool WriteFileBytes(const std::string& name, const std::string& content);
bool ReadFileBytes(const std::string& name, std::string& content);
