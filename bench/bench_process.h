// The benchmark driver's view of a program under test: started, found, pressed and measured from
// outside, as a user's desktop sees it; and the Linux process behind it, read through Z:\proc.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

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

double NowMs();
// Starts the program and waits, polling every millisecond, until its window is visible. On
// failure the process, if any, is left to Stop.
bool Start(const Program& program, Running& running);
// The system close command, then a wait for the end; a program that stays is ended.
void Stop(Running& running);

struct ThreadTotals {
  bool found = false;
  double cpuMs = 0;       // time on a CPU
  long long wakeups = 0;  // context switches, voluntary or not
};
// The Linux process that runs a program on this driver's wine prefix, watched from one moment
// to a later one.
struct LinuxWatch {
  unsigned long pid = 0;
  ThreadTotals start;
};
LinuxWatch WatchLinuxProcess(const std::string& path);
// The sums over the process's live threads since the watch began; `found` is false when the
// process could not be read at either moment.
ThreadTotals LinuxTotalsSince(const LinuxWatch& watch);
