#include "tests/e2e/scenario_support.h"

#include <windows.h>

#include <cstring>

#include "tests/e2e/desktop.h"
#include "tests/e2e/tacetto_expectations.h"

bool SetWindowsVersion(Report& report, const std::string& exeName, const char* version) {
  const std::string keyName = "Software\\Wine\\AppDefaults\\" + exeName;
  HKEY key = nullptr;
  bool ok = RegCreateKeyExA(HKEY_CURRENT_USER, keyName.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr) == ERROR_SUCCESS;
  if (ok) {
    ok = RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                        static_cast<DWORD>(strlen(version) + 1)) == ERROR_SUCCESS;
    RegCloseKey(key);
  }
  return report.True(std::string("wine reports Windows version ") + version + " to " + exeName, ok);
}

bool StartUnderRecorder(Report& report, DebuggedProcess& process, const std::string& exe,
                        const std::string& arguments, uint32_t deviceLevel) {
  const bool started = process.Start(WindowsPath(exe), arguments, CurrentDirectory(), deviceLevel);
  return report.True("program starts under the recorder", started,
                     started ? WindowsPath(exe) : process.Trouble());
}

bool ExpectMessageBox(Report& report, DebuggedProcess& process, size_t index,
                      const ExpectedBox& expected, const std::string& absentTitle, HWND beside) {
  const std::string which = "message box " + std::to_string(index + 1);
  if (!process.WaitForCalls(Api::kMessageBoxA, index + 1, false, kStepMs)) {
    report.Fail(which + " is called", "MessageBoxA was called " +
                                          std::to_string(CountCalls(process, Api::kMessageBoxA)) +
                                          " times");
    return false;
  }
  const ApiCall call = process.CallsOf(Api::kMessageBoxA)[index];
  report.Text(which + " caption given to MessageBoxA", expected.caption, call.caption);
  report.Text(which + " text given to MessageBoxA", expected.text, call.text);
  report.Number(which + " style given to MessageBoxA (" + Hex(expected.style) + ")", expected.style,
                call.value);

  MessageBoxView view;
  if (!WaitForMessageBoxBeside(process.ProcessId(), beside, kStepMs, view)) {
    report.Fail(which + " is on the screen", "no dialog window appeared");
    return false;
  }
  report.Text(which + " caption shown", expected.caption, view.caption);
  report.Text(which + " text shown", expected.text, view.text);
  report.True(which + (expected.icon ? " shows an icon" : " shows no icon"),
              view.icon == expected.icon);
  report.Text(which + " buttons", "OK", view.buttons.size() == 1 ? view.buttons[0] : "");
  if (!absentTitle.empty()) {
    report.True("no window " + Escaped(absentTitle) + " while " + which + " is up",
                FindTopWindow(process.ProcessId(), absentTitle) == nullptr);
  }
  if (!report.True(which + " closes on OK", ConfirmMessageBox(view.box, kStepMs))) {
    return false;
  }
  return true;
}

void ExpectExit(Report& report, DebuggedProcess& process, uint32_t exitCode, unsigned timeoutMs) {
  if (!process.WaitForExit(timeoutMs)) {
    report.Fail("program ends",
                "still running after " + std::to_string(timeoutMs) + " ms: ended by the driver");
    process.Kill();
    return;
  }
  report.Number("exit code", exitCode, process.ExitCode());
}

size_t CountCalls(DebuggedProcess& process, Api api) {
  return process.CallsOf(api).size();
}

void FinishScenario(Report& report, DebuggedProcess& process) {
  if (!process.Exited()) {
    process.Kill();
  }
  const std::string trouble = process.Trouble();
  report.True("recorder worked without trouble", trouble.empty(), trouble);
  if (report.Failures() == 0) {
    return;
  }
  report.Info("recorded calls:");
  for (const ApiCall& call : process.Calls()) {
    std::string line =
        std::string("  ") + ApiName(call.api) + " value=" + std::to_string(call.value) +
        " result=" + (call.returned ? std::to_string(call.result) : std::string("(none)"));
    if (call.api == Api::kMessageBoxA) {
      line += " caption=" + Escaped(call.caption) + " text=" + Escaped(call.text);
    }
    report.Info(line);
  }
}

void ExpectVolumeOpened(Report& report, DebuggedProcess& process) {
  const std::vector<ApiCall> opens = process.CallsOf(Api::kMixerOpen);
  if (report.True("mixer opened", !opens.empty())) {
    report.Number("mixerOpen device", 1, opens[0].value);
    report.Number("mixerOpen result", 0, opens[0].result);
  }
  const std::vector<ApiCall> lines = process.CallsOf(Api::kMixerGetLineInfoA);
  if (report.True("line looked up", !lines.empty())) {
    report.Number("line asked for (microphone " + Hex(kMicrophone) + ")", kMicrophone,
                  lines[0].value);
  }
}
