// Measures the mute tool against the floor that does the same platform work (minimal_window.exe
// same), the floor against a copy of itself under another name (an A/A comparison: what the
// figures of two equal programs differ by in this run), and shows the physical floors (an empty
// window with the same polling loop, and with a blocking one); then soaks tool and floor on the
// endpoint path. A console program, built for each architecture and run by scripts/benchmark.sh
// in a folder that holds the tacetto.cfg the programs read.
//
//   bench_driver.exe BIN HOTKEY RUNS ROUNDS PRESSES PAUSE_MS IDLE_SECONDS IDLE_RUNS SOAK
//                    CHANGES REPLUGS
//
// BIN holds tacetto.exe and minimal_window.exe; the copy, minimal_copy.exe, is made there. Which
// sound system the programs load (the test doubles or wine's own) is set up by the script. Each
// level path is chosen by the Windows version the programs are given (Windows XP: the mixer;
// otherwise the capture endpoint). SOAK is the number of presses of each soaked instance; 0
// leaves the soak out. CHANGES and REPLUGS, on the endpoint path, for each program: the changes
// made elsewhere and the devices plugged in again (the sound doubles of sound.txt; 0 without).
//
// Tool, floor and copy take turns in the order tool, floor, copy, copy, floor, tool: tool and
// floor alternate A B B A, and so do floor and copy. Hotkey presses come in ROUNDS rounds of
// PRESSES, each round a fresh instance, which then takes its share of the CHANGES and REPLUGS.
// Idle, the three run side by side, IDLE_RUNS times, each sampled for IDLE_SECONDS seconds.
// Prints one line per figure and exits non-zero if a program could not be measured:
//   startup PATH NAME MEDIAN MIN MAX
//   round PATH NAME ROUND P50 P99 MAX MISSED CPU_PER_PRESS LIGHT_P50 LIGHT_P99  (one instance)
//   hotkey PATH NAME P50 P99 POOLED_P99 MAX MISSED SEEN   (until the label; medians of rounds)
//   light PATH NAME P50 P99 MISSED                        (until the light; medians of rounds)
//   latencies PATH NAME MS...                             (every press, in order)
//   memory PATH NAME PEAK_KIB                             (median of the rounds' peaks)
//   presscpu PATH NAME CPU_MS                             (median of the rounds)
//   change|replug PATH NAME P50 P99 MAX MISSED            (to the light; all changes, devices back)
//   idlerun PATH NAME CPU_MS WAKEUPS                      (one sample, per second)
//   idle PATH NAME CPU_MS WAKEUPS PEAK_KIB                (per second over the samples)
//   soak, answer, count                                   (bench_soak.h)
// PATH is xp or vista; "-" for the empty window and the blocking loop (run by the copy's name).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_figures.h"
#include "bench/bench_soak.h"
#include "harness/desktop.h"
#include "harness/lock_lights.h"
#include "harness/tacetto_view.h"

namespace {

constexpr char kMinimalTitle[] = "Minimal window";

}  // namespace

int main(int argc, char** argv) {
  if (argc != 12) {
    fprintf(stderr,
            "usage: bench_driver BIN HOTKEY RUNS ROUNDS PRESSES PAUSE_MS IDLE_SECONDS IDLE_RUNS "
            "SOAK CHANGES REPLUGS\n");
    return 2;
  }
  WatchLockLights();  // before the programs strike the light
  const std::string bin = argv[1];
  const int runs = atoi(argv[3]);
  Settings settings = {
      static_cast<uint32_t>(strtoul(argv[2], nullptr, 10)), atoi(argv[4]), atoi(argv[5]),
      static_cast<DWORD>(strtoul(argv[6], nullptr, 10)),    atoi(argv[7]), atoi(argv[8])};
  const int changes = atoi(argv[10]), replugs = atoi(argv[11]);
  const int soakPresses = atoi(argv[9]);

  // The copy has its own name, so wine gives it its own AppDefaults, as to a program of its own.
  const std::string minimal = bin + "/minimal_window.exe";
  const std::string copy = bin + "/minimal_copy.exe";
  if (!CopyFileA(minimal.c_str(), copy.c_str(), FALSE)) {
    fprintf(stderr, "cannot copy %s to %s (error %lu)\n", minimal.c_str(), copy.c_str(),
            GetLastError());
    return 1;
  }
  const Subject tacetto = {"tacetto", {bin + "/tacetto.exe", "", kTacettoTitle}};
  const Subject same = {"same", {minimal, "same", kMinimalTitle}};
  const Subject twin = {"copy", {copy, "same", kMinimalTitle}};
  const Subject empty = {"empty", {minimal, "", kMinimalTitle}};
  const Subject blocking = {"blocking", {copy, "blocking", kMinimalTitle}};
  const char* const exes[3] = {"tacetto.exe", "minimal_window.exe", "minimal_copy.exe"};

  bool ok = true;
  for (const char* path : {"xp", "vista"}) {
    const bool xp = path[0] == 'x';
    for (const char* exe : exes) {
      SetWindowsVersion(exe, xp);
    }
    // A path the programs cannot take (a message box instead of the window) is left out.
    const std::vector<Subject> compared = {tacetto, same, twin};
    std::vector<Subject> starting = compared;
    if (xp) {
      starting.push_back(empty);
    }
    if (!MeasureStartup(path, starting, runs)) {
      printf("failed %s\n", path);
      ok = false;
      continue;
    }
    fflush(stdout);
    settings.changes = xp ? 0 : changes;  // a change elsewhere and a device back: the endpoint's
    settings.replugs = xp ? 0 : replugs;
    ok = MeasureHotkeys(path, compared, settings) && ok;
    ok = MeasureIdle(path, compared, settings.idleRuns, settings.idleSeconds) && ok;
    if (xp) {  // the physical floors, for information: one run
      ok = MeasureIdle("-", {empty, blocking}, 1, settings.idleSeconds) && ok;
    }
    if (!xp && soakPresses > 0) {  // the endpoint path: Windows 10
      ok = Soak(path, tacetto, settings.hotkey, soakPresses) && ok;
      ok = Soak(path, same, settings.hotkey, soakPresses) && ok;
    }
    fflush(stdout);
  }
  for (const char* exe : exes) {
    SetAppDefault(exe, "Version", nullptr);
  }
  return ok ? 0 : 1;
}
