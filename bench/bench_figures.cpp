#include "bench/bench_figures.h"

#include <windows.h>
// after windows.h
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "harness/desktop.h"
#include "harness/lock_lights.h"
#include "tests/e2e/doubles/sound_state.h"

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
  std::vector<double> p50s, p99s, lightP50s, lightP99s, peaksKib, cpuPerPressMs;
  std::vector<double> changes, replugs;  // until the light showed them
  int missed = 0, lightsMissed = 0, changesMissed = 0;
};

// The milliseconds from `since` until the light, as the driver's thread reads it, is `light`; -1
// if it is not within 5 s.
double LightShows(int light, double since) {
  const bool shown = Poll(
      5000, [&] { return LockLight(kLockKey) == light; }, 0);
  return shown ? NowMs() - since : -1;
}

// Another program changes the endpoint's mute flag `changes` times, then `replugs` times mutes it,
// takes its device out and plugs it in again: each timed from the change until the light shows it.
void Elsewhere(const Settings& settings, int changes, int replugs, Presses& out) {
  const char* sound = "sound.txt";
  const SoundWaveIn in = LoadSound(sound).waveIns[0];
  bool muted = in.mute;
  for (int change = 0; change < changes + replugs; ++change) {
    const bool replug = change >= changes;
    if (replug) {  // muted elsewhere, then taken out
      ChangeElsewhere(sound, in.id, "- 1");
      LightShows(1, NowMs());
      ChangeSound(sound, [](Sound& now) { now.waveIns[0].plugged = false; });
    }
    const bool ready = LightShows(replug ? 0 : muted, NowMs()) >= 0;  // the state before
    muted = replug || !muted;
    const double changed = NowMs();
    if (replug) {
      ChangeSound(sound, [&](Sound& now) {
        now.waveIns[0].mixer = in.mixer;  // an unplugged wave input belongs to no mixer
        now.waveIns[0].plugged = true;
        ++now.waveIns[0].plug;
      });
    } else {
      ChangeElsewhere(sound, in.id, muted ? "- 1" : "- 0");
    }
    const double ms = ready ? LightShows(muted, changed) : -1;
    out.changesMissed += ms < 0;
    if (ms >= 0) {
      (replug ? out.replugs : out.changes).push_back(ms);
    }
    Sleep(settings.pauseMs + NextRandom() % (settings.pauseMs + 1));
  }
}

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
  std::vector<double> latencies, lights;
  int missed = 0;
  for (int press = 0; press < settings.presses; ++press) {
    std::string shown;
    double light = 0;
    const double latency = PressHotkey(settings.hotkey, label, shown, light);
    out.lightsMissed += light < 0;
    if (light >= 0) {
      lights.push_back(light);
    }
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
  auto share = [&](int all) {
    return all * (round + 1) / settings.rounds - all * round / settings.rounds;
  };
  if (settings.changes + settings.replugs > 0) {
    Elsewhere(settings, share(settings.changes), share(settings.replugs), out);
  }
  Stop(running);
  out.missed += missed;
  if (latencies.empty() || lights.empty()) {
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
  out.lightP50s.push_back(Percentile(lights, 0.50));
  out.lightP99s.push_back(Percentile(lights, 0.99));
  printf("round %s %s %d %.2f %.2f %.2f %d %.3f %.2f %.2f\n", path, subject.name, round + 1, p50,
         p99, *std::max_element(latencies.begin(), latencies.end()), missed, cpuPerPress,
         out.lightP50s.back(), out.lightP99s.back());
  out.all.insert(out.all.end(), latencies.begin(), latencies.end());
  out.p50s.push_back(p50);
  out.p99s.push_back(p99);
  out.peaksKib.push_back(peakKib);
  out.cpuPerPressMs.push_back(cpuPerPress);
  return true;
}

struct Idle {
  double cpuMs = 0, wakeups = 0, seconds = 0;  // summed over the samples
  std::vector<double> peaksKib;
};

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
    printf("light %s %s %.2f %.2f %d\n", path, name, Percentile(p.lightP50s, 0.5),
           Percentile(p.lightP99s, 0.5), p.lightsMissed);
    for (const auto& [kind, times] :
         {std::make_pair("change", p.changes), std::make_pair("replug", p.replugs)}) {
      if (!times.empty()) {  // p50, p99, max of all; changes of either kind not shown
        printf("%s %s %s %.2f %.2f %.2f %d\n", kind, path, name, Percentile(times, 0.5),
               Percentile(times, 0.99), Percentile(times, 1), p.changesMissed);
      }
    }
  }
  return true;
}

bool MeasureIdle(const char* path, const std::vector<Subject>& subjects, int runs, int seconds) {
  const size_t count = subjects.size();
  std::vector<Idle> idle(count);
  bool ok = true;
  for (int run = 0; ok && run < runs; ++run) {
    std::vector<Running> running(count);
    std::vector<LinuxWatch> watches(count);
    // The tool first, as it alone must hold the hotkey; the others in turns.
    for (size_t turn = 0; turn < count; ++turn) {
      const size_t s = turn == 0 ? 0 : 1 + (turn - 1 + static_cast<size_t>(run)) % (count - 1);
      ok = ok && Start(subjects[s].program, running[s]);
    }
    Sleep(1000);  // settling
    for (size_t s = 0; s < count; ++s) {
      watches[s] = WatchLinuxProcess(subjects[s].program.path);
    }
    for (int sample = 0; ok && sample < seconds; ++sample) {
      const double began = NowMs();
      Sleep(1000);
      const double wall = (NowMs() - began) / 1000.0;
      for (size_t s = 0; s < count; ++s) {
        const ThreadTotals spent = LinuxTotalsSince(watches[s]);
        watches[s].start.cpuMs += spent.cpuMs;  // the next sample from here
        watches[s].start.wakeups += spent.wakeups;
        idle[s].cpuMs += spent.cpuMs;
        idle[s].wakeups += static_cast<double>(spent.wakeups);
        idle[s].seconds += wall;
        printf("idlerun %s %s %.1f %.1f\n", path, subjects[s].name, spent.cpuMs / wall,
               static_cast<double>(spent.wakeups) / wall);
        ok = ok && spent.found;
      }
    }
    for (size_t s = 0; s < count; ++s) {
      idle[s].peaksKib.push_back(PeakWorkingSetKib(running[s].process.hProcess));
      Stop(running[s]);
    }
    fflush(stdout);
  }
  for (size_t s = 0; ok && s < count; ++s) {
    printf("idle %s %s %.1f %.1f %.0f\n", path, subjects[s].name, idle[s].cpuMs / idle[s].seconds,
           idle[s].wakeups / idle[s].seconds, Percentile(idle[s].peaksKib, 0.5));
  }
  if (!ok) {
    fprintf(stderr, "%s: the idle programs could not be started or read\n", path);
  }
  return ok;
}
