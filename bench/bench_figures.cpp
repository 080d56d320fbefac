#include "bench/bench_figures.h"

#include <windows.h>
// after windows.h
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  size_t rank = static_cast<size_t>(fraction * static_cast<double>(values.size()) + 0.999999);
  rank = std::min(std::max<size_t>(rank, 1), values.size());  // nearest rank
  return values[rank - 1];
}

// The subject of turn `turn` among `count` in the order A B C ... C B A.
size_t TurnOf(int turn, size_t count) {
  const size_t at = static_cast<size_t>(turn) % (2 * count);
  return at < count ? at : 2 * count - 1 - at;
}

// Pauses that do not fall into step with the programs' 1 ms polling.
uint32_t NextRandom() {
  static uint32_t state = 12345;
  state = state * 1103515245u + 12345u;
  return state >> 16;
}

double PeakWorkingSetKib(HANDLE process) {
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
  Sleep(kHotkeyReadyMs);
  LevelLabel label = LabelOf(running);
  const LinuxWatch watch = WatchLinuxProcess(subject.program.path);
  std::vector<double> latencies;
  int missed = 0;
  for (int press = 0; press < settings.presses; ++press) {
    std::string shown;
    const double latency = PressHotkey(settings.hotkey, label, shown);
    if (latency >= 0) {
      latencies.push_back(latency);
    } else {
      ++missed;
      fprintf(stderr, "%s %s: round %d, press %d not seen; the label shows \"%s\"\n", path,
              subject.name, round + 1, press + 1, shown.c_str());
    }
    Sleep(settings.pauseMs + NextRandom() % (settings.pauseMs + 1));
  }
  const ThreadTotals spent = LinuxTotalsSince(watch);
  const double peakKib = PeakWorkingSetKib(running.process.hProcess);
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
  out.peaksKib.push_back(PeakWorkingSetKib(running.process.hProcess));
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

}  // namespace

bool MeasureStartup(const char* path, const std::vector<Subject>& subjects, int runs) {
  std::vector<std::vector<double>> times(subjects.size());
  for (int turn = 0; turn < static_cast<int>(subjects.size()) * (runs + 1); ++turn) {
    const size_t s = TurnOf(turn, subjects.size());
    Running running;
    const bool started = Start(subjects[s].program, running);
    Stop(running);
    if (!started) {
      return false;
    }
    if (turn >= static_cast<int>(subjects.size())) {  // the first turns warm the caches up
      times[s].push_back(running.visibleMs - running.startedMs);
    }
  }
  for (size_t s = 0; s < subjects.size(); ++s) {
    std::sort(times[s].begin(), times[s].end());
    printf("startup %s %s %.1f %.1f %.1f\n", path, subjects[s].name, Percentile(times[s], 0.5),
           times[s].front(), times[s].back());
  }
  return true;
}

bool MeasureHotkeys(const char* path, const std::vector<Subject>& subjects,
                    const Settings& settings) {
  std::vector<Presses> presses(subjects.size());
  for (int turn = 0; turn < static_cast<int>(subjects.size()) * settings.rounds; ++turn) {
    const size_t s = TurnOf(turn, subjects.size());
    const int round = turn / static_cast<int>(subjects.size());
    if (!PressRound(path, subjects[s], round, settings, presses[s])) {
      return false;
    }
    fflush(stdout);
  }
  for (size_t s = 0; s < subjects.size(); ++s) {
    const Presses& p = presses[s];
    const char* name = subjects[s].name;
    printf("hotkey %s %s %.2f %.2f %.2f %.2f %d %zu\n", path, name, Percentile(p.p50s, 0.5),
           Percentile(p.p99s, 0.5), Percentile(p.all, 0.99),
           *std::max_element(p.all.begin(), p.all.end()), p.missed, p.all.size());
    printf("latencies %s %s", path, name);
    for (double latency : p.all) {
      printf(" %.2f", latency);
    }
    printf("\nmemory %s %s %.0f\n", path, name, Percentile(p.peaksKib, 0.5));
    printf("presscpu %s %s %.3f\n", path, name, Percentile(p.cpuPerPressMs, 0.5));
  }
  return true;
}

bool MeasureIdle(const char* path, const std::vector<Subject>& subjects, int runs, int seconds) {
  std::vector<Idle> idle(subjects.size());
  for (int turn = 0; turn < static_cast<int>(subjects.size()) * runs; ++turn) {
    const size_t s = TurnOf(turn, subjects.size());
    if (!IdleRun(path, subjects[s], seconds, idle[s])) {
      return false;
    }
    fflush(stdout);
  }
  for (size_t s = 0; s < subjects.size(); ++s) {
    printf("idle %s %s %.1f %.2f %.1f %.0f\n", path, subjects[s].name,
           Percentile(idle[s].cpuMs, 0.5), Percentile(idle[s].wallS, 0.5),
           Percentile(idle[s].wakeupsPerS, 0.5), Percentile(idle[s].peaksKib, 0.5));
  }
  return true;
}
