// The figures compared with the floor: start-up, hotkey presses and idle cost of programs that take
// turns in the order A B C ... C B A, so that a slow spell of the shared machine falls on all
// alike. Each prints its lines (see bench_driver.cpp) and returns false if a program could not be
// measured.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "bench/bench_process.h"

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

// Process start until the window is visible, `runs` times each after one unscored run.
bool MeasureStartup(const char* path, const std::vector<Subject>& subjects, int runs);
// Hotkey latency, peak memory and CPU time per press: `rounds` fresh instances of each, pressed
// `presses` times.
bool MeasureHotkeys(const char* path, const std::vector<Subject>& subjects,
                    const Settings& settings);
// Idle CPU time and wake-ups: `runs` runs of `seconds` each.
bool MeasureIdle(const char* path, const std::vector<Subject>& subjects, int runs, int seconds);
