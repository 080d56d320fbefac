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

// The Linux process that runs `path` on this driver's wine prefix; 0 if none is found.
unsigned long LinuxProcessOf(const std::string& path);
struct ThreadTotals {
  bool found = false;
  double cpuMs = 0;       // time on a CPU
  long long wakeups = 0;  // context switches, voluntary or not
};
// The sums over the Linux process's live threads so far.
ThreadTotals LinuxThreadTotals(unsigned long pid);
