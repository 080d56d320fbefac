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

// After the window shows, before the first press: the hotkey is registered right before it.
constexpr DWORD kHotkeyReadyMs = 300;

// The level label of the mute tool's window and of the floor's, and which of its two levels
// ("0%", "80%") a press should show next.
struct LevelLabel {
  HWND window = nullptr;
  int next = 0;
};
LevelLabel LabelOf(const Running& running);
// The lock light of tacetto.cfg of scripts/benchmark.sh: Scroll Lock, on while muted.
constexpr BYTE kLockKey = VK_SCROLL;
// Types the hotkey and reads the label until it shows the next level, and the light (as another
// program reads it) its state, against a deadline. Returns the milliseconds until the label
// showed it, `lightMs` those until the light did, each -1 if it did not; `shown` is the text last
// read, and the level after it is the next one.
double PressHotkey(uint32_t hotkey, LevelLabel& label, std::string& shown, double& lightMs);

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
