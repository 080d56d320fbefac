// End-to-end driver: runs the scenario rows of scenarios.cpp against the programs of one build,
// each in a folder of its own, and checks them from outside as a user would: windows, texts,
// message boxes, keys typed, what reached the sound doubles (sound.log), the lock-key strokes
// seen by a low-level keyboard hook and the key-state table of the program's thread.
//
//   e2e_driver list | e2e_driver BIN_DIR WORK_DIR [SCENARIO...]
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/e2e/desktop.h"
#include "tests/e2e/scenarios.h"
#include "tests/e2e/tacetto_expectations.h"

namespace {

constexpr DWORD kStepMs = 5000;      // any single wait
constexpr DWORD kScenarioMs = 20000;  // a scenario, a hung program included
constexpr DWORD kSettleMs = 150;     // after a change of focus, before keys
constexpr DWORD kQuietMs = 700;      // in which something that must not come would have come

// Strokes of keys the driver did not type: "90vxi" = key 0x90 down, extended, injected.
CRITICAL_SECTION g_strokeLock;
std::vector<std::string> g_strokes;

LRESULT CALLBACK RecordStroke(int code, WPARAM wParam, LPARAM lParam) {
  const KBDLLHOOKSTRUCT* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
  if (code == HC_ACTION && key->dwExtraInfo != kDriverKeyTag) {
    char text[16];
    snprintf(text, sizeof text, "%02lx%s%s%s", key->vkCode, key->flags & LLKHF_UP ? "^" : "v",
             key->flags & LLKHF_EXTENDED ? "x" : "", key->flags & LLKHF_INJECTED ? "i" : "");
    EnterCriticalSection(&g_strokeLock);
    g_strokes.push_back(text);
    LeaveCriticalSection(&g_strokeLock);
    // Kept from the queues: no thread toggles its key-state table on them, so the table holds
    // what the program wrote itself.
    return 1;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

DWORD WINAPI HookThread(LPVOID ready) {
  SetWindowsHookExA(WH_KEYBOARD_LL, &RecordStroke, GetModuleHandleA(nullptr), 0);
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
  SetEvent(static_cast<HANDLE>(ready));
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    DispatchMessageA(&message);
  }
  return 0;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1) {
    parts.push_back(text.substr(start, end - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

// Expected log lines: "@name a b" expands the macro with $1 = a, $2 = b; "N*..." repeats all.
std::vector<std::string> ExpandLog(const std::string& spec) {
  std::vector<std::string> lines;
  const size_t star = spec.find('*');
  if (star != std::string::npos && spec.find_first_not_of("0123456789") == star) {
    for (int n = atoi(spec.c_str()); n > 0; --n) {
      for (const std::string& line : ExpandLog(spec.substr(star + 1))) {
        lines.push_back(line);
      }
    }
    return lines;
  }
  for (const std::string& item : Split(spec, '|')) {
    const std::vector<std::string> words = Split(item, ' ');
    const Macro* macro = nullptr;
    for (int i = 0; i < kMacroCount && item[0] == '@'; ++i) {
      macro = words[0] == kMacros[i].name ? &kMacros[i] : macro;
    }
    if (macro == nullptr) {
      lines.push_back(item);
      continue;
    }
    std::string text = macro->text;
    for (size_t at; (at = text.find('$')) != std::string::npos;) {
      const size_t arg = static_cast<size_t>(text[at + 1] - '0');
      text.replace(at, 2, arg < words.size() ? words[arg] : "?");
    }
    for (const std::string& line : ExpandLog(text)) {
      lines.push_back(line);
    }
  }
  return lines;
}

std::string Joined(const std::vector<std::string>& items, size_t from, size_t count) {
  std::string text;
  for (size_t i = from; i < from + count && i < items.size(); ++i) {
    text += (text.empty() ? "" : " | ") + items[i];
  }
  return text;
}

struct Scenario {
  const Row& row;
  std::string folder, bin;
  PROCESS_INFORMATION process = {};
  HWND window = nullptr;
  std::vector<int> held;  // the driver's own hotkey registrations
  size_t logSeen = 0, strokesSeen = 0, boxes = 0;
  int atomsBefore = 0;
  int failures = 0;
  ULONGLONG deadline = GetTickCount64() + kScenarioMs;

  explicit Scenario(const Row& r) : row(r) {}

  void Fail(const std::string& step, const std::string& expected, const std::string& actual) {
    ++failures;
    printf("  %s: expected \"%s\", got \"%s\"\n", step.c_str(), expected.c_str(), actual.c_str());
  }
  void Check(const std::string& step, const std::string& expected, const std::string& actual) {
    if (expected != actual) {
      Fail(step, expected, actual);
    }
  }
  bool Tacetto() const { return strcmp(row.program, "tacetto") == 0; }
  uint32_t ConfiguredHotkey() const {
    const std::vector<std::string> lines = Split(row.config ? row.config : "", '/');
    return lines.size() > 2 ? static_cast<uint32_t>(atoi(lines[2].c_str())) : kHotkey;
  }

  std::vector<std::string> LogLines() {
    std::string text;
    ReadFileBytes(folder + "\\sound.log", text);
    std::vector<std::string> lines = Split(text, '\n');
    lines.pop_back();  // after the last line end
    return lines;
  }
  std::vector<std::string> Strokes() {
    EnterCriticalSection(&g_strokeLock);
    std::vector<std::string> copy = g_strokes;
    LeaveCriticalSection(&g_strokeLock);
    return copy;
  }
  // Waits for `expected.size()` new items and compares them; they count as seen either way.
  template <typename Source>
  void ExpectNew(const std::string& step, const std::vector<std::string>& expected, size_t& seen,
                 Source source) {
    std::vector<std::string> items = source();
    const ULONGLONG until = GetTickCount64() + kStepMs;
    while (items.size() < seen + expected.size() && GetTickCount64() < until) {
      Sleep(20);
      items = source();
    }
    Check(step, Joined(expected, 0, expected.size()), Joined(items, seen, expected.size()));
    seen = items.size() < seen + expected.size() ? items.size() : seen + expected.size();
  }

  bool Start() {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\tacetto.exe", 0, nullptr, 0,
                    KEY_SET_VALUE, nullptr, &key, nullptr);
    const char* xp = sizeof(void*) == 8 ? "winxp64" : "winxp";
    if (row.windowsXp) {
      RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(xp),
                     static_cast<DWORD>(strlen(xp) + 1));
    } else {
      RegDeleteValueA(key, "Version");
    }
    RegCloseKey(key);
    std::string commandLine = "\"" + bin + "\\" + row.program + ".exe\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        nullptr, folder.c_str(), &startup, &process)) {
      Fail("start", commandLine, "error " + std::to_string(GetLastError()));
      return false;
    }
    // The program's thread shares the driver's input from its first instruction on: the
    // key-state table it reads and writes is the one the driver's thread reads ("lock").
    BYTE cleared[256] = {};
    SetKeyboardState(cleared);
    ResumeThread(process.hThread);
    // Once its thread has a desktop (wine clears the shared table on the attach).
    const ULONGLONG until = GetTickCount64() + kStepMs;
    while (Tacetto() && !AttachThreadInput(process.dwThreadId, GetCurrentThreadId(), TRUE)) {
      if (GetTickCount64() >= until) {
        Fail("start", "the program's input attached to the driver's", "refused");
        break;
      }
      Sleep(1);
    }
    return true;
  }

  int KeyState(BYTE key) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    return keys[key];
  }

  int GlobalHotkeyAtoms() {
    int count = 0;
    for (UINT atom = 0xC000; atom <= 0xFFFF; ++atom) {
      char name[64] = {};
      count += GlobalGetAtomNameA(static_cast<ATOM>(atom), name, sizeof name) > 0 &&
                       strncmp(name, "My Hotkey", 9) == 0
                   ? 1
                   : 0;
    }
    return count;
  }

  void Step(const std::string& line) {
    const size_t space = line.find(' ');
    const std::string verb = line.substr(0, space);
    const std::string arg = space == std::string::npos ? "" : line.substr(space + 1);
    const int lockKey = Split(row.config ? row.config : "", '/').size() > 4 &&
                                atoi(Split(row.config, '/')[4].c_str()) != 0
                            ? VK_SCROLL
                            : VK_NUMLOCK;
    if (verb == "hold" || verb == "taken") {  // the driver registers a combination itself
      const uint32_t number = static_cast<uint32_t>(atoi(arg.c_str()));
      const int id = 0x7E00 + static_cast<int>(held.size());
      const bool ok = RegisterHotKey(nullptr, id, (number >> 8) & 0xFF, number & 0xFF) != FALSE;
      if (ok) {
        held.push_back(id);
      }
      Check(line, verb == "hold" ? "registered" : "refused", ok ? "registered" : "refused");
    } else if (verb == "box" || verb == "boxh") {
      HWND box = nullptr;
      std::string caption, text;
      if (!WaitForMessageBox(process.dwProcessId, window, kStepMs, box, caption, text)) {
        return Fail(line, arg, "no message box");
      }
      Check("box " + std::to_string(++boxes), arg, caption + "|" + text);
      HWND tool = Tacetto() ? FindWindowA(nullptr, kTacettoTitle) : nullptr;
      if (verb == "boxh" && tool != nullptr && IsWindowVisible(tool)) {
        Fail(line, "no visible window while the box is up", "the window is visible");
      }
      if (!ConfirmMessageBox(box, kStepMs)) {
        Fail(line, "box closes on OK", "still there");
      }
    } else if (verb == "win") {
      const char* title = Tacetto() ? kTacettoTitle : "Tastrel";
      window = WaitForTopWindow(process.dwProcessId, title, kStepMs);
      if (window == nullptr || !WaitForVisible(window, kStepMs)) {
        return Fail(line, title, "no visible window");
      }
      if (Tacetto()) {
        Check("greeting", kTacettoGreeting, WindowText(GetDlgItem(window, kTacettoLabelId)));
      }
    } else if (verb == "item") {  // item ID CLASS|TEXT
      HWND item = GetDlgItem(window, atoi(arg.c_str()));
      Check(line, arg.substr(arg.find(' ') + 1), ClassOf(item) + "|" + WindowText(item));
    } else if (verb == "press") {  // press [NUMBER [x]]: the hotkey, or that combination
      Sleep(kSettleMs);
      TypeHotkey(arg.empty() ? ConfiguredHotkey() : static_cast<uint32_t>(atoi(arg.c_str())),
                 arg.find('x') != std::string::npos);
    } else if (verb == "burst") {
      Sleep(kSettleMs);
      TypeHotkey(ConfiguredHotkey(), false, atoi(arg.c_str()));
    } else if (verb == "label") {
      const std::string text =
          arg.find_first_not_of("-0123456789") == std::string::npos && !arg.empty()
              ? "Mikrofon/Line-Volume: " + arg + "%"
              : arg;
      Check(line, text, WaitForItemText(window, kTacettoLabelId, text, kStepMs));
    } else if (verb == "log") {
      ExpectNew(line, ExpandLog(arg), logSeen, [this] { return LogLines(); });
    } else if (verb == "keys") {  // keys 90 91: one stroke each (down, up; extended, injected)
      std::vector<std::string> expected;
      for (const std::string& key : ExpandLog(arg)) {
        for (const std::string& each : Split(key, ' ')) {
          expected.push_back(each + "vxi");
          expected.push_back(each + "^xi");
        }
      }
      ExpectNew(line, expected, strokesSeen, [this] { return Strokes(); });
    } else if (verb == "lock") {  // lock N: the lock key's byte in the program's table
      Sleep(kSettleMs);
      Check(line, arg, std::to_string(KeyState(static_cast<BYTE>(lockKey))));
    } else if (verb == "quiet") {  // no log line, stroke or message box comes
      Sleep(kQuietMs);
      HWND box = nullptr;
      std::string caption, text;
      WaitForMessageBox(process.dwProcessId, window, 0, box, caption, text);
      Check(line, "", Joined(LogLines(), logSeen, 99) + Joined(Strokes(), strokesSeen, 99) + text);
    } else if (verb == "close") {
      CloseBySystemCommand(window);
    } else if (verb == "session") {  // session 1: WM_QUERYENDSESSION, then WM_ENDSESSION 1
      DWORD_PTR answer = 0;
      SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, kStepMs, &answer);
      PostMessageA(window, WM_ENDSESSION, static_cast<WPARAM>(atoi(arg.c_str())), 0);
    } else if (verb == "sound") {  // replaces the line of sound.txt that starts alike
      std::string text, rewritten;
      ReadFileBytes(folder + "\\sound.txt", text);
      const std::string key = arg.substr(0, arg.find(' ', arg.find(' ') + 1));
      for (const std::string& old : Split(text, '\n')) {
        if (!old.empty()) {
          rewritten += (old.compare(0, key.size(), key) == 0 ? arg : old) + "\n";
        }
      }
      WriteFileBytes(folder + "\\sound.txt", rewritten);
    } else if (verb == "file") {  // file LINE: sound.txt holds this line
      std::string text;
      ReadFileBytes(folder + "\\sound.txt", text);
      Check(line, "found", ("\n" + text).find("\n" + arg + "\n") != std::string::npos ? "found" : text);
    } else if (verb == "field" || verb == "holds") {  // the probe's field: set / holds HEX
      DWORD_PTR got = 0;
      if (verb == "field") {
        SendMessageTimeoutA(GetDlgItem(window, 1002), HKM_SETHOTKEY,
                            strtoul(arg.c_str(), nullptr, 16), 0, SMTO_ABORTIFHUNG, kStepMs, &got);
      }
      SendMessageTimeoutA(GetDlgItem(window, 1002), HKM_GETHOTKEY, 0, 0, SMTO_ABORTIFHUNG,
                          kStepMs, &got);
      char hex[16];
      snprintf(hex, sizeof hex, "%x", static_cast<unsigned>(got & 0xFFFF));
      Check(line, arg, hex);
    } else if (verb == "type") {  // type NUMBER: clicks into the probe's field and types there
      SetForegroundWindow(window);
      RECT rect;
      GetWindowRect(GetDlgItem(window, 1002), &rect);
      SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
      INPUT click[2] = {};
      click[0].type = click[1].type = INPUT_MOUSE;
      click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
      click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
      SendInput(2, click, sizeof(INPUT));
      Sleep(kSettleMs);
      TypeHotkey(static_cast<uint32_t>(atoi(arg.c_str())), arg.find('x') != std::string::npos);
      Sleep(kSettleMs);
    } else if (verb == "click") {
      PostMessageA(GetDlgItem(window, 1004), BM_CLICK, 0, 0);
    } else if (verb == "atoms") {  // atoms +N: global "My Hotkey" atoms more than at the start
      Check(line, arg, "+" + std::to_string(GlobalHotkeyAtoms() - atomsBefore));
    } else if (verb == "exit") {
      DWORD code = STILL_ACTIVE;
      if (WaitForSingleObject(process.hProcess, kStepMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
      }
      Check(line, "exit code 0", code == STILL_ACTIVE ? "running" : "exit code " + std::to_string(code));
    } else {
      Fail(line, "a known step", verb);
    }
  }

  void Run() {
    std::vector<std::string> steps = Split(row.steps, ';');
    for (std::string& step : steps) {
      step.erase(0, step.find_first_not_of(' '));
    }
    size_t first = 0;
    for (size_t i = 0; i < steps.size(); ++i) {
      first = steps[i] == "start" ? i + 1 : first;
    }
    for (size_t i = 0; i < first; ++i) {
      if (steps[i] != "start") {
        Step(steps[i]);
      }
    }
    strokesSeen = Strokes().size();
    atomsBefore = strstr(row.steps, "atoms") != nullptr ? GlobalHotkeyAtoms() : 0;
    if (!Start()) {
      return;
    }
    for (size_t i = first; i < steps.size() && GetTickCount64() < deadline; ++i) {
      if (!steps[i].empty()) {
        Step(steps[i]);
      }
    }
    if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
      Fail("end", "the program has ended", "still running: ended by the driver");
      TerminateProcess(process.hProcess, 1);
      WaitForSingleObject(process.hProcess, kStepMs);
    }
    Check("log lines nobody expected", "", Joined(LogLines(), logSeen, 999));
    Check("strokes nobody expected", "", Joined(Strokes(), strokesSeen, 999));
    for (int id : held) {
      UnregisterHotKey(nullptr, id);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && strcmp(argv[1], "list") == 0) {
    for (int i = 0; i < kRowCount; ++i) {
      printf("%s\n", kRows[i].name);
    }
    return 0;
  }
  if (argc < 3) {
    fprintf(stderr, "usage: e2e_driver list | e2e_driver BIN_DIR WORK_DIR [SCENARIO...]\n");
    return 2;
  }
  InitializeCriticalSection(&g_strokeLock);
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  CreateThread(nullptr, 0, &HookThread, ready, 0, nullptr);
  WaitForSingleObject(ready, kStepMs);
  const std::string work = WindowsPath(argv[2]);
  const std::string bin = WindowsPath(argv[1]);
  int passed = 0, failed = 0;
  for (int i = 0; i < kRowCount; ++i) {
    bool chosen = argc == 3;
    for (int a = 3; a < argc; ++a) {
      chosen = chosen || strcmp(argv[a], kRows[i].name) == 0;
    }
    if (!chosen) {
      continue;
    }
    const ULONGLONG started = GetTickCount64();
    Scenario scenario(kRows[i]);
    scenario.folder = work + "\\" + kRows[i].name;
    scenario.bin = bin;
    CreateDirectoryA(scenario.folder.c_str(), nullptr);
    if (kRows[i].config != nullptr) {
      std::string text;
      for (const std::string& line : Split(kRows[i].config, '/')) {
        text += line + "\r\n";
      }
      WriteFileBytes(scenario.folder + "\\tacetto.cfg", text);
    }
    if (kRows[i].sound != nullptr) {
      WriteFileBytes(scenario.folder + "\\sound.txt", kRows[i].sound);
    }
    scenario.Run();
    (scenario.failures == 0 ? passed : failed)++;
    printf("%s %s (%.1f s)\n", scenario.failures == 0 ? "PASS" : "FAIL", kRows[i].name,
           static_cast<double>(GetTickCount64() - started) / 1000);
    fflush(stdout);
  }
  printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 && passed > 0 ? 0 : 1;
}
