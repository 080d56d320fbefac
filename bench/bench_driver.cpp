// Measures the mute tool against the floor that does the same platform work (minimal_window.exe
// same), and shows the physical floors (an empty window with the same polling loop, and with a
// blocking one). A console program, built for each architecture and run by scripts/benchmark.sh
// in a folder that holds the tacetto.cfg both programs read.
//
//   bench_driver.exe BIN HOTKEY RUNS ROUNDS PRESSES PAUSE_MS IDLE_SECONDS IDLE_RUNS DOUBLES
//
// BIN holds tacetto.exe and minimal_window.exe; DOUBLES 1 has both use the sound-system test
// doubles (winmm and mmdevapi from the system folder). Each level path is chosen by the Windows
// version the two programs are given (Windows XP: the mixer; otherwise the capture endpoint).
//
// Tool and floor take turns in the order A B B A, so that a slow spell of the shared machine
// falls on both alike; hotkey presses come in ROUNDS rounds of PRESSES, each round a fresh
// instance. Prints one line per figure and exits non-zero if a program could not be measured:
//   startup PATH NAME MEDIAN MIN MAX
//   round PATH NAME ROUND P50 P99 MAX MISSED                     (one instance's presses)
//   hotkey PATH NAME P50 P99 POOLED_P99 MAX MISSED SEEN          (P50, P99: medians of rounds)
//   latencies PATH NAME MS...                                    (every press, in order)
//   memory PATH NAME PEAK_KIB                                    (median of the rounds' peaks)
//   idlerun PATH NAME CPU_MS WALL_S WAKEUPS_PER_S                (one run of IDLE_SECONDS)
//   idle PATH NAME CPU_MS WALL_S WAKEUPS_PER_S PEAK_KIB          (medians of the runs)
// PATH is xp or vista; "-" for the empty window and the blocking loop.
#include <windows.h>
// after windows.h
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_process.h"
#include "tests/e2e/desktop.h"

namespace {

constexpr char kTacettoTitle[] = "Tacetto v0.2alpha by Quorvel";
constexpr char kMinimalTitle[] = "Minimal window";
constexpr int kLabelId = 201;
constexpr DWORD kTextTimeoutMs = 2000;

struct Subject {
  const char* name;
  Program program;
};

struct Settings {
  uint32_t hotkey;
  int rounds;
  int presses;
  DWORD pauseMs;
  int idleSeconds;
  int idleRuns;
};

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  size_t rank = static_cast<size_t>(fraction * static_cast<double>(values.size()) + 0.999999);
  rank = std::min(std::max<size_t>(rank, 1), values.size());  // nearest rank
  return values[rank - 1];
}

// The subject of turn `turn` of a pair in the order A B B A.
size_t TurnOf(int turn, size_t first, size_t second) {
  return (turn % 4 == 1 || turn % 4 == 2) ? second : first;
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

double PeakMemoryKib(HANDLE process) {
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  return GetProcessMemoryInfo(process, &memory, sizeof memory)
             ? static_cast<double>(memory.PeakWorkingSetSize / 1024)
             : 0;
}

struct Presses {
  std::vector<double> all;  // every press seen, in order
  std::vector<double> p50s, p99s, peaksKib, cpuPerPressMs;
  int missed = 0;
};

// One instance: key press injected until the label shows the new level, `presses` times; then
// its peak memory, and the CPU time its Linux process spent per press (its polling included).
bool PressRound(const char* path, const Subject& subject, int round, const Settings& settings,
                Presses& out) {
  Running running;
  if (!Start(subject.program, running)) {
    Stop(running);
    return false;
  }
  Sleep(300);  // the hotkey is registered right before the window shows
  HWND label = GetDlgItem(running.window, kLabelId);
  const LinuxWatch watch = WatchLinuxProcess(subject.program.path);
  const std::string texts[2] = {"Mikrofon/Line-Volume: 0%", "Mikrofon/Line-Volume: 80%"};
  std::vector<double> latencies;
  int missed = 0;
  int expected = 0;
  for (int press = 0; press < settings.presses; ++press) {
    const double pressed = NowMs();
    TypeHotkey(settings.hotkey);
    std::string text;
    do {
      text = WindowText(label);
    } while (text != texts[expected] && NowMs() - pressed < kTextTimeoutMs);
    if (text == texts[expected]) {
      latencies.push_back(NowMs() - pressed);
    } else {
      ++missed;
      fprintf(stderr, "%s %s: round %d, press %d not seen; the label shows \"%s\"\n", path,
              subject.name, round + 1, press + 1, text.c_str());
    }
    expected = (text == texts[0]) ? 1 : 0;  // the next press turns whatever it shows now
    Sleep(settings.pauseMs + NextRandom() % (settings.pauseMs + 1));
  }
  const ThreadTotals spent = LinuxTotalsSince(watch);
  const double peakKib = PeakMemoryKib(running.process.hProcess);
  Stop(running);
  out.missed += missed;
  if (latencies.empty()) {
    fprintf(stderr, "%s %s: no press of round %d was seen\n", path, subject.name, round + 1);
    return false;
  }
  if (!spent.found) {
    fprintf(stderr, "%s %s: no Linux process to read\n", path, subject.name);
    return false;
  }
  const double p50 = Percentile(latencies, 0.50);
  const double p99 = Percentile(latencies, 0.99);
  const double cpuPerPress = spent.cpuMs / settings.presses;
  printf("round %s %s %d %.2f %.2f %.2f %d %.3f\n", path, subject.name, round + 1, p50, p99,
         *std::max_element(latencies.begin(), latencies.end()), missed, cpuPerPress);
  out.all.insert(out.all.end(), latencies.begin(), latencies.end());
  out.p50s.push_back(p50);
  out.p99s.push_back(p99);
  out.peaksKib.push_back(peakKib);
  out.cpuPerPressMs.push_back(cpuPerPress);
  return true;
}

// Hotkey latency and peak memory of tool and floor, in rounds taking turns.
bool MeasureHotkeys(const char* path, const Subject (&pair)[2], const Settings& settings) {
  Presses presses[2];
  for (int turn = 0; turn < 2 * settings.rounds; ++turn) {
    const size_t s = TurnOf(turn, 0, 1);
    if (!PressRound(path, pair[s], turn / 2, settings, presses[s])) {
      return false;
    }
    fflush(stdout);
  }
  for (size_t s = 0; s < 2; ++s) {
    const Presses& p = presses[s];
    printf("hotkey %s %s %.2f %.2f %.2f %.2f %d %zu\n", path, pair[s].name, Percentile(p.p50s, 0.5),
           Percentile(p.p99s, 0.5), Percentile(p.all, 0.99),
           *std::max_element(p.all.begin(), p.all.end()), p.missed, p.all.size());
    printf("latencies %s %s", path, pair[s].name);
    for (double latency : p.all) {
      printf(" %.2f", latency);
    }
    printf("\nmemory %s %s %.0f\n", path, pair[s].name, Percentile(p.peaksKib, 0.5));
    printf("presscpu %s %s %.3f\n", path, pair[s].name, Percentile(p.cpuPerPressMs, 0.5));
  }
  return true;
}

struct Idle {
  std::vector<double> cpuMs, wallS, wakeupsPerS, peaksKib;
};

// Idle cost after a second of settling: CPU time of the Linux process's threads (wine's
// GetProcessTimes reads zero for other processes) and their context switches per second.
bool IdleRun(const char* path, const Subject& subject, int seconds, Idle& out) {
  Running running;
  if (!Start(subject.program, running)) {
    Stop(running);
    return false;
  }
  Sleep(1000);
  const LinuxWatch watch = WatchLinuxProcess(subject.program.path);
  const double wallBefore = NowMs();
  Sleep(static_cast<DWORD>(seconds) * 1000);
  const ThreadTotals spent = LinuxTotalsSince(watch);
  const double wall = (NowMs() - wallBefore) / 1000.0;
  out.peaksKib.push_back(PeakMemoryKib(running.process.hProcess));
  Stop(running);
  if (!spent.found) {
    fprintf(stderr, "%s %s: no Linux process to read\n", path, subject.name);
    return false;
  }
  const double wakeups = static_cast<double>(spent.wakeups) / wall;
  printf("idlerun %s %s %.1f %.2f %.1f\n", path, subject.name, spent.cpuMs, wall, wakeups);
  out.cpuMs.push_back(spent.cpuMs);
  out.wallS.push_back(wall);
  out.wakeupsPerS.push_back(wakeups);
  return true;
}

// Idle runs of a pair, `runs` each, taking turns A B B A; the medians.
bool MeasureIdle(const char* path, const Subject (&pair)[2], int runs, int seconds) {
  Idle idle[2];
  for (int turn = 0; turn < 2 * runs; ++turn) {
    const size_t s = TurnOf(turn, 0, 1);
    if (!IdleRun(path, pair[s], seconds, idle[s])) {
      return false;
    }
    fflush(stdout);
  }
  for (size_t s = 0; s < 2; ++s) {
    printf("idle %s %s %.1f %.2f %.1f %.0f\n", path, pair[s].name, Percentile(idle[s].cpuMs, 0.5),
           Percentile(idle[s].wallS, 0.5), Percentile(idle[s].wakeupsPerS, 0.5),
           Percentile(idle[s].peaksKib, 0.5));
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 10) {
    fprintf(stderr,
            "usage: bench_driver BIN HOTKEY RUNS ROUNDS PRESSES PAUSE_MS IDLE_SECONDS IDLE_RUNS "
            "DOUBLES\n");
    return 2;
  }
  const std::string bin = argv[1];
  const int runs = atoi(argv[3]);
  const Settings settings = {
      static_cast<uint32_t>(strtoul(argv[2], nullptr, 10)), atoi(argv[4]), atoi(argv[5]),
      static_cast<DWORD>(strtoul(argv[6], nullptr, 10)),    atoi(argv[7]), atoi(argv[8])};
  const bool doubles = atoi(argv[9]) != 0;

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
    const Subject pair[2] = {tacetto, same};
    ok = MeasureHotkeys(path, pair, settings) && ok;
    ok = MeasureIdle(path, pair, settings.idleRuns, settings.idleSeconds) && ok;
    if (xp) {  // the physical floors, for information: one run each
      const Subject floors[2] = {empty, blocking};
      ok = MeasureIdle("-", floors, 1, settings.idleSeconds) && ok;
    }
    fflush(stdout);
  }
  for (const char* exe : exes) {
    SetAppDefault(exe, "", "Version", nullptr);
  }
  return ok ? 0 : 1;
}
