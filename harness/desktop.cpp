#include "harness/desktop.h"

#include <cstdio>
#include <cstring>

namespace {

BOOL CALLBACK Collect(HWND window, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

INPUT KeyInput(WORD key, bool up, bool extended) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
  input.ki.dwExtraInfo = kDriverKeyTag;
  return input;
}

// The modifiers down, the key down and up `times` times, the modifiers up.
void AddCombination(std::vector<INPUT>& inputs, uint32_t number, bool extendedKey, int times) {
  const WORD modifiers[3][2] = {{2, VK_CONTROL}, {1, VK_MENU}, {4, VK_SHIFT}};
  for (const auto& modifier : modifiers) {
    if ((number >> 8) & modifier[0]) {
      inputs.push_back(KeyInput(modifier[1], false, false));
    }
  }
  for (int n = 0; n < times; ++n) {
    inputs.push_back(KeyInput(static_cast<WORD>(number & 0xFF), false, extendedKey));
    inputs.push_back(KeyInput(static_cast<WORD>(number & 0xFF), true, extendedKey));
  }
  for (int i = 3; i-- > 0;) {
    if ((number >> 8) & modifiers[i][0]) {
      inputs.push_back(KeyInput(modifiers[i][1], true, false));
    }
  }
}

// HKCU\`path`: `value` set to `size` bytes of `data` of `type`, or removed when `data` is null.
void SetUserValue(const std::string& path, const char* value, DWORD type, const void* data,
                  DWORD size) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) == ERROR_SUCCESS) {
    if (data == nullptr) {
      RegDeleteValueA(key, value);
    } else {
      RegSetValueExA(key, value, 0, type, static_cast<const BYTE*>(data), size);
    }
    RegCloseKey(key);
  }
}

std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, &Collect, reinterpret_cast<LPARAM>(&children));
  return children;
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

std::string WindowText(HWND window) {
  char text[1024] = {};
  DWORD_PTR length = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 2000, &length);
  return text;
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
      found = WindowText(window) == title ? window : found;
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
        text = WindowText(BoxTextItem(window));
        return true;
      }
    }
    return false;
  });
}

HWND BoxTextItem(HWND box) {
  for (HWND child : ChildrenOf(box)) {
    if (lstrcmpiA(ClassOf(child).c_str(), "Static") == 0 &&
        (GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
      return child;
    }
  }
  return nullptr;
}

std::string HitAtCentre(HWND box, HWND part) {
  RECT rect = {};
  GetWindowRect(part, &rect);
  HWND hit = WindowFromPoint({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
  return hit == box || IsChild(box, hit) ? "box"
                                         : "\"" + WindowText(GetAncestor(hit, GA_ROOT)) + "\"";
}

bool ConfirmMessageBox(HWND box, DWORD timeoutMs) {
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
  return Poll(timeoutMs, [&] { return IsWindow(box) == FALSE; });
}

void TypeHotkey(uint32_t hotkeyNumber, bool extendedKey, int times, uint32_t then) {
  std::vector<INPUT> inputs;
  AddCombination(inputs, hotkeyNumber, extendedKey, times);
  if (then != 0) {
    AddCombination(inputs, then, false, 1);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void HotkeyKeys(uint32_t hotkeyNumber, bool down, int downAgain) {
  std::vector<INPUT> keys;
  AddCombination(keys, hotkeyNumber, false, 1);
  const size_t half = keys.size() / 2;  // the modifiers and the key down; the rest up
  if (down) {
    keys.resize(half);
  } else {
    keys.erase(keys.begin(), keys.begin() + static_cast<long>(half));
  }
  SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
  for (int n = 0; n < downAgain; ++n) {
    Sleep(n == 0 ? 250 : 33);
    SendInput(1, &keys.back(), sizeof(INPUT));
  }
}

void StrikeKey(BYTE key) {
  INPUT inputs[2] = {KeyInput(key, false, key == VK_NUMLOCK),
                     KeyInput(key, true, key == VK_NUMLOCK)};
  SendInput(2, inputs, sizeof(INPUT));
}

void CloseBySystemCommand(HWND window) {
  PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool StartProgram(const std::string& exe, const std::string& folder, PROCESS_INFORMATION& process,
                  const std::string& arguments) {
  std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  return CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process) != FALSE;
}

DWORD EndProgram(PROCESS_INFORMATION& process, DWORD timeoutMs) {
  DWORD code = STILL_ACTIVE;
  WaitForSingleObject(process.hProcess, timeoutMs);
  GetExitCodeProcess(process.hProcess, &code);
  if (code == STILL_ACTIVE) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 5000);  // gone, with all it held
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  process = PROCESS_INFORMATION();
  return code;
}

DWORD RunToEnd(const std::string& exe, const std::string& folder, DWORD timeoutMs) {
  PROCESS_INFORMATION process = {};
  return StartProgram(exe, folder, process) ? EndProgram(process, timeoutMs) : STILL_ACTIVE;
}

void SetAppDefault(const char* exe, const char* value, const char* data) {
  SetUserValue(std::string("Software\\Wine\\AppDefaults\\") + exe, value, REG_SZ, data,
               data != nullptr ? static_cast<DWORD>(strlen(data) + 1) : 0);
}

void SetWindowsVersion(const char* exe, bool xp) {
  SetAppDefault(exe, "Version", xp ? (sizeof(void*) == 8 ? "winxp64" : "winxp") : "win10");
}

void SetLogPixels(DWORD dpi) {
  SetUserValue("Control Panel\\Desktop", "LogPixels", REG_DWORD, dpi != 0 ? &dpi : nullptr,
               sizeof dpi);
}

std::string WindowsPath(const std::string& path) {
  std::string converted = path.empty() || path[0] != '/' ? path : "Z:" + path;
  for (char& c : converted) {
    c = c == '/' ? '\\' : c;
  }
  return converted;
}

bool WriteFileBytes(const std::string& name, const std::string& content) {
  FILE* file = fopen(name.c_str(), "wb");
  const bool ok =
      file != nullptr && fwrite(content.data(), 1, content.size(), file) == content.size();
  return file != nullptr && fclose(file) == 0 && ok;
}

bool ReadFileBytes(const std::string& name, std::string& content) {
  FILE* file = fopen(name.c_str(), "rb");
  content.clear();
  char buffer[4096];
  for (size_t read; file != nullptr && (read = fread(buffer, 1, sizeof buffer, file)) > 0;) {
    content.append(buffer, read);
  }
  return file != nullptr && fclose(file) == 0;
}
