// Steps shared by the scenarios: start a program under the recorder, go through its message
// boxes, wait for its end, and print what was recorded when something failed.
#pragma once

#include <cstdint>
#include <string>

#include "tests/e2e/debugged_process.h"
#include "tests/e2e/report.h"

// Time limits of the single steps, in milliseconds.
constexpr unsigned kStartMs = 15000;
constexpr unsigned kStepMs = 5000;
// Time a window gets after a change of focus before keys are typed.
constexpr unsigned kSettleMs = 150;

struct ExpectedBox {
  std::string caption;
  std::string text;
  uint32_t style;
  bool icon;
};

// The Windows version wine reports to the program of that file name ("winxp64", "win10", ...).
bool SetWindowsVersion(Report& report, const std::string& exeName, const char* version);

// Starts `exe` in the current directory; reports a failure if it does not start.
bool StartUnderRecorder(Report& report, DebuggedProcess& process, const std::string& exe,
                        const std::string& arguments, uint32_t deviceLevel);

// Checks the `index`-th MessageBoxA call (from 0) and the box on the screen, then presses OK.
// With `absentTitle`, also checks the process has no window of that title while the box is up;
// with `beside`, the box is looked for among the process's dialogs other than that window.
bool ExpectMessageBox(Report& report, DebuggedProcess& process, size_t index,
                      const ExpectedBox& expected, const std::string& absentTitle = "",
                      HWND beside = nullptr);

// Waits for the end and checks the exit code; a process still running is ended.
void ExpectExit(Report& report, DebuggedProcess& process, uint32_t exitCode, unsigned timeoutMs);

// Number of calls of `api` that were entered.
size_t CountCalls(DebuggedProcess& process, Api api);

// Checks the recorder had no trouble, and lists the recorded calls if anything failed.
void FinishScenario(Report& report, DebuggedProcess& process);
