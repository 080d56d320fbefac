#include "tests/e2e/desktop.h"

#include <cstring>

namespace {

constexpr UINT kMessageTimeoutMs = 2000;

BOOL CALLBACK Collect(HWND window, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

void AddKey(std::vector<INPUT>& inputs, WORD key, bool up, bool extended = false) {
  INPUT input;
  memset(&input, 0, sizeof input);
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
  input.ki.dwExtraInfo = kDriverKeyTag;
  inputs.push_back(input);
}

template <typename Probe>
bool Poll(DWORD timeoutMs, Probe probe) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (probe()) {
      return true;
    }
    if (GetTickCount64() >= deadline) {
      return false;
    }
    Sleep(20);
  }
}

}  // namespace

std::vector<HWND> TopWindowsOf(DWORD processId) {
  std::vector<HWND> all, mine;
  EnumWindows(&Collect, reinterpret_cast<LPARAM>(&all));
  for (HWND window : all) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId) {
      mine.push_back(window);
    }
  }
  return mine;
}

std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, &Collect, reinterpret_cast<LPARAM>(&children));
  return children;
}

std::string WindowText(HWND window) {
  char buffer[1024] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied)) {
    return std::string();
  }
  return std::string(buffer, copied < sizeof buffer ? copied : sizeof buffer - 1);
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

HWND WaitForTopWindow(DWORD processId, const std::string& title, DWORD timeoutMs) {
  HWND found = nullptr;
  Poll(timeoutMs, [&] {
    for (HWND window : TopWindowsOf(processId)) {
      if (WindowText(window) == title) {
        found = window;
      }
    }
    return found != nullptr;
  });
  return found;
}

bool WaitForVisible(HWND window, DWORD timeoutMs) {
  return Poll(timeoutMs, [&] { return IsWindowVisible(window) != FALSE; });
}

std::string WaitForItemText(HWND window, int id, const std::string& expected, DWORD timeoutMs) {
  std::string text;
  Poll(timeoutMs, [&] { return (text = WindowText(GetDlgItem(window, id))) == expected; });
  return text;
}

bool WaitForMessageBox(DWORD processId, HWND except, DWORD timeoutMs, HWND& box,
                       std::string& caption, std::string& text) {
  return Poll(timeoutMs, [&] {
    for (HWND window : TopWindowsOf(processId)) {
      if (window != except && ClassOf(window) == "#32770" && IsWindowVisible(window)) {
        box = window;
        caption = WindowText(window);
        text.clear();
        for (HWND child : ChildrenOf(window)) {
          const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
          if (lstrcmpiA(ClassOf(child).c_str(), "Static") == 0 && (style & SS_TYPEMASK) != SS_ICON &&
              text.empty()) {
            text = WindowText(child);
          }
        }
        return true;
      }
    }
    return false;
  });
}

bool ConfirmMessageBox(HWND box, DWORD timeoutMs) {
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
  return Poll(timeoutMs, [&] { return IsWindow(box) == FALSE; });
}

void TypeHotkey(uint32_t hotkeyNumber, bool extendedKey, int times) {
  const uint32_t modifiers = (hotkeyNumber >> 8) & 0xFF;
  const WORD key = static_cast<WORD>(hotkeyNumber & 0xFF);
  const WORD held[3] = {static_cast<WORD>(modifiers & 2 ? VK_CONTROL : 0),
                        static_cast<WORD>(modifiers & 1 ? VK_MENU : 0),
                        static_cast<WORD>(modifiers & 4 ? VK_SHIFT : 0)};
  std::vector<INPUT> inputs;
  for (int i = 0; i < 3; ++i) {
    if (held[i] != 0) {
      AddKey(inputs, held[i], false);
    }
  }
  for (int n = 0; n < times; ++n) {
    AddKey(inputs, key, false, extendedKey);
    AddKey(inputs, key, true, extendedKey);
  }
  for (int i = 3; i-- > 0;) {
    if (held[i] != 0) {
      AddKey(inputs, held[i], true);
    }
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void CloseBySystemCommand(HWND window) {
  PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

std::string WindowsPath(const std::string& path) {
  std::string converted = path.empty() || path[0] != '/' ? path : "Z:" + path;
  for (char& c : converted) {
    c = c == '/' ? '\\' : c;
  }
  return converted;
}

bool WriteFileBytes(const std::string& name, const std::string& content) {
  HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  const bool ok = file != INVALID_HANDLE_VALUE &&
                  WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written,
                            nullptr) != FALSE &&
                  written == content.size();
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
  }
  return ok;
}

bool ReadFileBytes(const std::string& name, std::string& content) {
  HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  content.clear();
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    content.append(buffer, read);
  }
  CloseHandle(file);
  return true;
}
