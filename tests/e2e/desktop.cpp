#include "tests/e2e/desktop.h"

#include <cstring>

namespace {

constexpr UINT kMessageTimeoutMs = 2000;
constexpr DWORD kTextWaitMs = 3000;

struct EnumContext {
  DWORD processId;
  std::vector<HWND>* windows;
};

BOOL CALLBACK CollectTopWindow(HWND window, LPARAM data) {
  EnumContext* context = reinterpret_cast<EnumContext*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == context->processId) {
    context->windows->push_back(window);
  }
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

// A text read by a thread of its own; whichever of the two sides lets go last frees it.
struct TextRequest {
  HWND window = nullptr;
  std::string text;
  volatile LONG users = 2;
};

void ReleaseRequest(TextRequest* request) {
  if (InterlockedDecrement(&request->users) == 0) {
    delete request;
  }
}

DWORD WINAPI ReadWindowText(LPVOID data) {
  TextRequest* request = static_cast<TextRequest*>(data);
  DWORD_PTR length = 0;
  if (SendMessageTimeoutA(request->window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                          kMessageTimeoutMs, &length)) {
    std::vector<char> buffer(length + 2, '\0');
    DWORD_PTR copied = 0;
    if (SendMessageTimeoutA(request->window, WM_GETTEXT, buffer.size(),
                            reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                            kMessageTimeoutMs, &copied)) {
      if (copied > length + 1) {
        copied = length + 1;
      }
      request->text.assign(buffer.data(), copied);
    }
  }
  ReleaseRequest(request);
  return 0;
}

void AddKey(std::vector<INPUT>& inputs, WORD key, bool up, bool extended = false) {
  INPUT input;
  memset(&input, 0, sizeof input);
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
  inputs.push_back(input);
}

}  // namespace

std::vector<HWND> TopWindowsOf(DWORD processId) {
  std::vector<HWND> windows;
  EnumContext context{processId, &windows};
  EnumWindows(&CollectTopWindow, reinterpret_cast<LPARAM>(&context));
  return windows;
}

std::string WindowText(HWND window) {
  // Wine lets a WM_GETTEXT to a window of a hung process wait past its time-out: ask from a
  // thread of its own and give up on it after a while.
  TextRequest* request = new TextRequest;
  request->window = window;
  HANDLE thread = CreateThread(nullptr, 0, &ReadWindowText, request, 0, nullptr);
  if (thread == nullptr) {
    delete request;
    return std::string();
  }
  std::string text;
  if (WaitForSingleObject(thread, kTextWaitMs) == WAIT_OBJECT_0) {
    text = request->text;
  }
  CloseHandle(thread);
  ReleaseRequest(request);
  return text;
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

HWND FindTopWindow(DWORD processId, const std::string& title) {
  for (HWND window : TopWindowsOf(processId)) {
    if (WindowText(window) == title) {
      return window;
    }
  }
  return nullptr;
}

HWND WaitForTopWindow(DWORD processId, const std::string& title, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    HWND window = FindTopWindow(processId, title);
    if (window != nullptr || GetTickCount64() >= deadline) {
      return window;
    }
    Sleep(50);
  }
}

bool WaitForVisible(HWND window, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (IsWindowVisible(window)) {
      return true;
    }
    if (GetTickCount64() >= deadline || !IsWindow(window)) {
      return false;
    }
    Sleep(50);
  }
}

std::string WaitForItemText(HWND window, int id, const std::string& expected, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    HWND item = GetDlgItem(window, id);
    const std::string text = item != nullptr ? WindowText(item) : std::string();
    if (text == expected || GetTickCount64() >= deadline) {
      return text;
    }
    Sleep(50);
  }
}

bool WaitForMessageBox(DWORD processId, DWORD timeoutMs, MessageBoxView& view) {
  return WaitForMessageBoxBeside(processId, nullptr, timeoutMs, view);
}

bool WaitForMessageBoxBeside(DWORD processId, HWND dialog, DWORD timeoutMs, MessageBoxView& view) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    for (HWND window : TopWindowsOf(processId)) {
      if (window == dialog || ClassOf(window) != "#32770" || !IsWindowVisible(window)) {
        continue;
      }
      view = MessageBoxView();
      view.box = window;
      view.caption = WindowText(window);
      for (HWND child : ChildrenOf(window)) {
        const std::string className = ClassOf(child);
        const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
        if (lstrcmpiA(className.c_str(), "Static") == 0) {
          if ((style & SS_TYPEMASK) == SS_ICON) {
            // Wine keeps an empty icon Static in a box without an icon: ask for the icon.
            DWORD_PTR icon = 0;
            SendMessageTimeoutA(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                                &icon);
            view.icon = view.icon || (IsWindowVisible(child) != FALSE && icon != 0);
            continue;
          }
          const std::string text = WindowText(child);
          if (!text.empty()) {
            view.text = text;
          }
        } else if (lstrcmpiA(className.c_str(), "Button") == 0 && IsWindowVisible(child)) {
          view.buttons.push_back(WindowText(child));
        }
      }
      return true;
    }
    if (GetTickCount64() >= deadline) {
      return false;
    }
    Sleep(50);
  }
}

bool ConfirmMessageBox(HWND box, DWORD timeoutMs) {
  HWND ok = GetDlgItem(box, IDOK);
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (IsWindow(box)) {
    if (GetTickCount64() >= deadline) {
      return false;
    }
    Sleep(50);
  }
  return true;
}

void TypeHotkey(uint32_t hotkeyNumber, bool extendedKey) {
  const uint32_t modifiers = (hotkeyNumber >> 8) & 0xFF;
  const WORD key = static_cast<WORD>(hotkeyNumber & 0xFF);
  std::vector<WORD> held;
  if (modifiers & 2) {
    held.push_back(VK_CONTROL);
  }
  if (modifiers & 1) {
    held.push_back(VK_MENU);
  }
  if (modifiers & 4) {
    held.push_back(VK_SHIFT);
  }
  std::vector<INPUT> inputs;
  for (WORD modifier : held) {
    AddKey(inputs, modifier, false);
  }
  AddKey(inputs, key, false, extendedKey);
  AddKey(inputs, key, true, extendedKey);
  for (size_t i = held.size(); i-- > 0;) {
    AddKey(inputs, held[i], true);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void CloseBySystemCommand(HWND window) {
  PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

std::string WindowsPath(const std::string& path) {
  if (path.empty() || path[0] != '/') {
    return path;
  }
  std::string converted = "Z:" + path;
  for (char& c : converted) {
    if (c == '/') {
      c = '\\';
    }
  }
  return converted;
}

std::string CurrentDirectory() {
  char buffer[MAX_PATH * 2] = {};
  const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
  return std::string(buffer, length < sizeof buffer ? length : 0);
}

bool WriteFileBytes(const std::string& name, const std::string& content) {
  HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  DWORD written = 0;
  const bool ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written,
                            nullptr) != FALSE &&
                  written == content.size();
  CloseHandle(file);
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
