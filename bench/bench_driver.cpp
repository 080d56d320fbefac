// Measures the mute tool against the floor that does the same platform work (minimal_window.exe
// same), and shows the physical floors (an empty window with the same polling loop, and with a
// blocking one). A console program, built for each architecture and run by scripts/benchmark.sh
// in a folder that holds the tacetto.cfg both programs read.
//
//   bench_driver.exe BIN HOTKEY RUNS PRESSES PAUSE_MS IDLE_SECONDS DOUBLES
//
// BIN holds tacetto.exe and minimal_window.exe; DOUBLES 1 has both use the sound-system test
// doubles (winmm and mmdevapi from the system folder). Each level path is chosen by the Windows
// version the two programs are given (Windows XP: the mixer; otherwise the capture endpoint).
// Prints one line per figure ("startup xp tacetto MEDIAN MIN MAX", "hotkey vista same P50 P99
// MAX MISSED SEEN", "latencies xp tacetto MS...", "memory xp same PEAK_KIB", "idle - blocking
// CPU_MS WALL_S WAKEUPS_PER_S") and exits non-zero if a program could not be measured.
#include <windows.h>
// after windows.h
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_process.h"

namespace {

constexpr char kTacettoTitle[] = "Tacetto v0.2alpha by Quorvel";
constexpr char kMinimalTitle[] = "Minimal window";
constexpr int kLabelId = 201;
constexpr DWORD kTextTimeoutMs = 2000;

struct Subject {
  const char* name;
  Program program;
};

// HKCU\Software\Wine\AppDefaults\<exe>: VALUE set to DATA, or removed when DATA is null.
void SetAppDefault(const char* exe, const char* subkey, const char* value, const char* data) {
  const std::string name = std::string("Software\\Wine\\AppDefaults\\") + exe + subkey;
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, name.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  if (data == nullptr) {
    RegDeleteValueA(key, value);
  } else {
    RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                   static_cast<DWORD>(strlen(data) + 1));
  }
  RegCloseKey(key);
}

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  size_t rank = static_cast<size_t>(fraction * static_cast<double>(values.size()) + 0.999999);
  rank = std::min(std::max<size_t>(rank, 1), values.size());  // nearest rank
  return values[rank - 1];
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

// Pauses that do not fall into step with the programs' 1 ms polling.
uint32_t NextRandom() {
  static uint32_t state = 12345;
  state = state * 1103515245u + 12345u;
  return state >> 16;
}

// Start-up: process start until the window is visible, the programs taking turns.
bool MeasureStartup(const char* path, const std::vector<Subject>& subjects, int runs) {
  std::vector<std::vector<double>> times(subjects.size());
  for (int run = -1; run < runs; ++run) {  // run -1 warms the caches up and is not counted
    for (size_t s = 0; s < subjects.size(); ++s) {
      Running running;
      const bool started = Start(subjects[s].program, running);
      Stop(running);
      if (!started) {
        return false;
      }
      if (run >= 0) {
        times[s].push_back(running.visibleMs - running.startedMs);
      }
    }
  }
  for (size_t s = 0; s < subjects.size(); ++s) {
    std::sort(times[s].begin(), times[s].end());
    printf("startup %s %s %.1f %.1f %.1f\n", path, subjects[s].name, Percentile(times[s], 0.5),
           times[s].front(), times[s].back());
  }
  return true;
}

void PrintPeakMemory(const char* path, const char* name, HANDLE process) {
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process, &memory, sizeof memory)) {
    printf("memory %s %s %lu\n", path, name,
           static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024));
  }
}

// Hotkey latency: key press injected until the label shows the new level; then peak memory.
bool MeasureHotkey(const char* path, const Subject& subject, uint32_t hotkey, int presses,
                   DWORD pauseMs) {
  Running running;
  if (!Start(subject.program, running)) {
    Stop(running);
    return false;
  }
  Sleep(300);  // the hotkey is registered right before the window shows
  HWND label = GetDlgItem(running.window, kLabelId);
  const std::string texts[2] = {"Mikrofon/Line-Volume: 0%", "Mikrofon/Line-Volume: 80%"};
  std::vector<double> latencies;
  int missed = 0;
  int expected = 0;
  for (int press = 0; press < presses; ++press) {
    const double pressed = NowMs();
    TypeHotkey(hotkey);
    std::string text;
    do {
      text = ItemText(label);
    } while (text != texts[expected] && NowMs() - pressed < kTextTimeoutMs);
    if (text == texts[expected]) {
      latencies.push_back(NowMs() - pressed);
    } else {
      ++missed;
      fprintf(stderr, "%s %s: press %d not seen; the label shows \"%s\"\n", path, subject.name,
              press + 1, text.c_str());
    }
    expected = (text == texts[0]) ? 1 : 0;  // the next press turns whatever it shows now
    Sleep(pauseMs + NextRandom() % (pauseMs + 1));
  }
  PrintPeakMemory(path, subject.name, running.process.hProcess);
  Stop(running);
  if (latencies.empty()) {
    fprintf(stderr, "%s %s: no press was seen\n", path, subject.name);
    return false;
  }
  printf("hotkey %s %s %.2f %.2f %.2f %d %zu\n", path, subject.name, Percentile(latencies, 0.50),
         Percentile(latencies, 0.99), *std::max_element(latencies.begin(), latencies.end()), missed,
         latencies.size());
  printf("latencies %s %s", path, subject.name);
  for (double latency : latencies) {
    printf(" %.2f", latency);
  }
  printf("\n");
  return true;
}

// Idle cost after a second of settling: CPU time of the Linux process's threads (wine's
// GetProcessTimes reads zero for other processes) and their context switches per second.
bool MeasureIdle(const char* path, const Subject& subject, int seconds, bool withMemory) {
  Running running;
  if (!Start(subject.program, running)) {
    Stop(running);
    return false;
  }
  Sleep(1000);
  const unsigned long pid = LinuxProcessOf(subject.program.path);
  const ThreadTotals before = LinuxThreadTotals(pid);
  const double wallBefore = NowMs();
  Sleep(static_cast<DWORD>(seconds) * 1000);
  const ThreadTotals after = LinuxThreadTotals(pid);
  const double wall = (NowMs() - wallBefore) / 1000.0;
  if (withMemory) {
    PrintPeakMemory(path, subject.name, running.process.hProcess);
  }
  Stop(running);
  if (pid == 0 || !before.found || !after.found) {
    fprintf(stderr, "%s %s: no Linux process to read\n", path, subject.name);
    return false;
  }
  printf("idle %s %s %.1f %.2f %.1f\n", path, subject.name, after.cpuMs - before.cpuMs, wall,
         static_cast<double>(after.wakeups - before.wakeups) / wall);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 8) {
    fprintf(stderr, "usage: bench_driver BIN HOTKEY RUNS PRESSES PAUSE_MS IDLE_SECONDS DOUBLES\n");
    return 2;
  }
  const std::string bin = argv[1];
  const uint32_t hotkey = static_cast<uint32_t>(strtoul(argv[2], nullptr, 10));
  const int runs = atoi(argv[3]);
  const int presses = atoi(argv[4]);
  const DWORD pauseMs = static_cast<DWORD>(strtoul(argv[5], nullptr, 10));
  const int idleSeconds = atoi(argv[6]);
  const bool doubles = atoi(argv[7]) != 0;

  const std::string minimal = bin + "/minimal_window.exe";
  const Subject tacetto = {"tacetto", {bin + "/tacetto.exe", "", kTacettoTitle}};
  const Subject same = {"same", {minimal, "same", kMinimalTitle}};
  const Subject empty = {"empty", {minimal, "", kMinimalTitle}};
  const Subject blocking = {"blocking", {minimal, "blocking", kMinimalTitle}};
  const char* const exes[2] = {"tacetto.exe", "minimal_window.exe"};
  for (const char* exe : exes) {
    SetAppDefault(exe, "\\DllOverrides", "winmm", doubles ? "native" : nullptr);
    SetAppDefault(exe, "\\DllOverrides", "mmdevapi", doubles ? "native" : nullptr);
  }

  bool ok = true;
  for (const char* path : {"xp", "vista"}) {
    const bool xp = path[0] == 'x';
    for (const char* exe : exes) {
      SetAppDefault(exe, "", "Version", xp ? (sizeof(void*) == 8 ? "winxp64" : "winxp") : nullptr);
    }
    // A path the programs cannot take (a message box instead of the window) is left out.
    std::vector<Subject> starting = {tacetto, same};
    if (xp) {
      starting.push_back(empty);
    }
    if (!MeasureStartup(path, starting, runs)) {
      printf("failed %s\n", path);
      ok = false;
      continue;
    }
    fflush(stdout);
    ok = MeasureHotkey(path, tacetto, hotkey, presses, pauseMs) && ok;
    ok = MeasureHotkey(path, same, hotkey, presses, pauseMs) && ok;
    fflush(stdout);
    ok = MeasureIdle(path, tacetto, idleSeconds, false) && ok;
    ok = MeasureIdle(path, same, idleSeconds, false) && ok;
    if (xp) {
      ok = MeasureIdle("-", empty, idleSeconds, true) && ok;
      ok = MeasureIdle("-", blocking, idleSeconds, false) && ok;
    }
    fflush(stdout);
  }
  for (const char* exe : exes) {
    SetAppDefault(exe, "", "Version", nullptr);
  }
  return ok ? 0 : 1;
}
