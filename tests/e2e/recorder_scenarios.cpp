// Checks of the driver's own footing, run with the mixer probe: the recorder sees the calls and
// results the probe knows it made, and wine keeps no level, neither in the mixer (within one
// process or across two) nor in the capture endpoint, which is why the recorder plays the device.
#include <windows.h>

#include <cstring>
#include <string>

#include "tests/e2e/desktop.h"
#include "tests/e2e/endpoint_methods.h"
#include "tests/e2e/scenario_support.h"
#include "tests/e2e/scenarios.h"

namespace {

constexpr uint32_t kPreset = 40000;
constexpr uint32_t kWritten = 12345;

// Runs the probe without a debugger; returns its exit code, or -1.
long RunPlain(const std::string& probe, const std::string& arguments) {
  std::string line = "\"" + WindowsPath(probe) + "\" " + arguments;
  std::vector<char> mutableLine(line.begin(), line.end());
  mutableLine.push_back('\0');
  STARTUPINFOA startup;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info;
  memset(&info, 0, sizeof info);
  if (!CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return -1;
  }
  CloseHandle(info.hThread);
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(info.hProcess, kStepMs) != WAIT_OBJECT_0) {
    TerminateProcess(info.hProcess, 1);
  } else {
    GetExitCodeProcess(info.hProcess, &code);
  }
  CloseHandle(info.hProcess);
  return static_cast<long>(code);
}

std::string ProbeOutput() {
  std::string text;
  ReadFileBytes("probe.txt", text);
  return text;
}

int RecorderSelfCheck(const std::string& probe) {
  Report report("recorder-self-check");
  DebuggedProcess process;
  if (!StartUnderRecorder(report, process, probe, "cycle " + std::to_string(kWritten), kPreset)) {
    return 1;
  }
  ExpectExit(report, process, 0, kStepMs);
  report.True("breakpoints set in winmm", process.WinmmWatched());
  // What the probe itself read: the preset level, then the level it wrote.
  report.Text("what the probe saw",
              "open 0 line 0 controls 0\n"
              "get 0 40000 set 0 get 0 12345\n"
              "device7 2 lineinput 1024\n",
              ProbeOutput());

  const std::vector<ApiCall> opens = process.CallsOf(Api::kMixerOpen);
  if (report.Number("mixerOpen calls", 2, opens.size())) {
    report.Number("first open: device", 1, opens[0].value);
    report.Number("first open: result", 0, opens[0].result);
    report.Number("second open: device", 7, opens[1].value);
    report.Number("second open: result (bad device)", 2, opens[1].result);
  }
  const std::vector<ApiCall> lines = process.CallsOf(Api::kMixerGetLineInfoA);
  if (report.Number("mixerGetLineInfoA calls", 2, lines.size())) {
    report.Number("microphone line", 0x1003, lines[0].value);
    report.Number("microphone line result", 0, lines[0].result);
    report.Number("line input", 0x1002, lines[1].value);
    report.Number("line input result (no such line)", 1024, lines[1].result);
  }
  const std::vector<ApiCall> reads = process.CallsOf(Api::kMixerGetControlDetailsA);
  if (report.Number("mixerGetControlDetailsA calls", 2, reads.size())) {
    report.Number("first level reported", kPreset, reads[0].value);
    report.Number("second level reported", kWritten, reads[1].value);
  }
  const std::vector<ApiCall> writes = process.CallsOf(Api::kMixerSetControlDetails);
  if (report.Number("mixerSetControlDetails calls", 1, writes.size())) {
    report.Number("level written", kWritten, writes[0].value);
    report.Number("write result", 0, writes[0].result);
  }
  report.Number("mixerClose calls", 1, CountCalls(process, Api::kMixerClose));
  report.Number("level the device keeps", kWritten, process.DeviceLevel());
  report.True("every call returned", [&process] {
    for (const ApiCall& call : process.Calls()) {
      if (!call.returned) {
        return false;
      }
    }
    return true;
  }());
  FinishScenario(report, process);
  return report.Failures();
}

int RecorderEndpointSelfCheck(const std::string& probe) {
  Report report("recorder-endpoint-self-check");
  EndpointMethods methods;
  std::string trouble;
  if (!report.True("endpoint volume methods found in mmdevapi.dll",
                   FindEndpointMethods(methods, trouble), trouble)) {
    return 1;
  }
  DebuggedProcess process;
  process.PlayEndpointVolume(methods);
  if (!StartUnderRecorder(report, process, probe, "endpoint", kPreset)) {
    return 1;
  }
  ExpectExit(report, process, 0, kStepMs);
  // 0.25 is level 16384 (16383.75 rounded).
  report.Text("what the probe saw", "get 0 40000 set 0 get 0 16384\n", ProbeOutput());
  const std::vector<ApiCall> reads = process.CallsOf(Api::kEndpointGetScalar);
  if (report.Number("GetMasterVolumeLevelScalar calls", 2, reads.size())) {
    report.Number("first level reported", kPreset, reads[0].value);
    report.Number("second level reported", 16384, reads[1].value);
  }
  const std::vector<ApiCall> writes = process.CallsOf(Api::kEndpointSetScalar);
  if (report.Number("SetMasterVolumeLevelScalar calls", 1, writes.size())) {
    report.True("scalar written", writes[0].scalar == 0.25f, std::to_string(writes[0].scalar));
  }
  report.Number("level the device keeps", 16384, process.DeviceLevel());
  FinishScenario(report, process);
  return report.Failures();
}

int WineKeepsNoLevel(const std::string& probe) {
  Report report("wine-keeps-no-level");
  // 0xDEAD is what the probe puts in its record before reading: untouched by the mixer.
  report.Number("probe cycle exit code", 0, RunPlain(probe, "cycle 12345"));
  report.Text("read back in the same process",
              "open 0 line 0 controls 0\n"
              "get 0 57005 set 0 get 0 57005\n"
              "device7 2 lineinput 1024\n",
              ProbeOutput());
  report.Number("probe set exit code", 0, RunPlain(probe, "set 23456"));
  report.Text("write accepted", "open 0 line 0 controls 0\nset 0\n", ProbeOutput());
  report.Number("probe get exit code", 0, RunPlain(probe, "get"));
  report.Text("read in another process", "open 0 line 0 controls 0\nget 0 57005\n", ProbeOutput());
  // The capture endpoint reports full scale whatever is written, and refuses the write with
  // E_NOTIMPL (2147500033).
  report.Number("probe endpoint exit code", 0, RunPlain(probe, "endpoint"));
  report.Text("endpoint level read, written, read", "get 0 65535 set 2147500033 get 0 65535\n",
              ProbeOutput());
  return report.Failures();
}

}  // namespace

void AddRecorderScenarios(std::vector<Scenario>& scenarios) {
  scenarios.push_back({"recorder-self-check", &RecorderSelfCheck});
  scenarios.push_back({"recorder-endpoint-self-check", &RecorderEndpointSelfCheck});
  scenarios.push_back({"wine-keeps-no-level", &WineKeepsNoLevel});
}
