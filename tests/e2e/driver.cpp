// End-to-end driver: runs the rows of scenarios.cpp against the programs of its own build, each
// copied into a folder of its own beside planted libraries, and sees what a user would: windows,
// texts, message boxes, what reached the sound doubles (sound.log), and the lock key: a
// low-level keyboard hook records the program's strokes (and keeps them from the queues), and
// the program's thread shares the driver's input, so the key-state table it writes is the one
// the driver reads.
//
//   e2e_driver list | e2e_driver BIN_DIR WORK_DIR [SCENARIO...]
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/e2e/desktop.h"
#include "tests/e2e/scenarios.h"
#include "tests/e2e/tacetto_expectations.h"

namespace {

constexpr DWORD kStepMs = 5000;       // any single wait
constexpr DWORD kScenarioMs = 20000;  // a scenario, a hung program included
constexpr DWORD kSettleMs = 150;      // after a change of focus, before keys
constexpr DWORD kQuietMs = 700;       // in which what must not come would have come
constexpr int kFieldId = 1002, kButtonId = 1004;
// Planted beside the program under the names of the libraries it might load from its own folder:
// it must take each from the system folder, so none of these may ever be loaded (planted.cpp).
const char* const kPlanted[] = {"winmm.dll", "comctl32.dll", "mmdevapi.dll"};

using Lines = std::vector<std::string>;

CRITICAL_SECTION g_strokeLock;
Lines g_strokes;  // "90vxi": key 0x90 down (^ up), extended, injected

LRESULT CALLBACK RecordStroke(int code, WPARAM wParam, LPARAM lParam) {
  const KBDLLHOOKSTRUCT* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
  if (code != HC_ACTION || key->dwExtraInfo == kDriverKeyTag) {
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  char text[16];
  snprintf(text, sizeof text, "%02lx%s%s%s", key->vkCode, key->flags & LLKHF_UP ? "^" : "v",
           key->flags & LLKHF_EXTENDED ? "x" : "", key->flags & LLKHF_INJECTED ? "i" : "");
  EnterCriticalSection(&g_strokeLock);
  g_strokes.push_back(text);
  LeaveCriticalSection(&g_strokeLock);
  return 1;  // no thread toggles its table on it: the table holds what the program wrote
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

Lines Split(const std::string& text, char separator) {
  Lines parts(1);
  for (char c : text) {
    if (c == separator) {
      parts.emplace_back();
    } else {
      parts.back().push_back(c);
    }
  }
  return parts;
}

std::string Join(const Lines& items, size_t from, size_t count = 9999) {
  std::string text;
  for (size_t i = from; i < from + count && i < items.size(); ++i) {
    text += (i == from ? "" : " | ") + items[i];
  }
  return text;
}

// "a|@name x y|b": lines, a macro expanded with $1 = x, $2 = y; "N*..." repeats the whole.
Lines Expand(const std::string& pattern) {
  Lines lines;
  const size_t star = pattern.find('*');
  if (star != std::string::npos && star == pattern.find_first_not_of("0123456789")) {
    const Lines once = Expand(pattern.substr(star + 1));
    for (int n = atoi(pattern.c_str()); n > 0; --n) {
      lines.insert(lines.end(), once.begin(), once.end());
    }
    return lines;
  }
  for (const std::string& item : Split(pattern, '|')) {
    const Lines words = Split(item, ' ');
    const Macro* macro = nullptr;
    for (int i = 0; i < kMacroCount; ++i) {
      macro = words[0] == kMacros[i].name ? &kMacros[i] : macro;
    }
    std::string text = macro != nullptr ? macro->text : item;
    for (size_t at; macro != nullptr && (at = text.find('$')) != std::string::npos;) {
      const size_t arg = static_cast<size_t>(text[at + 1] - '0');
      text.replace(at, 2, arg < words.size() ? words[arg] : "?");
    }
    const Lines expanded = macro != nullptr ? Expand(text) : Lines{text};
    lines.insert(lines.end(), expanded.begin(), expanded.end());
  }
  return lines;
}

struct Scenario {
  const Row& row;
  std::string folder, bin;
  PROCESS_INFORMATION process = {};
  HWND window = nullptr;
  std::vector<int> held;  // the driver's own hotkey registrations
  size_t logSeen = 0, strokesSeen = 0;
  int failures = 0, atomsBefore = 0;

  Scenario(const Row& r, const std::string& f, const std::string& b) : row(r), folder(f), bin(b) {}

  void Check(const std::string& step, const std::string& expected, const std::string& actual) {
    if (expected != actual) {
      ++failures;
      printf("  %s: expected \"%s\", got \"%s\"\n", step.c_str(), expected.c_str(), actual.c_str());
    }
  }
  bool Tacetto() const { return strcmp(row.program, "tacetto") == 0; }
  int ConfigValue(size_t line) const {
    const Lines lines = Split(row.config != nullptr ? row.config : "", '/');
    return lines.size() > line ? atoi(lines[line].c_str()) : 0;
  }
  Lines LogLines() {
    std::string text;
    ReadFileBytes(folder + "\\sound.log", text);
    Lines lines = Split(text, '\n');
    lines.pop_back();  // after the last line end
    return lines;
  }
  Lines Strokes() {
    EnterCriticalSection(&g_strokeLock);
    const Lines copy = g_strokes;
    LeaveCriticalSection(&g_strokeLock);
    return copy;
  }
  // Waits for as many new items as expected and compares them; they count as seen either way.
  template <typename Source>
  void ExpectNew(const std::string& step, const Lines& expected, size_t& seen, Source source) {
    Lines items = source();
    for (ULONGLONG until = GetTickCount64() + kStepMs;
         items.size() < seen + expected.size() && GetTickCount64() < until; items = source()) {
      Sleep(20);
    }
    Check(step, Join(expected, 0), Join(items, seen, expected.size()));
    seen = std::min(items.size(), seen + expected.size());
  }
  int HotkeyAtoms() {
    int count = 0;
    for (UINT atom = 0xC000; atom <= 0xFFFF; ++atom) {
      char name[64] = {};
      count += GlobalGetAtomNameA(static_cast<ATOM>(atom), name, sizeof name) > 0 &&
               strncmp(name, "My Hotkey", 9) == 0;
    }
    return count;
  }
  DWORD_PTR FieldMessage(UINT message, WPARAM value) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(window, kFieldId), message, value, 0, SMTO_ABORTIFHUNG, kStepMs,
                        &result);
    return result;
  }

  bool Start() {
    // The Windows version wine reports to the mute tool.
    SetAppDefault("tacetto.exe", "", "Version",
                  row.windowsXp ? (sizeof(void*) == 8 ? "winxp64" : "winxp") : nullptr);
    const std::string exe = folder + "\\" + row.program + ".exe";
    CopyFileA((bin + "\\" + row.program + ".exe").c_str(), exe.c_str(), FALSE);
    for (const char* name : kPlanted) {
      CopyFileA((bin + "\\planted.dll").c_str(), (folder + "\\" + name).c_str(), FALSE);
    }
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    BYTE cleared[256] = {};
    SetKeyboardState(cleared);
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
      Check("start", commandLine, "error " + std::to_string(GetLastError()));
      return false;
    }
    // As soon as its thread has a desktop, before its first key-state call.
    const ULONGLONG until = GetTickCount64() + kStepMs;
    while (Tacetto() && !AttachThreadInput(process.dwThreadId, GetCurrentThreadId(), TRUE) &&
           GetTickCount64() < until) {
      Sleep(1);
    }
    return true;
  }

  void Step(const std::string& line) {
    const std::string verb = line.substr(0, line.find(' '));
    const std::string arg = line.size() > verb.size() ? line.substr(verb.size() + 1) : "";
    const uint32_t number = static_cast<uint32_t>(atoi(arg.c_str()));
    HWND box = nullptr;
    std::string caption, text;
    if (verb == "hold" || verb == "taken") {
      const int id = 0x7E00 + static_cast<int>(held.size());
      const bool ok = RegisterHotKey(nullptr, id, (number >> 8) & 0xFF, number & 0xFF) != FALSE;
      held.push_back(ok ? id : 0);
      Check(line, verb == "hold" ? "registered" : "refused", ok ? "registered" : "refused");
    } else if (verb == "box" || verb == "boxh") {
      if (!WaitForMessageBox(process.dwProcessId, window, kStepMs, box, caption, text)) {
        return Check(line, arg, "no message box");
      }
      Check(line, arg, caption + "|" + text);
      HWND tool = Tacetto() ? FindWindowA(nullptr, kTacettoTitle) : nullptr;
      Check(line, "",
            verb == "boxh" && tool != nullptr && IsWindowVisible(tool) ? "window shown" : "");
      Check(line, "closed on OK", ConfirmMessageBox(box, kStepMs) ? "closed on OK" : "still there");
    } else if (verb == "win") {
      const char* title = Tacetto() ? kTacettoTitle : "Tastrel";
      window = WaitForTopWindow(process.dwProcessId, title, kStepMs);
      Check(line, title, window != nullptr && WaitForVisible(window, kStepMs) ? title : "none");
      const LONG_PTR topmost = GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST;
      Check("always on top", Tacetto() ? "yes" : "no", topmost != 0 ? "yes" : "no");
      Check("greeting", Tacetto() ? kTacettoGreeting : "",
            Tacetto() ? WindowText(GetDlgItem(window, kTacettoLabelId)) : "");
    } else if (verb == "item") {  // item ID CLASS|TEXT
      HWND item = GetDlgItem(window, static_cast<int>(number));
      Check(line, arg.substr(arg.find(' ') + 1), ClassOf(item) + "|" + WindowText(item));
    } else if (verb == "press" || verb == "burst") {
      Sleep(kSettleMs);
      TypeHotkey(verb == "burst" || arg.empty() ? static_cast<uint32_t>(ConfigValue(2)) : number,
                 arg.find('x') != std::string::npos,
                 verb == "burst" ? static_cast<int>(number) : 1);
    } else if (verb == "label") {
      const bool percent =
          !arg.empty() && arg.find_first_not_of("-0123456789") == std::string::npos;
      text = percent ? "Mikrofon/Line-Volume: " + arg + "%" : arg;
      Check(line, text, WaitForItemText(window, kTacettoLabelId, text, kStepMs));
    } else if (verb == "log") {
      ExpectNew(line, Expand(arg), logSeen, [this] { return LogLines(); });
    } else if (verb == "keys") {  // keys 90 91: one stroke each, down and up
      Lines expected;
      for (const std::string& keys : Expand(arg)) {
        for (const std::string& key : Split(keys, ' ')) {
          expected.insert(expected.end(), {key + "vxi", key + "^xi"});
        }
      }
      ExpectNew(line, expected, strokesSeen, [this] { return Strokes(); });
    } else if (verb == "lock") {
      BYTE keys[256] = {};
      GetKeyboardState(keys);
      Check(line, arg, std::to_string(keys[ConfigValue(4) != 0 ? VK_SCROLL : VK_NUMLOCK]));
    } else if (verb == "quiet") {
      Sleep(kQuietMs);
      WaitForMessageBox(process.dwProcessId, window, 0, box, caption, text);
      Check(line, "", Join(LogLines(), logSeen) + Join(Strokes(), strokesSeen) + text);
    } else if (verb == "close") {
      CloseBySystemCommand(window);
    } else if (verb == "session") {
      DWORD_PTR answer = 0;
      SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, kStepMs, &answer);
      PostMessageA(window, WM_ENDSESSION, number, 0);
    } else if (verb == "devices" || verb == "file") {  // under the doubles' own lock
      HANDLE lock = CreateMutexA(nullptr, FALSE, "tacetto-sound-doubles");
      WaitForSingleObject(lock, kStepMs);
      ReadFileBytes(folder + "\\sound.txt", text);
      std::string devices, rest, found;
      for (const std::string& old : Split(arg, '|')) {
        devices += old + "\n";
      }
      for (const std::string& old : Split(text, '\n')) {
        const bool device = old.rfind("device ", 0) == 0 || old.rfind("line ", 0) == 0 ||
                            old.rfind("wavein ", 0) == 0;
        rest += device || old.empty() ? "" : old + "\n";
        found = old == arg ? old : found;
      }
      verb == "file" ? Check(line, arg, found)
                     : (void)WriteFileBytes(folder + "\\sound.txt", devices + rest);
      ReleaseMutex(lock);
      CloseHandle(lock);
    } else if (verb == "field" || verb == "holds") {  // HKM_SETHOTKEY / HKM_GETHOTKEY, hex
      if (verb == "field") {
        FieldMessage(HKM_SETHOTKEY, strtoul(arg.c_str(), nullptr, 16));
      }
      char hex[16];
      snprintf(hex, sizeof hex, "%x",
               static_cast<unsigned>(FieldMessage(HKM_GETHOTKEY, 0) & 0xFFFF));
      Check(line, arg, hex);
    } else if (verb == "type") {  // a click into the field, then the combination
      SetForegroundWindow(window);
      RECT rect;
      GetWindowRect(GetDlgItem(window, kFieldId), &rect);
      SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
      INPUT click[2] = {};
      click[0].type = click[1].type = INPUT_MOUSE;
      click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
      click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
      SendInput(2, click, sizeof(INPUT));
      Sleep(kSettleMs);
      TypeHotkey(number);
      Sleep(kSettleMs);
    } else if (verb == "click") {
      PostMessageA(GetDlgItem(window, kButtonId), BM_CLICK, 0, 0);
    } else if (verb == "atoms") {
      Check(line, arg, "+" + std::to_string(HotkeyAtoms() - atomsBefore));
    } else if (verb == "exit") {
      DWORD code = STILL_ACTIVE;
      WaitForSingleObject(process.hProcess, kStepMs);
      GetExitCodeProcess(process.hProcess, &code);
      Check(line, "0", code == STILL_ACTIVE ? "running" : std::to_string(code));
    } else {
      Check(line, "a known step", verb);
    }
  }

  void Run() {
    Lines steps = Split(row.steps, ';');
    size_t first = 0;  // the steps before "start" run before the program starts
    for (size_t i = 0; i < steps.size(); ++i) {
      steps[i].erase(0, steps[i].find_first_not_of(' '));
      first = steps[i] == "start" ? i + 1 : first;
    }
    for (size_t i = 0; i + 1 < first; ++i) {
      Step(steps[i]);
    }
    strokesSeen = Strokes().size();
    atomsBefore = strstr(row.steps, "atoms") != nullptr ? HotkeyAtoms() : 0;
    const ULONGLONG deadline = GetTickCount64() + kScenarioMs;
    const bool started = Start();
    for (size_t i = first; started && i < steps.size() && GetTickCount64() < deadline; ++i) {
      Step(steps[i]);
    }
    if (started && WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
      Check("end", "the program has ended", "still running: ended by the driver");
      TerminateProcess(process.hProcess, 1);
      WaitForSingleObject(process.hProcess, kStepMs);
    }
    for (const char* name : kPlanted) {
      const std::string marker = folder + "\\" + name + ".loaded";
      Check(std::string("the ") + name + " beside the program", "never loaded",
            GetFileAttributesA(marker.c_str()) == INVALID_FILE_ATTRIBUTES ? "never loaded"
                                                                          : "loaded");
    }
    Check("log lines nobody expected", "", Join(LogLines(), logSeen));
    Check("strokes nobody expected", "", Join(Strokes(), strokesSeen));
    for (int id : held) {
      UnregisterHotKey(nullptr, id);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
};

}  // namespace

int main(int argc, char** argv) {
  for (int i = 0; argc == 2 && i < kRowCount; ++i) {
    printf("%s\n", kRows[i].name);
  }
  if (argc < 3) {
    return argc == 2 ? 0 : 2;
  }
  InitializeCriticalSection(&g_strokeLock);
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  CreateThread(nullptr, 0, &HookThread, ready, 0, nullptr);
  WaitForSingleObject(ready, kStepMs);
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
    Scenario scenario(kRows[i], WindowsPath(argv[2]) + "\\" + kRows[i].name, WindowsPath(argv[1]));
    CreateDirectoryA(scenario.folder.c_str(), nullptr);
    std::string config;
    for (const std::string& line : Split(kRows[i].config != nullptr ? kRows[i].config : "", '/')) {
      config += line + "\r\n";
    }
    if (kRows[i].config != nullptr) {
      WriteFileBytes(scenario.folder + "\\tacetto.cfg", config);
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
