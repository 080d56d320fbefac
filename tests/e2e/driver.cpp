// End-to-end driver: runs the rows of scenarios.cpp against the programs of its own build, each
// copied into a folder of its own beside planted libraries, and sees what a user would: windows,
// texts, message boxes, what reached the sound doubles (sound.log), and the lock lights: a thread
// of its own reads them as any other program sees them, and a low-level keyboard hook records the
// strokes the program injects, which go on to the system as any stroke does.
//
//   e2e_driver list | e2e_driver font | e2e_driver BIN_DIR WORK_DIR [SCENARIO...]
#include <windows.h>

#include <cstdlib>

#include "harness/desktop.h"
#include "harness/lock_lights.h"
#include "tests/e2e/scenario.h"

namespace {

// Planted beside the program under the names of the libraries it might load from its own folder:
// it must take each from the system folder, so none of these may ever be loaded (planted.cpp).
const char* const kPlanted[] = {"winmm.dll", "comctl32.dll", "mmdevapi.dll"};

CRITICAL_SECTION g_strokeLock;
Lines g_strokes;      // "90vxi": key 0x90 down (^ up), extended, injected
int g_toSwallow = 0;  // the program's key events still to be kept from the system

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
  const bool swallow = g_toSwallow > 0;
  g_toSwallow -= swallow ? 1 : 0;
  LeaveCriticalSection(&g_strokeLock);
  return swallow ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

// A thread of its own that sets itself up with `setUp` and then takes its messages, as a
// program's window thread does.
struct ThreadStart {
  void (*setUp)();
  HANDLE ready;
};
DWORD WINAPI MessageThread(LPVOID start) {
  static_cast<ThreadStart*>(start)->setUp();
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
  SetEvent(static_cast<ThreadStart*>(start)->ready);
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
void StartMessageThread(void (*setUp)()) {
  ThreadStart start = {setUp, CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  CloseHandle(CreateThread(nullptr, 0, &MessageThread, &start, 0, nullptr));
  WaitForSingleObject(start.ready, kStepMs);
  CloseHandle(start.ready);
}

HWND g_other = nullptr;

// Another program: a window of its own thread, which takes its messages, keys included.
void OpenOtherProgram() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = &DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "E2eOtherProgram";
  RegisterClassA(&windowClass);
  g_other = CreateWindowExA(0, windowClass.lpszClassName, "Another program", WS_OVERLAPPEDWINDOW,
                            600, 400, 300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
}

HWND volatile g_readWindow = nullptr;
HANDLE g_reader = nullptr;

// Another program that reads a window's text over and over, as a screen reader may.
DWORD WINAPI ReadText(LPVOID) {
  char text[256];
  DWORD_PTR length = 0;
  for (HWND window; (window = g_readWindow) != nullptr;) {
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, kStepMs, &length);
  }
  return 0;
}

}  // namespace

void ReadWithoutPause(HWND window) {
  g_readWindow = window;
  if (window != nullptr && g_reader == nullptr) {
    g_reader = CreateThread(nullptr, 0, &ReadText, nullptr, 0, nullptr);
  } else if (window == nullptr && g_reader != nullptr) {
    WaitForSingleObject(g_reader, kStepMs);
    CloseHandle(g_reader);
    g_reader = nullptr;
  }
}

HWND OtherProgramWindow() {
  return g_other;
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

std::string Join(const Lines& items, size_t from, size_t count) {
  std::string text;
  for (size_t i = from; i < from + count && i < items.size(); ++i) {
    text += (i == from ? "" : " | ") + items[i];
  }
  return text;
}

Lines Expand(const std::string& pattern) {
  Lines lines;
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

void SwallowKeyEvents(int count) {
  EnterCriticalSection(&g_strokeLock);
  g_toSwallow = count;
  LeaveCriticalSection(&g_strokeLock);
}

int KeyEventsStillSwallowed() {
  EnterCriticalSection(&g_strokeLock);
  const int left = g_toSwallow;
  LeaveCriticalSection(&g_strokeLock);
  return left;
}

Lines Strokes() {
  EnterCriticalSection(&g_strokeLock);
  const Lines copy = g_strokes;
  LeaveCriticalSection(&g_strokeLock);
  return copy;
}

bool Scenario::Start() {
  // The Windows version wine reports to the mute tool.
  SetWindowsVersion("tacetto.exe", row.windowsXp);
  const std::string exe = folder + "\\" + row.program + ".exe";
  // Put in place once per folder: a start after a restart takes the same file, never one rewritten
  // while the copy that has just ended may still have it mapped.
  if (GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES) {
    bool copied = CopyFileA((bin + "\\" + row.program + ".exe").c_str(), exe.c_str(), TRUE);
    for (const char* name : kPlanted) {
      copied = CopyFileA((bin + "\\planted.dll").c_str(), (folder + "\\" + name).c_str(), TRUE) &&
               copied;
    }
    Check("the program and the planted libraries put in place", "yes", copied ? "yes" : "no");
  }
  if (!StartProgram(exe, folder, process)) {
    Check("start", exe, "error " + std::to_string(GetLastError()));
    return false;
  }
  return true;
}

void Scenario::LightsOff() {
  std::string lit;
  for (BYTE key : {VK_NUMLOCK, VK_SCROLL}) {
    if (LockLight(key) != 0) {
      StrikeKey(key);
    }
    Poll(kStepMs, [&] { return LockLight(key) == 0; });
    lit += LockLight(key) != 0 ? std::string(lit.empty() ? "" : ", ") + LockKeyName(key) : "";
  }
  Check("the lights before the start", "", lit.empty() ? "" : lit + " still on");
}

void Scenario::Run() {
  Lines steps = Split(row.steps, ';');
  size_t first = 0;  // the steps before "start" run before the program starts
  for (size_t i = 0; i < steps.size(); ++i) {
    steps[i].erase(0, steps[i].find_first_not_of(' '));
    first = steps[i] == "start" ? i + 1 : first;
  }
  for (size_t i = 0; i + 1 < first; ++i) {
    Step(steps[i]);
  }
  LightsOff();
  strokesSeen = Strokes().size();
  atomsBefore = strstr(row.steps, "atoms") != nullptr ? HotkeyAtoms() : 0;
  const ULONGLONG deadline = GetTickCount64() + kScenarioMs;
  const bool started = Start();
  for (size_t i = first; started && i < steps.size() && GetTickCount64() < deadline; ++i) {
    Step(steps[i]);
  }
  for (PROCESS_INFORMATION* copy : {&process, &twinProcess}) {
    if (copy->hProcess != nullptr && EndProgram(*copy, 0) == STILL_ACTIVE) {
      Check("end", "the program has ended", "still running: ended by the driver");
    }
  }
  for (const char* name : kPlanted) {
    const std::string marker = folder + "\\" + name + ".loaded";
    Check(
        std::string("the ") + name + " beside the program", "never loaded",
        GetFileAttributesA(marker.c_str()) == INVALID_FILE_ATTRIBUTES ? "never loaded" : "loaded");
  }
  Check("log lines nobody expected", "", Join(LogLines(), logSeen));
  Check("strokes nobody expected", "", Join(Strokes(), strokesSeen));
  for (int id : held) {
    UnregisterHotKey(nullptr, id);
  }
  ShowWindow(OtherProgramWindow(), SW_HIDE);
  ReadWithoutPause(nullptr);
  SwallowKeyEvents(0);
  if (dpi != 96) {
    SetLogPixels(0);  // the next row's program starts at 96 DPI again
  }
  if (shared != INVALID_HANDLE_VALUE) {
    CloseHandle(shared);
  }
}

int main(int argc, char** argv) {
  // Unbuffered: a row that the run's time-out cuts off keeps what it has printed.
  setvbuf(stdout, nullptr, _IONBF, 0);
  std::vector<const Row*> rows;
  for (int i = 0; i < kRowCount + kEndpointRowCount; ++i) {
    rows.push_back(i < kRowCount ? &kRows[i] : &kEndpointRows[i - kRowCount]);
  }
  if (argc == 2 && strcmp(argv[1], "font") == 0) {
    const std::string wrong = WrongFont();
    printf("%s", wrong.c_str());
    return wrong.empty() ? 0 : 1;
  }
  for (size_t i = 0; argc == 2 && i < rows.size(); ++i) {
    printf("%s\n", rows[i]->name);
  }
  if (argc < 3) {
    return argc == 2 ? 0 : 2;
  }
  SetLogPixels(0);  // whatever an interrupted run left: the rows start at 96 DPI
  WatchLockLights();
  StartMessageThread(&OpenOtherProgram);
  InitializeCriticalSection(&g_strokeLock);
  StartMessageThread(
      [] { SetWindowsHookExA(WH_KEYBOARD_LL, &RecordStroke, GetModuleHandleA(nullptr), 0); });
  int passed = 0, failed = 0;
  for (const Row* row : rows) {
    bool chosen = argc == 3;
    for (int a = 3; a < argc; ++a) {
      chosen = chosen || strcmp(argv[a], row->name) == 0;
    }
    if (!chosen) {
      continue;
    }
    const ULONGLONG started = GetTickCount64();
    Scenario scenario(*row, WindowsPath(argv[2]) + "\\" + row->name, WindowsPath(argv[1]));
    CreateDirectoryA(scenario.folder.c_str(), nullptr);
    if (row->config != nullptr) {
      scenario.WriteConfig(Split(row->config, '/'));
    }
    if (row->sound != nullptr) {
      WriteFileBytes(scenario.folder + "\\sound.txt", row->sound);
    }
    scenario.Run();
    (scenario.failures == 0 ? passed : failed)++;
    printf("%s %s (%.1f s)\n", scenario.failures == 0 ? "PASS" : "FAIL", row->name,
           static_cast<double>(GetTickCount64() - started) / 1000);
    fflush(stdout);
  }
  printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 && passed > 0 ? 0 : 1;
}
