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
  int changes = 0;  // on the endpoint path, with the sound doubles: changes made elsewhere,
  int replugs = 0;  // and devices plugged in again, shared among the rounds
};

// Process start until the window is visible, `runs` times each after one unscored run.
bool MeasureStartup(const char* path, const std::vector<Subject>& subjects, int runs);
// Hotkey latency until the label and until the light show it, peak memory and CPU time per
// press: `rounds` fresh instances of each, pressed `presses` times, each then taking its share of
// the changes made elsewhere and of the devices plugged in again, timed until the light shows it.
bool MeasureHotkeys(const char* path, const std::vector<Subject>& subjects,
                    const Settings& settings);
// Idle CPU time and wake-ups per second: `runs` times an instance of each subject, all side by
// side, sampled at the same moments, `seconds` samples of a second.
bool MeasureIdle(const char* path, const std::vector<Subject>& subjects, int runs, int seconds);
