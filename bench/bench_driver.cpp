// Measures the mute tool against the minimal window program, from outside, as a user's desktop
// sees them. A console program for wine64; scripts/benchmark.sh runs it in a folder that holds
// a tacetto.cfg with the hotkey given here.
//
//   bench_driver.exe TACETTO MINIMAL HOTKEY RUNS PRESSES PAUSE_MS IDLE_SECONDS
//
// Prints one line per figure ("startup tacetto MEDIAN_MS MIN_MS MAX_MS", "hotkey minimal P50_MS
// P99_MS MAX_MS MISSED", "idle blocking CPU_S", "memory tacetto PEAK_KIB") and exits non-zero if
// a program could not be measured.
#include <windows.h>
// after windows.h
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/e2e/desktop.h"
#include "tests/e2e/tacetto_expectations.h"

namespace {

constexpr char kMinimalTitle[] = "Minimal window";
constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kTextTimeoutMs = 2000;
constexpr DWORD kExitTimeoutMs = 10000;

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER value;
    QueryPerformanceFrequency(&value);
    return value;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Program {
  std::string path;
  std::string arguments;
  std::string title;
};

struct Running {
  PROCESS_INFORMATION process = {};
  HWND window = nullptr;
  double startedMs = 0;
  double visibleMs = 0;
};

struct FindContext {
  DWORD processId;
  const char* title;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
  FindContext* context = reinterpret_cast<FindContext*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != context->processId) {
    return TRUE;
  }
  // The title of another process's window is read from the system's copy, without a message.
  char title[128] = {};
  GetWindowTextA(window, title, sizeof title);
  if (strcmp(title, context->title) == 0) {
    context->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindWindowOf(DWORD processId, const char* title) {
  FindContext context = {processId, title, nullptr};
  EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&context));
  return context.found;
}

// Starts the program and waits, polling every millisecond, until its window is visible.
bool Start(const Program& program, Running& running) {
  std::string commandLine = "\"" + program.path + "\"";
  if (!program.arguments.empty()) {
    commandLine += " " + program.arguments;
  }
  std::vector<char> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  running = Running();
  running.startedMs = NowMs();
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &running.process)) {
    fprintf(stderr, "cannot start %s (error %lu)\n", program.path.c_str(), GetLastError());
    return false;
  }
  const double deadline = running.startedMs + kStartTimeoutMs;
  for (;;) {
    if (running.window == nullptr) {
      running.window = FindWindowOf(running.process.dwProcessId, program.title.c_str());
    }
    if (running.window != nullptr && IsWindowVisible(running.window)) {
      running.visibleMs = NowMs();
      return true;
    }
    if (NowMs() > deadline || WaitForSingleObject(running.process.hProcess, 0) == WAIT_OBJECT_0) {
      fprintf(stderr, "%s: no visible window \"%s\"\n", program.path.c_str(),
              program.title.c_str());
      return false;
    }
    Sleep(1);
  }
}

// The system close command, then a wait for the end; a program that stays is ended.
void Stop(Running& running) {
  if (running.window != nullptr) {
    PostMessageA(running.window, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  if (WaitForSingleObject(running.process.hProcess, kExitTimeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(running.process.hProcess, 1);
    WaitForSingleObject(running.process.hProcess, kExitTimeoutMs);
  }
  CloseHandle(running.process.hThread);
  CloseHandle(running.process.hProcess);
  running.process = PROCESS_INFORMATION();
}

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  // Nearest rank.
  size_t rank = static_cast<size_t>(fraction * static_cast<double>(values.size()) + 0.999999);
  rank = std::min(std::max<size_t>(rank, 1), values.size());
  return values[rank - 1];
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string ItemText(HWND item) {
  char text[128] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(item, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                           SMTO_ABORTIFHUNG, kTextTimeoutMs, &copied)) {
    return std::string();
  }
  return text;
}

// A small generator for the pauses between presses, so that presses do not fall into step with
// the program's 1 ms polling.
uint32_t NextRandom() {
  static uint32_t state = 12345;
  state = state * 1103515245u + 12345u;
  return state >> 16;
}

// Start-up: process start until the window is visible, the two programs taking turns.
bool MeasureStartup(const Program& tacetto, const Program& minimal, int runs) {
  std::vector<double> times[2];
  const Program* programs[2] = {&tacetto, &minimal};
  for (int run = -1; run < runs; ++run) {  // run -1 warms the caches up and is not counted
    for (int p = 0; p < 2; ++p) {
      Running running;
      const bool started = Start(*programs[p], running);
      if (running.process.hProcess != nullptr) {
        Stop(running);
      }
      if (!started) {
        return false;
      }
      if (run >= 0) {
        times[p].push_back(running.visibleMs - running.startedMs);
      }
    }
  }
  const char* names[2] = {"tacetto", "minimal"};
  for (int p = 0; p < 2; ++p) {
    printf("startup %s %.1f %.1f %.1f\n", names[p], Median(times[p]),
           *std::min_element(times[p].begin(), times[p].end()),
           *std::max_element(times[p].begin(), times[p].end()));
  }
  return true;
}

// Hotkey latency: key press injected until the label shows the new level; then peak memory.
bool MeasureHotkey(const char* name, const Program& program, uint32_t hotkey, int presses,
                   DWORD pauseMs) {
  Running running;
  if (!Start(program, running)) {
    if (running.process.hProcess != nullptr) {
      Stop(running);
    }
    return false;
  }
  Sleep(300);  // the hotkey is registered right before the window shows
  HWND label = GetDlgItem(running.window, kTacettoLabelId);
  const std::string texts[2] = {"Mikrofon/Line-Volume: 0%", "Mikrofon/Line-Volume: 80%"};
  std::vector<double> latencies;
  int missed = 0;
  int expected = 0;
  for (int press = 0; press < presses; ++press) {
    const double pressed = NowMs();
    TypeHotkey(hotkey);
    std::string text;
    for (;;) {
      text = ItemText(label);
      if (text == texts[expected] || NowMs() - pressed > kTextTimeoutMs) {
        break;
      }
    }
    if (text == texts[expected]) {
      latencies.push_back(NowMs() - pressed);
    } else {
      ++missed;
      fprintf(stderr, "%s: press %d not seen within %lu ms; the label shows \"%s\"\n", name,
              press + 1, kTextTimeoutMs, text.c_str());
    }
    // The next press turns the label from whatever it shows now.
    expected = (text == texts[0]) ? 1 : 0;
    Sleep(pauseMs + NextRandom() % (pauseMs + 1));
  }
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  const bool haveMemory = GetProcessMemoryInfo(running.process.hProcess, &memory, sizeof memory);
  Stop(running);
  if (latencies.empty()) {
    fprintf(stderr, "%s: no press was seen\n", name);
    return false;
  }
  printf("hotkey %s %.2f %.2f %.2f %d %zu\n", name, Percentile(latencies, 0.50),
         Percentile(latencies, 0.99), *std::max_element(latencies.begin(), latencies.end()), missed,
         latencies.size());
  if (haveMemory) {
    printf("memory %s %llu\n", name,
           static_cast<unsigned long long>(memory.PeakWorkingSetSize / 1024));
  }
  return true;
}

double CpuSecondsOf(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) {
    return -1;
  }
  auto seconds = [](const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

// The Linux process that runs `path` on this driver's wine prefix, where only one program under
// test runs at a time. 0 if none is found.
unsigned long LinuxProcessOf(const std::string& path) {
  char prefix[1024] = {};
  GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
  const std::string wantedEnvironment = "WINEPREFIX=" + std::string(prefix) + std::string(1, '\0');
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
  if (search == INVALID_HANDLE_VALUE) {
    return 0;
  }
  unsigned long found = 0;
  do {
    char* end = nullptr;
    const unsigned long pid = strtoul(entry.cFileName, &end, 10);
    if (pid == 0 || *end != '\0') {
      continue;
    }
    const std::string folder = "Z:\\proc\\" + std::string(entry.cFileName);
    std::string commandLine;
    std::string environment;
    if (ReadFileBytes(folder + "\\cmdline", commandLine) &&
        commandLine.compare(0, path.size() + 1, path + std::string(1, '\0')) == 0 &&
        ReadFileBytes(folder + "\\environ", environment) &&
        ("\0" + environment).find("\0" + wantedEnvironment) != std::string::npos) {
      found = pid;
    }
  } while (found == 0 && FindNextFileA(search, &entry));
  FindClose(search);
  return found;
}

// User and system time of a Linux process and all its threads (/proc/PID/stat, in clock ticks
// of 10 ms).
double LinuxCpuSeconds(unsigned long pid) {
  std::string stat;
  if (pid == 0 || !ReadFileBytes("Z:\\proc\\" + std::to_string(pid) + "\\stat", stat)) {
    return -1;
  }
  // The fields after the command name: state is field 3, utime 14 and stime 15.
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) {
    return -1;
  }
  std::vector<std::string> fields;
  size_t at = close + 2;
  while (at < stat.size()) {
    const size_t next = stat.find(' ', at);
    fields.push_back(stat.substr(at, next == std::string::npos ? std::string::npos : next - at));
    if (next == std::string::npos) {
      break;
    }
    at = next + 1;
  }
  if (fields.size() < 13) {
    return -1;
  }
  constexpr double kTicksPerSecond = 100.0;
  return (strtod(fields[11].c_str(), nullptr) + strtod(fields[12].c_str(), nullptr)) /
         kTicksPerSecond;
}

// Idle cost: CPU time of the process over the given seconds with its window idle.
bool MeasureIdle(const char* name, const Program& program, int seconds) {
  Running running;
  if (!Start(program, running)) {
    if (running.process.hProcess != nullptr) {
      Stop(running);
    }
    return false;
  }
  Sleep(1000);
  const unsigned long pid = LinuxProcessOf(program.path);
  const double windowsBefore = CpuSecondsOf(running.process.hProcess);
  const double linuxBefore = LinuxCpuSeconds(pid);
  const double wallBefore = NowMs();
  Sleep(static_cast<DWORD>(seconds) * 1000);
  const double windowsAfter = CpuSecondsOf(running.process.hProcess);
  const double linuxAfter = LinuxCpuSeconds(pid);
  const double wall = (NowMs() - wallBefore) / 1000.0;
  Stop(running);
  const double windowsCpu = windowsAfter - windowsBefore;
  const double linuxCpu = linuxAfter - linuxBefore;
  // Under wine the Linux process's figures count: its GetProcessTimes answers (nearly) zero for
  // any process but the caller.
  const bool fromLinux = linuxBefore >= 0 && linuxAfter >= 0;
  if (!fromLinux && windowsBefore < 0) {
    fprintf(stderr, "%s: no CPU time to read\n", name);
    return false;
  }
  printf("idle %s %.3f %.2f %s %.3f\n", name, fromLinux ? linuxCpu : windowsCpu, wall,
         fromLinux ? "proc-stat" : "GetProcessTimes", windowsCpu);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 8) {
    fprintf(stderr,
            "usage: bench_driver TACETTO MINIMAL HOTKEY RUNS PRESSES PAUSE_MS IDLE_SECONDS\n");
    return 2;
  }
  const std::string tacettoPath = argv[1];
  const std::string minimalPath = argv[2];
  const uint32_t hotkey = static_cast<uint32_t>(strtoul(argv[3], nullptr, 10));
  const int runs = atoi(argv[4]);
  const int presses = atoi(argv[5]);
  const DWORD pauseMs = static_cast<DWORD>(strtoul(argv[6], nullptr, 10));
  const int idleSeconds = atoi(argv[7]);

  const Program tacetto = {tacettoPath, "", kTacettoTitle};
  const Program minimal = {minimalPath, "", kMinimalTitle};
  const Program minimalHotkey = {minimalPath, "hotkey " + std::to_string(hotkey), kMinimalTitle};
  const Program minimalBlocking = {minimalPath, "blocking", kMinimalTitle};

  bool ok = MeasureStartup(tacetto, minimal, runs);
  fflush(stdout);
  ok = MeasureHotkey("tacetto", tacetto, hotkey, presses, pauseMs) && ok;
  fflush(stdout);
  ok = MeasureHotkey("minimal", minimalHotkey, hotkey, presses, pauseMs) && ok;
  fflush(stdout);
  ok = MeasureIdle("tacetto", tacetto, idleSeconds) && ok;
  ok = MeasureIdle("minimal", minimal, idleSeconds) && ok;
  ok = MeasureIdle("blocking", minimalBlocking, idleSeconds) && ok;
  fflush(stdout);
  return ok ? 0 : 1;
}
