// The mute tool where the ground gives way or the keys come fast: wine's own capture endpoint,
// which refuses to set a level, and a burst of hotkey presses on the classic mixer.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/desktop.h"
#include "tests/e2e/endpoint_methods.h"
#include "tests/e2e/scenario_support.h"
#include "tests/e2e/scenarios.h"
#include "tests/e2e/tacetto_expectations.h"

namespace {

constexpr uint64_t kNotImplemented = 0x80004001;  // E_NOTIMPL
constexpr uint32_t kFullScale = 65535;
constexpr uint32_t kEightyPercent = 52428;  // 80 * 65535 / 100

// Writes tacetto.cfg (device 1, microphone, Ctrl+Shift+F9, `volume`, Scroll Lock, not inverted)
// and starts the tool under the recorder as Windows `version` runs it. The endpoint's level
// methods are answered by the recorder with `playEndpoint`, else only watched and left to wine.
bool StartTool(Report& report, DebuggedProcess& process, const std::string& exe,
               const char* version, const std::string& volume, bool playEndpoint) {
  const std::string config =
      "1\r\n1\r\n" + std::to_string(kHotkey) + "\r\n" + volume + "\r\n1\r\n0\r\n";
  if (!report.True("tacetto.cfg written", WriteFileBytes("tacetto.cfg", config)) ||
      !SetWindowsVersion(report, "tacetto.exe", version)) {
    return false;
  }
  EndpointMethods methods;
  std::string trouble;
  if (!report.True("endpoint volume methods found in mmdevapi.dll",
                   FindEndpointMethods(methods, trouble), trouble)) {
    return false;
  }
  if (playEndpoint) {
    process.PlayEndpointVolume(methods);
  } else {
    process.WatchEndpointVolume(methods);
  }
  return StartUnderRecorder(report, process, exe, "", kUntouchedLevel);
}

HWND ExpectToolWindow(Report& report, DebuggedProcess& process) {
  HWND window = WaitForTopWindow(process.ProcessId(), kTacettoTitle, kStartMs);
  if (!report.True("window titled " + Escaped(kTacettoTitle), window != nullptr)) {
    return nullptr;
  }
  report.True("window shown", WaitForVisible(window, kStepMs));
  report.Text("greeting", kTacettoGreeting,
              WaitForItemText(window, kTacettoLabelId, kTacettoGreeting, kStepMs));
  return window;
}

// The recorded calls of the level path as letters, one switch of the tool after another:
// O mixerOpen, L mixerGetLineInfoA, C mixerGetLineControlsA, R mixerGetControlDetailsA,
// W mixerSetControlDetails, X mixerClose, g/s the endpoint's Get/SetMasterVolumeLevelScalar,
// B MessageBoxA.
std::string CallLetters(DebuggedProcess& process) {
  std::string letters;
  for (const ApiCall& call : process.Calls()) {
    switch (call.api) {
      case Api::kMixerOpen:
        letters += 'O';
        break;
      case Api::kMixerGetLineInfoA:
        letters += 'L';
        break;
      case Api::kMixerGetLineControlsA:
        letters += 'C';
        break;
      case Api::kMixerGetControlDetailsA:
        letters += 'R';
        break;
      case Api::kMixerSetControlDetails:
        letters += 'W';
        break;
      case Api::kMixerClose:
        letters += 'X';
        break;
      case Api::kEndpointGetScalar:
        letters += 'g';
        break;
      case Api::kEndpointSetScalar:
        letters += 's';
        break;
      case Api::kMessageBoxA:
        letters += 'B';
        break;
      default:
        break;
    }
  }
  return letters;
}

// Each endpoint call of `api` as "level/result", e.g. "65535/0x0 0/0x80004001".
std::string EndpointCalls(DebuggedProcess& process, Api api) {
  std::string text;
  for (const ApiCall& call : process.CallsOf(api)) {
    if (!text.empty()) {
      text += ' ';
    }
    text += std::to_string(call.value) + "/" + (call.returned ? Hex(call.result) : "(none)");
  }
  return text;
}

// Windows 10 with wine's capture endpoint as it is: the start volume -1 only reads the level,
// which wine reports as full scale; the press then wants to write 0 and wine refuses with
// E_NOTIMPL, shown as the tool's error box; the label shows -1%. Closing tries to restore full
// scale and is refused the same way.
int EndpointRefused(const std::string& exe) {
  Report report("tacetto-win10-endpoint-refused");
  DebuggedProcess process;
  if (!StartTool(report, process, exe, "win10", "-1", false)) {
    return 1;
  }
  const std::string errorText = "error #2147500033 calling setmastervolumelevelscalar()";
  const ExpectedBox errorBox = {"Tacetto", errorText, kMixerErrorStyle, true};
  static_assert(kNotImplemented == 2147500033u, "E_NOTIMPL in decimal");
  HWND window = ExpectToolWindow(report, process);
  report.Number("message boxes at the start", 0, CountCalls(process, Api::kMessageBoxA));
  // Start: the mixer finds the line and its control, then the endpoint is read; nothing written.
  report.Text("calls at the start (O open, L line, C controls, g endpoint read, X close)", "OLCgX",
              CallLetters(process));
  report.Text("endpoint reads at the start (level/result): wine reports full scale", "65535/0x0",
              EndpointCalls(process, Api::kEndpointGetScalar));
  ExpectVolumeOpened(report, process);
  const std::vector<ApiCall> lines = process.CallsOf(Api::kMixerGetLineInfoA);
  if (!lines.empty()) {
    report.Number("mixerGetLineInfoA result", 0, lines[0].result);
  }
  if (window != nullptr) {
    Sleep(kSettleMs);
    TypeHotkey(kHotkey);
    if (ExpectMessageBox(report, process, 0, errorBox, "", window)) {
      report.Text("label after the refused press", VolumeLabel(-1),
                  WaitForItemText(window, kTacettoLabelId, VolumeLabel(-1), kStepMs));
    }
    report.Text("calls up to the press (B message box, s endpoint write)",
                "OLCgX"
                "OLCgsBX",
                CallLetters(process));

    CloseBySystemCommand(window);
    ExpectMessageBox(report, process, 1, errorBox, "", window);
    ExpectExit(report, process, 0, kStepMs);
  }
  report.Text("all calls: start, press, restore at the end",
              "OLCgX"
              "OLCgsBX"
              "OLCgsBX",
              CallLetters(process));
  // The press mutes (0), the end restores the read level (full scale); wine refuses both.
  report.Text("endpoint writes (level/result)", "0/0x80004001 65535/0x80004001",
              EndpointCalls(process, Api::kEndpointSetScalar));
  report.Text("endpoint reads (level/result)", "65535/0x0 65535/0x0 65535/0x0",
              EndpointCalls(process, Api::kEndpointGetScalar));
  report.Number("mixerGetControlDetailsA calls (none on this path)", 0,
                CountCalls(process, Api::kMixerGetControlDetailsA));
  report.Number("mixerSetControlDetails calls (none on this path)", 0,
                CountCalls(process, Api::kMixerSetControlDetails));
  report.Number("mixerClose once per mixerOpen", CountCalls(process, Api::kMixerOpen),
                CountCalls(process, Api::kMixerClose));
  report.Number("message boxes shown", 2, CountCalls(process, Api::kMessageBoxA));
  FinishScenario(report, process);
  return report.Failures();
}

// Windows XP: a burst of presses typed as fast as SendInput takes them, without waiting for the
// tool; then every press that reached it must have switched the level once, alternately to 0
// and back to 80%, and the label and the device must agree with the number of presses.
//
// The tool opens the mixer for every switch. Wine numbers the mixer handles of a process from
// 0x8000 on and never reuses a number: from the 257th mixerOpen on (handle 0x8100) the other
// mixer calls refuse the handle with MMSYSERR_INVALHANDLE (5). The start, the presses and the
// restore at the end must stay within 256 opens. An odd number of presses leaves the microphone
// muted, so that closing has to bring the level back.
int Load(const std::string& exe) {
  constexpr int kPresses = 251;
  static_assert(1 + kPresses + 1 <= 256, "wine's mixer handles of one process");
  constexpr DWORD kHandledWithinMs = 90000;
  constexpr DWORD kQuietMs = 3000;  // no further switch for this long: all that came is handled
  Report report("tacetto-xp-load");
  DebuggedProcess process;
  if (!StartTool(report, process, exe, "winxp64", "80", true)) {
    return 1;
  }
  HWND window = ExpectToolWindow(report, process);
  const size_t startWrites = CountCalls(process, Api::kMixerSetControlDetails);
  const size_t startOpens = CountCalls(process, Api::kMixerOpen);
  report.Number("levels written at the start", 1, startWrites);
  report.Number("mixer opened once at the start", 1, startOpens);
  if (window == nullptr) {
    FinishScenario(report, process);
    return report.Failures();
  }
  Sleep(kSettleMs);

  const ULONGLONG typingStart = GetTickCount64();
  for (int press = 0; press < kPresses; ++press) {
    TypeHotkey(kHotkey);
  }
  const ULONGLONG typed = GetTickCount64();

  // Each press the tool handles opens the mixer once and writes once.
  size_t handled = 0;
  ULONGLONG lastChange = typed;
  const ULONGLONG deadline = typed + kHandledWithinMs;
  for (;;) {
    const size_t now = CountCalls(process, Api::kMixerOpen) - startOpens;
    const ULONGLONG tick = GetTickCount64();
    if (now != handled) {
      handled = now;
      lastChange = tick;
    }
    if (handled >= static_cast<size_t>(kPresses) || tick >= deadline ||
        tick - lastChange >= kQuietMs) {
      break;
    }
    Sleep(50);
  }
  // The last switch may still be between its open and its close.
  process.WaitForCalls(Api::kMixerClose, startOpens + handled, true, kStepMs);
  const ULONGLONG done = GetTickCount64();
  const double typingSeconds = static_cast<double>(typed - typingStart) / 1000.0;
  const double handlingSeconds = static_cast<double>(done - typingStart) / 1000.0;
  char figures[256];
  snprintf(figures, sizeof figures,
           "%d presses typed in %.2f s; %zu reached the tool, handled %.2f s after the first",
           kPresses, typingSeconds, handled, handlingSeconds);
  report.Info(figures);

  report.True("presses reached the tool", handled > 0, std::to_string(handled));
  report.Number("all typed presses reached the tool", static_cast<uint64_t>(kPresses), handled);
  const std::vector<ApiCall> writes = process.CallsOf(Api::kMixerSetControlDetails);
  report.Number("levels written by the presses (one per press that arrived)", handled,
                writes.size() - startWrites);
  // Writes alternate from the start level: 0 after odd presses, 80% after even ones.
  size_t wrongWrites = 0;
  std::string firstWrong;
  for (size_t i = startWrites; i < writes.size(); ++i) {
    const size_t press = i - startWrites + 1;
    const uint32_t expected = press % 2 == 1 ? 0 : kEightyPercent;
    if (writes[i].value != expected || !writes[i].returned || writes[i].result != 0) {
      if (wrongWrites++ == 0) {
        firstWrong = "press " + std::to_string(press) + ": level " +
                     std::to_string(writes[i].value) + ", expected " + std::to_string(expected);
      }
    }
  }
  report.Number("writes out of turn (" + (firstWrong.empty() ? "none" : firstWrong) + ")", 0,
                wrongWrites);
  const bool even = handled % 2 == 0;
  report.Text("label after " + std::to_string(handled) + " presses", VolumeLabel(even ? 80 : 0),
              WaitForItemText(window, kTacettoLabelId, VolumeLabel(even ? 80 : 0), kStepMs));
  report.Number("device level after " + std::to_string(handled) + " presses",
                even ? kEightyPercent : 0, process.DeviceLevel());
  report.Number("message boxes shown", 0, CountCalls(process, Api::kMessageBoxA));

  const size_t beforeClose = writes.size();
  CloseBySystemCommand(window);
  if (process.WaitForCalls(Api::kMixerSetControlDetails, beforeClose + 1, true, kStepMs)) {
    report.Number("level restored at the end", kEightyPercent,
                  process.CallsOf(Api::kMixerSetControlDetails)[beforeClose].value);
  } else {
    report.Fail("level restored at the end", "no mixerSetControlDetails call after closing");
  }
  ExpectExit(report, process, 0, kStepMs);
  report.Number("level the device keeps", kEightyPercent, process.DeviceLevel());
  report.Number("mixerClose once per mixerOpen", CountCalls(process, Api::kMixerOpen),
                CountCalls(process, Api::kMixerClose));
  report.Number(
      "endpoint calls on Windows XP", 0,
      CountCalls(process, Api::kEndpointGetScalar) + CountCalls(process, Api::kEndpointSetScalar));
  FinishScenario(report, process);
  return report.Failures();
}

}  // namespace

void AddStressScenarios(std::vector<Scenario>& scenarios) {
  scenarios.push_back({"tacetto-win10-endpoint-refused", &EndpointRefused});
  scenarios.push_back({"tacetto-xp-load", &Load});
}
