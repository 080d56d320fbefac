// What a driver sees of another program's windows, and the keys it types, as a user would.
// Every wait polls against a deadline; messages to other processes carry a time-out.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Keys typed by the driver carry this extra information, so that its own strokes can be told
// from the program's.
constexpr ULONG_PTR kDriverKeyTag = 0xE2E;

// Whether `probe()` comes true within `timeoutMs`, asked every `intervalMs` (0: again as soon as
// other threads have had their turn).
template <typename Probe>
bool Poll(DWORD timeoutMs, Probe probe, DWORD intervalMs = 20) {
  for (const ULONGLONG deadline = GetTickCount64() + timeoutMs; !probe(); Sleep(intervalMs)) {
    if (GetTickCount64() >= deadline) {
      return false;
    }
  }
  return true;
}

std::vector<HWND> TopWindowsOf(DWORD processId);
// WM_GETTEXT with a time-out; empty if the window does not answer.
std::string WindowText(HWND window);
std::string ClassOf(HWND window);
HWND WaitForTopWindow(DWORD processId, const std::string& title, DWORD timeoutMs);
bool WaitForVisible(HWND window, DWORD timeoutMs);
// The text of child `id`, waited for until it equals `expected`; returns the last text read.
std::string WaitForItemText(HWND window, int id, const std::string& expected, DWORD timeoutMs);

// A visible dialog-class window of the process other than `except` (a message box); its
// caption and the text of its text Static.
bool WaitForMessageBox(DWORD processId, HWND except, DWORD timeoutMs, HWND& box,
                       std::string& caption, std::string& text);
// The box's text Static (the first Static that is no icon).
HWND BoxTextItem(HWND box);
// What a click at the centre of `part` hits: "box" for `box` or a child of it, else the title of
// the window there.
std::string HitAtCentre(HWND box, HWND part);
// Presses OK and waits until the box is gone.
bool ConfirmMessageBox(HWND box, DWORD timeoutMs);

// Types the combination of a hotkey number (modifier set * 256 + key code; 1 Alt, 2 Ctrl,
// 4 Shift) with SendInput, `times` times in one go; `extendedKey` sends the key as extended. The
// combination `then`, unless 0, follows in the same go.
void TypeHotkey(uint32_t hotkeyNumber, bool extendedKey = false, int times = 1, uint32_t then = 0);
// The combination's keys down (the modifiers, then the key) or up (the key, then the modifiers),
// as a user holds them; held down, the key sent `downAgain` times more, as a keyboard's
// auto-repeat sends it (first after 250 ms, then every 33 ms).
void HotkeyKeys(uint32_t hotkeyNumber, bool down, int downAgain = 0);
// One stroke of `key` (down, up; Num Lock as an extended key, as keyboards send it), as a user
// strikes it.
void StrikeKey(BYTE key);
// The system close command, as from the window menu.
void CloseBySystemCommand(HWND window);

// Starts `exe` with `arguments` and `folder` as its current folder (empty: the driver's own).
bool StartProgram(const std::string& exe, const std::string& folder, PROCESS_INFORMATION& process,
                  const std::string& arguments = "");
// Waits up to `timeoutMs` for the end of `process`, ends it if it still runs (and waits until it
// is gone), and closes its handles: its exit code, or STILL_ACTIVE when it had to be ended.
DWORD EndProgram(PROCESS_INFORMATION& process, DWORD timeoutMs);
// Starts `exe` in `folder` and waits for its end: its exit code, or STILL_ACTIVE when it still
// runs after `timeoutMs` (it is then ended).
DWORD RunToEnd(const std::string& exe, const std::string& folder, DWORD timeoutMs);

// HKCU\Software\Wine\AppDefaults\<exe>: `value` set to `data`, or removed when `data` is
// null; how wine is told the Windows version of one program.
void SetAppDefault(const char* exe, const char* value, const char* data);
// The Windows version wine reports to `exe`: Windows XP (its x64 edition to a 64-bit build, as
// wine knows no other) or Windows 10.
void SetWindowsVersion(const char* exe, bool xp);

// HKCU\Control Panel\Desktop LogPixels: the screen DPI of the programs started from now on
// (wine reads it when a program starts); 0 removes it, back to 96.
void SetLogPixels(DWORD dpi);

// /a/b as Windows programs under wine see it: Z:\a\b.
std::string WindowsPath(const std::string& path);
bool WriteFileBytes(const std::string& name, const std::string& content);
bool ReadFileBytes(const std::string& name, std::string& content);
