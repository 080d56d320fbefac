#include "bench/bench_process.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "harness/desktop.h"
#include "harness/lock_lights.h"
#include "harness/tacetto_view.h"

namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 10000;
constexpr DWORD kLabelTimeoutMs = 2000;
// The two levels the label takes in turn, as tacetto.cfg of scripts/benchmark.sh sets them.
constexpr int kLevels[2] = {0, 80};

// The top window of the process titled `title`, if any. The title of another process's window
// is read from the system's copy, without a message that a starting program would answer only
// once it takes its messages.
HWND TitledWindowOf(DWORD processId, const std::string& title) {
  for (HWND window : TopWindowsOf(processId)) {
    char text[128] = {};
    if (GetWindowTextA(window, text, sizeof text) > 0 && title == text) {
      return window;
    }
  }
  return nullptr;
}

std::string ProcFolder(unsigned long pid) {
  return "Z:\\proc\\" + std::to_string(pid);
}

// The numeric entries of a /proc folder.
std::vector<unsigned long> NumberedEntries(const std::string& folder) {
  std::vector<unsigned long> numbers;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) {
    return numbers;
  }
  do {
    char* end = nullptr;
    const unsigned long number = strtoul(entry.cFileName, &end, 10);
    if (number != 0 && *end == '\0') {
      numbers.push_back(number);
    }
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return numbers;
}

}  // namespace

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

bool Start(const Program& program, Running& running) {
  running = Running();
  running.startedMs = NowMs();
  if (!StartProgram(program.path, "", running.process, program.arguments)) {
    fprintf(stderr, "cannot start %s (error %lu)\n", program.path.c_str(), GetLastError());
    return false;
  }
  bool ended = false;
  const bool shown = Poll(
      kStartTimeoutMs,
      [&] {
        if (running.window == nullptr) {
          running.window = TitledWindowOf(running.process.dwProcessId, program.title);
        }
        if (running.window != nullptr && IsWindowVisible(running.window)) {
          return true;
        }
        ended = WaitForSingleObject(running.process.hProcess, 0) == WAIT_OBJECT_0;
        return ended;
      },
      1);
  running.visibleMs = NowMs();
  if (!shown || ended) {
    fprintf(stderr, "%s %s: no visible window \"%s\"\n", program.path.c_str(),
            program.arguments.c_str(), program.title.c_str());
    return false;
  }
  return true;
}

void Stop(Running& running) {
  if (running.process.hProcess == nullptr) {
    return;
  }
  if (running.window != nullptr) {
    CloseBySystemCommand(running.window);
  }
  EndProgram(running.process, kExitTimeoutMs);
}

LevelLabel LabelOf(const Running& running) {
  LevelLabel label;
  label.window = GetDlgItem(running.window, kTacettoLabelId);
  return label;
}

double PressHotkey(uint32_t hotkey, LevelLabel& label, std::string& shown, double& lightMs) {
  const std::string wanted = LabelText(kLevels[label.next]);
  const int light = kLevels[label.next] == 0 ? 1 : 0;
  double labelMs = lightMs = -1;
  const double pressed = NowMs();
  TypeHotkey(hotkey);
  auto bothShown = [&] {
    if (lightMs < 0 && LockLight(kLockKey) == light) {
      lightMs = NowMs() - pressed;
    }
    if (labelMs < 0 && (shown = WindowText(label.window)) == wanted) {
      labelMs = NowMs() - pressed;
    }
    return lightMs >= 0 && labelMs >= 0;
  };
  Poll(kLabelTimeoutMs, bothShown, 0);  // again and again, with only a yield in between
  label.next = shown == LabelText(kLevels[0]) ? 1 : 0;  // the next press turns what it shows now
  return labelMs;
}

namespace {

// The Linux process that runs `path` on this driver's wine prefix; 0 if none is found.
unsigned long LinuxProcessOf(const std::string& path) {
  char prefix[1024] = {};
  GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
  const std::string nul(1, '\0');
  const std::string wantedEnvironment = nul + "WINEPREFIX=" + prefix + nul;
  for (unsigned long pid : NumberedEntries("Z:\\proc")) {
    std::string commandLine;
    std::string environment;
    if (ReadFileBytes(ProcFolder(pid) + "\\cmdline", commandLine) &&
        commandLine.compare(0, path.size() + 1, path + nul) == 0 &&
        ReadFileBytes(ProcFolder(pid) + "\\environ", environment) &&
        (nul + environment).find(wantedEnvironment) != std::string::npos) {
      return pid;
    }
  }
  return 0;
}

ThreadTotals LinuxThreadTotals(unsigned long pid) {
  ThreadTotals totals;
  const std::string tasks = ProcFolder(pid) + "\\task";
  for (unsigned long task : NumberedEntries(tasks)) {
    const std::string folder = tasks + "\\" + std::to_string(task);
    std::string status;
    std::string schedule;  // nanoseconds on a CPU, nanoseconds waiting, time slices
    if (!ReadFileBytes(folder + "\\status", status) ||
        !ReadFileBytes(folder + "\\schedstat", schedule)) {
      continue;
    }
    totals.found = true;
    totals.cpuMs += strtod(schedule.c_str(), nullptr) / 1e6;
    for (const char* key : {"\nvoluntary_ctxt_switches:", "\nnonvoluntary_ctxt_switches:"}) {
      const size_t at = status.find(key);
      if (at != std::string::npos) {
        totals.wakeups += strtoll(status.c_str() + at + strlen(key), nullptr, 10);
      }
    }
  }
  return totals;
}

}  // namespace

LinuxWatch WatchLinuxProcess(const std::string& path) {
  LinuxWatch watch;
  watch.pid = LinuxProcessOf(path);
  watch.start = LinuxThreadTotals(watch.pid);
  return watch;
}

ThreadTotals LinuxTotalsSince(const LinuxWatch& watch) {
  ThreadTotals now = LinuxThreadTotals(watch.pid);
  now.found = watch.pid != 0 && watch.start.found && now.found;
  now.cpuMs -= watch.start.cpuMs;
  now.wakeups -= watch.start.wakeups;
  return now;
}
