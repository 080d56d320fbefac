// The mute tool from outside: its configuration file, its message boxes, its window and the
// levels it writes. The tool sets the level through the mixer up to Windows XP and through the
// capture endpoint's volume from Windows Vista on; wine reports the version we ask for, so both
// ways run: the "-xp" scenarios as Windows XP, the others as Windows 10.
#include <windows.h>

#include <string>

#include "tests/e2e/desktop.h"
#include "tests/e2e/endpoint_methods.h"
#include "tests/e2e/scenario_support.h"
#include "tests/e2e/scenarios.h"
#include "tests/e2e/tacetto_expectations.h"

namespace {

const char kHotkeyLine[] = "1656";

constexpr uint32_t kNoticeStyle = 0x12000;  // MB_OK | MB_TASKMODAL | MB_SETFOREGROUND
constexpr uint32_t kLineInput = 0x1002;     // MIXERLINE_COMPONENTTYPE_SRC_LINE
constexpr uint64_t kBadDevice = 2;          // MMSYSERR_BADDEVICEID
constexpr uint64_t kNoSuchLine = 1024;      // MIXERR_INVALLINE

// Which way the tool sets the level: decided by the Windows version it sees.
struct LevelPath {
  const char* windowsVersion;
  Api write;
  Api read;
};
const LevelPath kMixerPath = {"winxp64", Api::kMixerSetControlDetails,
                              Api::kMixerGetControlDetailsA};
const LevelPath kEndpointPath = {"win10", Api::kEndpointSetScalar, Api::kEndpointGetScalar};

const ExpectedBox kDeviceListBox = {"Veltrane",
                                    "Bitte eine der Folgenden Device-Nummern ins CFG eintragen!"
                                    "\r\n- Device #0: Out: default"
                                    "\r\n- Device #1: In: default",
                                    kNoticeStyle, false};
const ExpectedBox kHotkeyHintBox = {
    "Veltrane", "Bitte tastrel.exe starten und die Hotkey-Nummer ins Config-File schreiben!",
    kNoticeStyle, false};
const ExpectedBox kHotkeyTakenBox = {"Veltrane", "Hotkey bereits belegt!", kNoticeStyle, false};

// The six lines of tacetto.cfg, each ended by CR LF; Num Lock, not inverted, unless told.
std::string ConfigText(const std::string& device, const std::string& line,
                       const std::string& hotkey, const std::string& volume,
                       const std::string& lockKey = "0", const std::string& invert = "0") {
  return device + "\r\n" + line + "\r\n" + hotkey + "\r\n" + volume + "\r\n" + lockKey + "\r\n" +
         invert + "\r\n";
}

bool WriteConfig(Report& report, const std::string& text) {
  return report.True("tacetto.cfg written", WriteFileBytes("tacetto.cfg", text));
}

// Starts the tool as the given Windows version would run it, with the device preset to `level`.
bool StartTool(Report& report, DebuggedProcess& process, const std::string& exe,
               const LevelPath& path, uint32_t level) {
  if (!SetWindowsVersion(report, "tacetto.exe", path.windowsVersion)) {
    return false;
  }
  // Watched whichever way is expected, so that a call of the other way shows.
  EndpointMethods methods;
  std::string trouble;
  if (!report.True("endpoint volume methods found in mmdevapi.dll",
                   FindEndpointMethods(methods, trouble), trouble)) {
    return false;
  }
  process.PlayEndpointVolume(methods);
  return StartUnderRecorder(report, process, exe, "", level);
}

// The notice boxes of an incomplete configuration: the program ends without using the mixer
// for anything but the device list and without a window.
int IncompleteConfig(const std::string& scenario, const std::string& exe, bool writeFile,
                     const std::string& config, bool deviceBox, bool hotkeyBox) {
  Report report(scenario);
  if (writeFile && !WriteConfig(report, config)) {
    return 1;
  }
  DebuggedProcess process;
  if (!StartTool(report, process, exe, kEndpointPath, kUntouchedLevel)) {
    return 1;
  }
  size_t box = 0;
  bool ok = true;
  if (deviceBox) {
    ok = ExpectMessageBox(report, process, box++, kDeviceListBox, kTacettoTitle);
  }
  if (ok && hotkeyBox) {
    ok = ExpectMessageBox(report, process, box++, kHotkeyHintBox, kTacettoTitle);
  }
  ExpectExit(report, process, 0, kStepMs);
  report.Number("message boxes shown", box, CountCalls(process, Api::kMessageBoxA));
  report.Number("mixerOpen calls", 0, CountCalls(process, Api::kMixerOpen));
  report.Number("levels written", 0,
                CountCalls(process, Api::kMixerSetControlDetails) +
                    CountCalls(process, Api::kEndpointSetScalar));
  report.Number("hotkey registrations", 0, CountCalls(process, Api::kRegisterHotKey));
  if (deviceBox) {
    report.True("devices counted for the list", CountCalls(process, Api::kMixerGetNumDevs) > 0);
  }
  FinishScenario(report, process);
  return report.Failures();
}

// A mixer error box: the program ends after it with exit code 0 and without a window.
int MixerError(const std::string& scenario, const std::string& exe, const std::string& config,
               const std::string& boxText, Api failing, uint32_t failingValue,
               uint64_t failingResult) {
  Report report(scenario);
  if (!WriteConfig(report, config)) {
    return 1;
  }
  DebuggedProcess process;
  if (!StartTool(report, process, exe, kEndpointPath, kUntouchedLevel)) {
    return 1;
  }
  if (process.WaitForCalls(failing, 1, true, kStartMs)) {
    const ApiCall call = process.CallsOf(failing)[0];
    report.Number(std::string(ApiName(failing)) + " argument", failingValue, call.value);
    report.Number(std::string(ApiName(failing)) + " result", failingResult, call.result);
  } else {
    report.Fail(std::string(ApiName(failing)) + " is called", "no returned call recorded");
  }
  ExpectMessageBox(report, process, 0, {"Tacetto", boxText, kMixerErrorStyle, true}, kTacettoTitle);
  ExpectExit(report, process, 0, kStepMs);
  report.Number("message boxes shown", 1, CountCalls(process, Api::kMessageBoxA));
  report.Number("levels written", 0,
                CountCalls(process, Api::kMixerSetControlDetails) +
                    CountCalls(process, Api::kEndpointSetScalar));
  report.Number("hotkey registrations", 0, CountCalls(process, Api::kRegisterHotKey));
  FinishScenario(report, process);
  return report.Failures();
}

// Waits for the tool window and checks its title, styles and greeting.
HWND ExpectToolWindow(Report& report, DebuggedProcess& process) {
  HWND window = WaitForTopWindow(process.ProcessId(), kTacettoTitle, kStartMs);
  if (!report.True("window titled " + Escaped(kTacettoTitle), window != nullptr)) {
    return nullptr;
  }
  report.True("window shown", WaitForVisible(window, kStepMs));
  const uint64_t exStyle = static_cast<uint64_t>(GetWindowLongPtrA(window, GWL_EXSTYLE));
  report.Number("WS_EX_TOPMOST | WS_EX_TOOLWINDOW set (ex style " + Hex(exStyle) + ")", 0x88,
                exStyle & 0x88);
  HWND label = GetDlgItem(window, kTacettoLabelId);
  if (report.True("Static child 201", label != nullptr && ClassOf(label) == "Static",
                  label != nullptr ? ClassOf(label) : "none")) {
    report.Text("greeting", kTacettoGreeting, WindowText(label));
  }
  return window;
}

// Types the hotkey and checks the level it writes and the label that follows.
void PressHotkey(Report& report, DebuggedProcess& process, const LevelPath& path, HWND window,
                 int press, uint32_t level, int percent) {
  const std::string which = "press " + std::to_string(press);
  const size_t before = CountCalls(process, path.write);
  Sleep(kSettleMs);
  TypeHotkey(kHotkey);
  if (!process.WaitForCalls(path.write, before + 1, true, kStepMs)) {
    report.Fail(which + " writes a level", std::string("no ") + ApiName(path.write) + " call");
    return;
  }
  const ApiCall call = process.CallsOf(path.write)[before];
  report.Number(which + " level written", level, call.value);
  report.Number(which + " write result", 0, call.result);
  report.Text(which + " label", VolumeLabel(percent),
              WaitForItemText(window, kTacettoLabelId, VolumeLabel(percent), kStepMs));
}

// Closes the window and checks the level restored on the way out.
void CloseAndExpectRestore(Report& report, DebuggedProcess& process, const LevelPath& path,
                           HWND window, uint32_t level) {
  const size_t before = CountCalls(process, path.write);
  CloseBySystemCommand(window);
  if (process.WaitForCalls(path.write, before + 1, true, kStepMs)) {
    report.Number("level restored at the end", level, process.CallsOf(path.write)[before].value);
  } else {
    report.Fail("level restored at the end",
                std::string("no ") + ApiName(path.write) + " call after closing");
  }
  ExpectExit(report, process, 0, kStepMs);
  report.Number("level the device keeps", level, process.DeviceLevel());
}

// Only the calls of the chosen way: the other one stays untouched.
void ExpectOnlyPath(Report& report, DebuggedProcess& process, const LevelPath& path) {
  const LevelPath& other = path.write == kMixerPath.write ? kEndpointPath : kMixerPath;
  report.Number(std::string("calls of ") + ApiName(other.write), 0,
                CountCalls(process, other.write));
  report.Number(std::string("calls of ") + ApiName(other.read), 0, CountCalls(process, other.read));
}

void ExpectHotkeyRegistration(Report& report, DebuggedProcess& process, bool granted) {
  const std::vector<ApiCall> registrations = process.CallsOf(Api::kRegisterHotKey);
  if (report.Number("hotkey registrations", 1, registrations.size())) {
    report.Number("hotkey registered (modifiers * 256 + key)", kHotkey, registrations[0].value);
    report.True(granted ? "registration granted" : "registration refused",
                (registrations[0].result != 0) == granted,
                "RegisterHotKey returned " + std::to_string(registrations[0].result));
  }
}

int NoFile(const std::string& exe) {
  return IncompleteConfig("tacetto-no-file", exe, false, "", true, true);
}

int DeviceMissing(const std::string& exe) {
  return IncompleteConfig("tacetto-device-missing", exe, true,
                          ConfigText("", "1", kHotkeyLine, "80"), true, false);
}

int HotkeyMissing(const std::string& exe) {
  return IncompleteConfig("tacetto-hotkey-missing", exe, true, ConfigText("1", "1", "", "80"),
                          false, true);
}

int WrongDevice(const std::string& exe) {
  return MixerError("tacetto-wrong-device", exe, ConfigText("7", "1", kHotkeyLine, "80"),
                    "error #2 calling mixeropen()", Api::kMixerOpen, 7, kBadDevice);
}

int LineInput(const std::string& exe) {
  return MixerError("tacetto-line-input", exe, ConfigText("1", "0", kHotkeyLine, "80"),
                    "error #1024 calling mixergetlineinfo()", Api::kMixerGetLineInfoA, kLineInput,
                    kNoSuchLine);
}

// Start volume 80: written at the start, muted and unmuted by the hotkey, restored at the end
// even when the window is closed while muted.
// The lock key the tool strikes with each level is not checked: wine keeps no lock state.
int MuteAndRestore(const std::string& scenario, const std::string& exe, const LevelPath& path,
                   const std::string& lockKey = "0", const std::string& invert = "0") {
  Report report(scenario);
  if (!WriteConfig(report, ConfigText("1", "1", kHotkeyLine, "80", lockKey, invert))) {
    return 1;
  }
  DebuggedProcess process;
  if (!StartTool(report, process, exe, path, kUntouchedLevel)) {
    return 1;
  }
  HWND window = ExpectToolWindow(report, process);
  ExpectVolumeOpened(report, process);
  ExpectHotkeyRegistration(report, process, true);
  const std::vector<ApiCall> startWrites = process.CallsOf(path.write);
  if (report.Number("levels written at the start", 1, startWrites.size())) {
    report.Number("start level (80%)", 52428, startWrites[0].value);
  }
  report.Number("message boxes shown", 0, CountCalls(process, Api::kMessageBoxA));
  if (window != nullptr) {
    PressHotkey(report, process, path, window, 1, 0, 0);
    PressHotkey(report, process, path, window, 2, 52428, 80);
    PressHotkey(report, process, path, window, 3, 0, 0);
    CloseAndExpectRestore(report, process, path, window, 52428);
  }
  report.Number("mixer closed after each use", CountCalls(process, Api::kMixerOpen),
                CountCalls(process, Api::kMixerClose));
  ExpectOnlyPath(report, process, path);
  FinishScenario(report, process);
  return report.Failures();
}

// Start volume -1: the level the device has (`preset`) is read, not written, and its percentage
// is the unmuted level: `percent`, written back as `level`.
int KeepLevel(const std::string& scenario, const std::string& exe, const LevelPath& path,
              uint32_t preset, int percent, uint32_t level) {
  Report report(scenario);
  if (!WriteConfig(report, ConfigText("1", "1", kHotkeyLine, "-1"))) {
    return 1;
  }
  DebuggedProcess process;
  if (!StartTool(report, process, exe, path, preset)) {
    return 1;
  }
  HWND window = ExpectToolWindow(report, process);
  ExpectVolumeOpened(report, process);
  const std::vector<ApiCall> reads = process.CallsOf(path.read);
  if (report.True("level read at the start", !reads.empty())) {
    report.Number("level reported to the program", preset, reads[0].value);
  }
  report.Number("levels written at the start", 0, CountCalls(process, path.write));
  if (window != nullptr) {
    PressHotkey(report, process, path, window, 1, 0, 0);
    PressHotkey(report, process, path, window, 2, level, percent);
    CloseAndExpectRestore(report, process, path, window, level);
  }
  ExpectOnlyPath(report, process, path);
  FinishScenario(report, process);
  return report.Failures();
}

// Another program holds the combination: the notice comes before the window, and the window
// then only shows the level, whatever is pressed.
int HotkeyTaken(const std::string& scenario, const std::string& exe, const LevelPath& path) {
  Report report(scenario);
  if (!WriteConfig(report, ConfigText("1", "1", kHotkeyLine, "80"))) {
    return 1;
  }
  constexpr int kOurId = 0x7E57;
  if (!report.True("driver holds the hotkey",
                   RegisterHotKey(nullptr, kOurId, MOD_CONTROL | MOD_SHIFT, VK_F9) != FALSE)) {
    return 1;
  }
  DebuggedProcess process;
  if (!StartTool(report, process, exe, path, kUntouchedLevel)) {
    UnregisterHotKey(nullptr, kOurId);
    return 1;
  }
  if (process.WaitForCalls(Api::kMessageBoxA, 1, false, kStartMs)) {
    HWND early = FindTopWindow(process.ProcessId(), kTacettoTitle);
    report.True("window not shown before the notice is confirmed",
                early == nullptr || !IsWindowVisible(early));
  }
  ExpectMessageBox(report, process, 0, kHotkeyTakenBox);
  ExpectHotkeyRegistration(report, process, false);
  HWND window = ExpectToolWindow(report, process);
  if (window != nullptr) {
    const size_t writes = CountCalls(process, path.write);
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE)) {
    }
    Sleep(kSettleMs);
    TypeHotkey(kHotkey);
    bool delivered = false;
    const ULONGLONG deadline = GetTickCount64() + kStepMs;
    while (!delivered && GetTickCount64() < deadline) {
      delivered = PeekMessageA(&message, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE) != FALSE &&
                  message.wParam == static_cast<WPARAM>(kOurId);
      Sleep(20);
    }
    report.True("the press reached the holder of the hotkey", delivered);
    Sleep(500);
    report.Number("levels written by the press", 0, CountCalls(process, path.write) - writes);
    report.Text("label after the press", kTacettoGreeting,
                WindowText(GetDlgItem(window, kTacettoLabelId)));
    CloseAndExpectRestore(report, process, path, window, 52428);
  }
  UnregisterHotKey(nullptr, kOurId);
  FinishScenario(report, process);
  return report.Failures();
}

int MuteAndRestoreEndpoint(const std::string& exe) {
  return MuteAndRestore("tacetto-mute-and-restore", exe, kEndpointPath);
}
int MuteAndRestoreMixer(const std::string& exe) {
  return MuteAndRestore("tacetto-xp-mute-and-restore", exe, kMixerPath);
}
int MuteAndRestoreScrollLockInverted(const std::string& exe) {
  return MuteAndRestore("tacetto-scroll-lock-inverted", exe, kEndpointPath, "1", "1");
}
// 32768 is 50.0008%: 50%, written back as 50 * 65535 / 100 = 32767.
int KeepLevelEndpoint(const std::string& exe) {
  return KeepLevel("tacetto-keep-level", exe, kEndpointPath, 32768, 50, 32767);
}
int KeepLevelMixer(const std::string& exe) {
  return KeepLevel("tacetto-xp-keep-level", exe, kMixerPath, 32768, 50, 32767);
}
// 33098 is 50.504%: the percentage adds 0.49 before it drops the fraction, so 50%, not 51%.
int KeepLevelRounding(const std::string& exe) {
  return KeepLevel("tacetto-keep-level-rounding", exe, kEndpointPath, 33098, 50, 32767);
}
// 33424 is 51.002%: 51%, written back as 51 * 65535 / 100 = 33422.
int KeepLevelRoundingUp(const std::string& exe) {
  return KeepLevel("tacetto-xp-keep-level-rounding", exe, kMixerPath, 33424, 51, 33422);
}
int HotkeyTakenEndpoint(const std::string& exe) {
  return HotkeyTaken("tacetto-hotkey-taken", exe, kEndpointPath);
}
int HotkeyTakenMixer(const std::string& exe) {
  return HotkeyTaken("tacetto-xp-hotkey-taken", exe, kMixerPath);
}

}  // namespace

void AddTacettoScenarios(std::vector<Scenario>& scenarios) {
  scenarios.push_back({"tacetto-no-file", &NoFile});
  scenarios.push_back({"tacetto-device-missing", &DeviceMissing});
  scenarios.push_back({"tacetto-hotkey-missing", &HotkeyMissing});
  scenarios.push_back({"tacetto-mute-and-restore", &MuteAndRestoreEndpoint});
  scenarios.push_back({"tacetto-keep-level", &KeepLevelEndpoint});
  scenarios.push_back({"tacetto-keep-level-rounding", &KeepLevelRounding});
  scenarios.push_back({"tacetto-wrong-device", &WrongDevice});
  scenarios.push_back({"tacetto-line-input", &LineInput});
  scenarios.push_back({"tacetto-hotkey-taken", &HotkeyTakenEndpoint});
  scenarios.push_back({"tacetto-scroll-lock-inverted", &MuteAndRestoreScrollLockInverted});
  scenarios.push_back({"tacetto-xp-mute-and-restore", &MuteAndRestoreMixer});
  scenarios.push_back({"tacetto-xp-keep-level", &KeepLevelMixer});
  scenarios.push_back({"tacetto-xp-keep-level-rounding", &KeepLevelRoundingUp});
  scenarios.push_back({"tacetto-xp-hotkey-taken", &HotkeyTakenMixer});
}
