// The hotkey probe tool from outside: its window and controls, the combination put into its
// hotkey field, the button that registers it, the message boxes that answer, the presses of a
// registered combination, and the system close command.
//
// The field is filled with HKM_SETHOTKEY, which leaves in it what typing the combination would;
// one scenario really types into it. The program runs under the recorder, which sees each
// RegisterHotKey (window, identifier, modifiers, key code, result) and each MessageBoxA.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/e2e/desktop.h"
#include "tests/e2e/scenario_support.h"
#include "tests/e2e/scenarios.h"
#include "tests/e2e/screenshot.h"

namespace {

const char kWindowTitle[] = "Tastrel";
const char kInstructions[] =
    "#1: In das Eingabe-Feld klicken\r\n"
    "#2: Einen Hotkey dr\xFC"
    "cken (STRG+F oder so)\r\n"
    "#3: Auf 'Hotkey aktivieren' klicken\r\n"
    "#4: Wenn keine Fehlermeldung erscheint die Zahl ins Config-File schreiben\r\n"
    "#5: Nochmal bei Schritt 1 Anfangen wenn dir langweilig ist\r\n";
const char kFieldCaption[] = "Hotkey Eingabe-Feld -->";
const char kButtonText[] = "Hotkey aktivieren";
const char kTakenText[] = "Hotkey bereits belegt!";
const char kRecognisedText[] = "Hotkey wurde erkannt!";
const char kNumberPrefix[] = "Hotkey Wert = ";

constexpr int kInstructionsId = 1001;
constexpr int kFieldId = 1002;
constexpr int kFieldCaptionId = 1003;
constexpr int kButtonId = 1004;

constexpr uint32_t kBoxStyle = 0x2000;  // MB_TASKMODAL, OK only, no icon
// Time in which a box that should not come would have come.
constexpr DWORD kQuietMs = 1000;
// An identifier of the driver's own registrations.
constexpr int kDriverHotkeyId = 0x7E58;

// A field value: key code in the low byte, HOTKEYF_* flags (1 Shift, 2 Ctrl, 4 Alt, 8 extended)
// in the high byte.
constexpr WORD FieldValue(BYTE key, BYTE flags) {
  return static_cast<WORD>(flags << 8 | key);
}

std::string NumberText(uint32_t number) {
  return kNumberPrefix + std::to_string(number);
}

// The program under test, its window, and the number of message boxes seen so far.
struct Probe {
  DebuggedProcess process;
  HWND window = nullptr;
  size_t boxes = 0;
};

// Starts the program and waits for its window to be shown.
bool StartProbe(Report& report, Probe& probe, const std::string& exe) {
  if (!StartUnderRecorder(report, probe.process, exe, "", 0)) {
    return false;
  }
  probe.window = WaitForTopWindow(probe.process.ProcessId(), kWindowTitle, kStartMs);
  if (!report.True("window titled " + Escaped(kWindowTitle), probe.window != nullptr)) {
    return false;
  }
  return report.True("window shown", WaitForVisible(probe.window, kStepMs));
}

bool ItemMessage(HWND window, int id, UINT message, WPARAM wParam, DWORD_PTR& result) {
  HWND item = GetDlgItem(window, id);
  return item != nullptr &&
         SendMessageTimeoutA(item, message, wParam, 0, SMTO_ABORTIFHUNG, kStepMs, &result) != 0;
}

// What the field holds, as HKM_GETHOTKEY reports it; 0xFFFFFFFF if it does not answer.
uint32_t FieldHolds(HWND window) {
  DWORD_PTR value = 0;
  if (!ItemMessage(window, kFieldId, HKM_GETHOTKEY, 0, value)) {
    return 0xFFFFFFFF;
  }
  return static_cast<uint32_t>(value & 0xFFFF);
}

// Puts a combination into the field as typing it would, and checks the field took it.
bool SetField(Report& report, HWND window, WORD value) {
  DWORD_PTR ignored = 0;
  if (!report.True("HKM_SETHOTKEY " + Hex(value) + " to the field",
                   ItemMessage(window, kFieldId, HKM_SETHOTKEY, value, ignored))) {
    return false;
  }
  return report.Number("field value (HKM_GETHOTKEY)", value, FieldHolds(window));
}

// A click on "Hotkey aktivieren".
void ClickActivate(HWND window) {
  PostMessageA(GetDlgItem(window, kButtonId), BM_CLICK, 0, 0);
}

// Checks the next MessageBoxA call and the box on the screen (a box of the program's other than
// its window, which is a dialog too), optionally saves a picture of the box over the window,
// then presses OK.
bool ExpectBox(Report& report, Probe& probe, const std::string& text,
               const char* screenshot = nullptr) {
  const size_t index = probe.boxes++;
  const std::string which = "message box " + std::to_string(index + 1);
  if (!probe.process.WaitForCalls(Api::kMessageBoxA, index + 1, false, kStepMs)) {
    report.Fail(which + " is called",
                "MessageBoxA was called " +
                    std::to_string(CountCalls(probe.process, Api::kMessageBoxA)) + " times");
    return false;
  }
  const ApiCall call = probe.process.CallsOf(Api::kMessageBoxA)[index];
  report.Text(which + " caption given to MessageBoxA", kWindowTitle, call.caption);
  report.Text(which + " text given to MessageBoxA", text, call.text);
  report.Number(which + " style given to MessageBoxA (" + Hex(kBoxStyle) + ")", kBoxStyle,
                call.value);

  MessageBoxView view;
  if (!WaitForMessageBoxBeside(probe.process.ProcessId(), probe.window, kStepMs, view)) {
    report.Fail(which + " is on the screen", "no dialog window besides the probe window");
    return false;
  }
  report.Text(which + " caption shown", kWindowTitle, view.caption);
  report.Text(which + " text shown", text, view.text);
  report.True(which + " shows no icon", !view.icon);
  report.Text(which + " buttons", "OK", view.buttons.size() == 1 ? view.buttons[0] : "");
  if (screenshot != nullptr) {
    Sleep(300);  // drawn by now
    RECT boxRect;
    RECT windowRect;
    RECT both;
    GetWindowRect(view.box, &boxRect);
    GetWindowRect(probe.window, &windowRect);
    UnionRect(&both, &boxRect, &windowRect);
    report.True("picture of " + which + " over the window saved",
                SaveScreenRectIfAsked(both, screenshot));
  }
  return report.True(which + " closes on OK", ConfirmMessageBox(view.box, kStepMs));
}

// No box comes within a while, neither called nor on the screen.
void ExpectNoBox(Report& report, Probe& probe, const std::string& after) {
  Sleep(kQuietMs);
  report.Number("message boxes after " + after, probe.boxes,
                CountCalls(probe.process, Api::kMessageBoxA));
  MessageBoxView view;
  report.True("no box on the screen after " + after,
              !WaitForMessageBoxBeside(probe.process.ProcessId(), probe.window, 0, view),
              view.text);
}

// The `index`-th RegisterHotKey call (from 0): for the probe window, with a global atom of the
// program's as identifier, of `number` (modifiers * 256 + key code). Returns the call.
ApiCall ExpectRegistration(Report& report, Probe& probe, size_t index, uint32_t number) {
  const std::string which = "registration " + std::to_string(index + 1);
  if (!probe.process.WaitForCalls(Api::kRegisterHotKey, index + 1, true, kStepMs)) {
    report.Fail(which + " made",
                "RegisterHotKey was called " +
                    std::to_string(CountCalls(probe.process, Api::kRegisterHotKey)) + " times");
    return ApiCall();
  }
  const ApiCall call = probe.process.CallsOf(Api::kRegisterHotKey)[index];
  report.Number(which + " modifiers", number >> 8, call.value >> 8);
  report.Number(which + " key code", number & 0xFF, call.value & 0xFF);
  report.Number(which + " for the probe window", reinterpret_cast<uintptr_t>(probe.window),
                call.args[0]);
  const ATOM atom = static_cast<ATOM>(call.args[1] & 0xFFFF);
  char name[64] = {};
  const UINT length = GlobalGetAtomNameA(atom, name, sizeof name);
  report.True(which + " identifier is a global atom \"My Hotkey ...\" (" + Hex(call.args[1]) + ")",
              call.args[1] >= 0xC000 && call.args[1] <= 0xFFFF && length > 0 &&
                  strncmp(name, "My Hotkey ", 10) == 0,
              Escaped(std::string(name, length)));
  return call;
}

// Ends the program with the system close command: exit code 0, and its atom is deleted.
void CloseProbe(Report& report, Probe& probe, ATOM atom) {
  CloseBySystemCommand(probe.window);
  ExpectExit(report, probe.process, 0, kStepMs);
  if (atom != 0) {
    char name[64] = {};
    const UINT length = GlobalGetAtomNameA(atom, name, sizeof name);
    report.True("the program's atom " + Hex(atom) + " deleted at the end", length == 0,
                Escaped(std::string(name, length)));
  }
}

// Whether the driver can register the combination of `number` itself (and lets it go again).
bool DriverCanRegister(uint32_t number) {
  if (RegisterHotKey(nullptr, kDriverHotkeyId, (number >> 8) & 0xFF, number & 0xFF) == FALSE) {
    return false;
  }
  UnregisterHotKey(nullptr, kDriverHotkeyId);
  return true;
}

// The title, styles and the four controls in their order.
int WindowAndControls(const std::string& exe) {
  Report report("tastrel-window");
  Probe probe;
  if (!StartProbe(report, probe, exe)) {
    FinishScenario(report, probe.process);
    return report.Failures();
  }
  HWND window = probe.window;
  report.Text("window class", "#32770", ClassOf(window));
  const uint64_t style = static_cast<uint64_t>(GetWindowLongPtrA(window, GWL_STYLE));
  report.Number("window style " + Hex(style) + " (0x84CB00D4 and WS_VISIBLE)", 0x94CB00D4, style);
  const uint64_t exStyle = static_cast<uint64_t>(GetWindowLongPtrA(window, GWL_EXSTYLE));
  // DS_MODALFRAME brings WS_EX_DLGMODALFRAME (1) with it.
  report.Number("window ex style " + Hex(exStyle) + " (0x00010100 and WS_EX_DLGMODALFRAME)",
                0x00010101, exStyle);
  report.True("top-level window", GetParent(window) == nullptr);

  struct Expected {
    int id;
    const char* className;
    std::string text;
    uint32_t style;
    uint32_t exStyle;
  };
  // The hotkey field keeps the text it was created with: it leaves WM_GETTEXT to the default
  // window procedure, and the combination it holds is no part of that text (checked below).
  const Expected expected[] = {
      {kInstructionsId, "Static", kInstructions, 0x50800000, 0x00020000},
      {kFieldId, "msctls_hotkey32", "msctls_hotkey321", 0x50000000, 0x00000200},
      {kFieldCaptionId, "Static", kFieldCaption, 0x50000002, 0},
      {kButtonId, "Button", kButtonText, 0x50010000, 0},
  };
  std::vector<HWND> children;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr && children.size() < 16;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  report.Number("child windows", 4, children.size());
  for (size_t i = 0; i < children.size() && i < 4; ++i) {
    const Expected& item = expected[i];
    HWND child = children[i];
    const std::string which = "child " + std::to_string(i + 1);
    report.Number(which + " identifier", item.id, static_cast<uint64_t>(GetDlgCtrlID(child)));
    report.Text(which + " class", item.className, ClassOf(child));
    report.Number(which + " style " + Hex(GetWindowLongPtrA(child, GWL_STYLE)), item.style,
                  static_cast<uint64_t>(GetWindowLongPtrA(child, GWL_STYLE)));
    report.Number(which + " ex style " + Hex(GetWindowLongPtrA(child, GWL_EXSTYLE)), item.exStyle,
                  static_cast<uint64_t>(GetWindowLongPtrA(child, GWL_EXSTYLE)));
    report.Text(which + " text", item.text, WindowText(child));
  }
  report.Number("field empty at the start", 0, FieldHolds(window));
  report.Number("no hotkey registered at the start", 0,
                CountCalls(probe.process, Api::kRegisterHotKey));
  report.Number("no message box at the start", 0, CountCalls(probe.process, Api::kMessageBoxA));
  if (SetField(report, window, FieldValue('F', HOTKEYF_CONTROL))) {
    report.Text("field text with Ctrl+F in it", "msctls_hotkey321",
                WindowText(GetDlgItem(window, kFieldId)));
  }
  CloseProbe(report, probe, 0);
  FinishScenario(report, probe.process);
  return report.Failures();
}

struct Combination {
  const char* scenario;
  WORD fieldValue;   // what typing the combination leaves in the field
  uint32_t number;   // the number the program shows and registers
  bool extendedKey;  // the key is typed as an extended one
  int presses;       // presses of the registered combination after the registration
  const char* screenshot;
};

// The combination put into the field and registered with the button: its number in the box, the
// registration, each press recognised with a box of its own; after the system close command the
// combination is free again.
int RegisterAndPress(const Combination& combination, const std::string& exe) {
  Report report(combination.scenario);
  Probe probe;
  if (!StartProbe(report, probe, exe) || !SetField(report, probe.window, combination.fieldValue)) {
    FinishScenario(report, probe.process);
    return report.Failures();
  }
  ClickActivate(probe.window);
  const ApiCall registration = ExpectRegistration(report, probe, 0, combination.number);
  report.True("registration granted", registration.result != 0,
              "RegisterHotKey returned " + std::to_string(registration.result));
  ExpectBox(report, probe, NumberText(combination.number), combination.screenshot);
  report.True("the combination is taken while the program holds it",
              !DriverCanRegister(combination.number));
  for (int press = 1; press <= combination.presses; ++press) {
    Sleep(kSettleMs);
    TypeHotkey(combination.number, combination.extendedKey);
    ExpectBox(report, probe, kRecognisedText);
  }
  report.Number("registrations", 1, CountCalls(probe.process, Api::kRegisterHotKey));
  CloseProbe(report, probe, static_cast<ATOM>(registration.args[1] & 0xFFFF));
  report.True("the combination is free after the end", DriverCanRegister(combination.number));
  report.Number("message boxes", probe.boxes, CountCalls(probe.process, Api::kMessageBoxA));
  FinishScenario(report, probe.process);
  return report.Failures();
}

// Ctrl+F: Ctrl is 2 both in the field and in the registration; 'F' is 70.
int CtrlF(const std::string& exe) {
  return RegisterAndPress(
      {"tastrel-ctrl-f", FieldValue('F', HOTKEYF_CONTROL), 2 * 256 + 'F', false, 2, nullptr}, exe);
}

// Shift+F1: Shift is 1 in the field, 4 in the registration: 4 * 256 + 112.
int ShiftF1(const std::string& exe) {
  return RegisterAndPress(
      {"tastrel-shift-f1", FieldValue(VK_F1, HOTKEYF_SHIFT), 4 * 256 + VK_F1, false, 1, nullptr},
      exe);
}

// Ctrl+Right arrow, an extended key (field 0x0A27): the extended flag is not part of the number,
// 2 * 256 + 39 = 551, and the arrow typed as an extended key is recognised.
int CtrlRightExtended(const std::string& exe) {
  return RegisterAndPress(
      {"tastrel-ctrl-right-extended", FieldValue(VK_RIGHT, HOTKEYF_CONTROL | HOTKEYF_EXT),
       2 * 256 + VK_RIGHT, true, 1, nullptr},
      exe);
}

// Ctrl+Alt+M: Alt is 4 in the field, 1 in the registration: 3 * 256 + 77 = 845. A picture of the
// box over the window when E2E_SCREENSHOT_DIR is set.
int CtrlAltM(const std::string& exe) {
  return RegisterAndPress({"tastrel-ctrl-alt-m", FieldValue('M', HOTKEYF_CONTROL | HOTKEYF_ALT),
                           3 * 256 + 'M', false, 1, "probe-window"},
                          exe);
}

// Nothing in the field: the program registers no modifiers and key code 0, and its box follows
// what the system answered.
int EmptyField(const std::string& exe) {
  Report report("tastrel-empty-field");
  Probe probe;
  if (!StartProbe(report, probe, exe) ||
      !report.Number("field value (HKM_GETHOTKEY)", 0, FieldHolds(probe.window))) {
    FinishScenario(report, probe.process);
    return report.Failures();
  }
  ClickActivate(probe.window);
  const ApiCall registration = ExpectRegistration(report, probe, 0, 0);
  if (registration.returned) {
    const bool granted = registration.result != 0;
    report.Info(std::string("the system ") + (granted ? "granted" : "refused") +
                " the empty combination");
    ExpectBox(report, probe, granted ? NumberText(0) : std::string(kTakenText));
  }
  CloseProbe(report, probe, static_cast<ATOM>(registration.args[1] & 0xFFFF));
  report.Number("message boxes", 1, CountCalls(probe.process, Api::kMessageBoxA));
  FinishScenario(report, probe.process);
  return report.Failures();
}

// Another program holds the combination: the box says so and shows no number, and a press goes
// to the holder, not to the program.
int HotkeyTaken(const std::string& exe) {
  Report report("tastrel-hotkey-taken");
  // Ctrl+Alt+F8: Alt is 4 in the field, 1 in the registration: 3 * 256 + 119 = 887.
  constexpr uint32_t kNumber = 3 * 256 + VK_F8;
  if (!report.True(
          "driver holds Ctrl+Alt+F8",
          RegisterHotKey(nullptr, kDriverHotkeyId, MOD_CONTROL | MOD_ALT, VK_F8) != FALSE)) {
    return report.Failures();
  }
  Probe probe;
  if (StartProbe(report, probe, exe) &&
      SetField(report, probe.window, FieldValue(VK_F8, HOTKEYF_CONTROL | HOTKEYF_ALT))) {
    ClickActivate(probe.window);
    const ApiCall registration = ExpectRegistration(report, probe, 0, kNumber);
    report.True("registration refused", registration.returned && registration.result == 0,
                "RegisterHotKey returned " + std::to_string(registration.result));
    ExpectBox(report, probe, kTakenText);
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE)) {
    }
    Sleep(kSettleMs);
    TypeHotkey(kNumber);
    bool delivered = false;
    const ULONGLONG deadline = GetTickCount64() + kStepMs;
    while (!delivered && GetTickCount64() < deadline) {
      delivered = PeekMessageA(&message, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE) != FALSE &&
                  message.wParam == static_cast<WPARAM>(kDriverHotkeyId);
      Sleep(20);
    }
    report.True("the press reached the holder of the combination", delivered);
    ExpectNoBox(report, probe, "the press");
    for (const ApiCall& call : probe.process.CallsOf(Api::kMessageBoxA)) {
      report.True("no number shown", call.text.find(kNumberPrefix) == std::string::npos,
                  Escaped(call.text));
    }
    CloseProbe(report, probe, static_cast<ATOM>(registration.args[1] & 0xFFFF));
  }
  UnregisterHotKey(nullptr, kDriverHotkeyId);
  FinishScenario(report, probe.process);
  return report.Failures();
}

// Commands other than the button's click do nothing; the click itself, sent the same way, does.
int OtherCommands(const std::string& exe) {
  Report report("tastrel-other-commands");
  Probe probe;
  if (!StartProbe(report, probe, exe) ||
      !SetField(report, probe.window, FieldValue('K', HOTKEYF_CONTROL | HOTKEYF_SHIFT))) {
    FinishScenario(report, probe.process);
    return report.Failures();
  }
  struct Command {
    int id;
    WORD notification;
  };
  const Command ignored[] = {
      {kInstructionsId, BN_CLICKED}, {kFieldId, BN_CLICKED},
      {kFieldCaptionId, BN_CLICKED}, {kButtonId, 2},  // BN_HILITE
      {kButtonId, BN_DOUBLECLICKED}, {IDOK, BN_CLICKED},
      {IDCANCEL, BN_CLICKED},
  };
  for (const Command& command : ignored) {
    HWND from = GetDlgItem(probe.window, command.id);
    PostMessageA(probe.window, WM_COMMAND, MAKEWPARAM(command.id, command.notification),
                 reinterpret_cast<LPARAM>(from));
  }
  ExpectNoBox(report, probe, "commands of other identifiers and notifications");
  report.Number("registrations after them", 0, CountCalls(probe.process, Api::kRegisterHotKey));
  report.True("window still there", IsWindow(probe.window) && IsWindowVisible(probe.window));

  // Ctrl+Shift+K: Shift 1 and Ctrl 2 in the field, 4 and 2 in the registration: 6 * 256 + 75.
  constexpr uint32_t kNumber = 6 * 256 + 'K';
  PostMessageA(probe.window, WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(probe.window, kButtonId)));
  const ApiCall registration = ExpectRegistration(report, probe, 0, kNumber);
  ExpectBox(report, probe, NumberText(kNumber));
  CloseProbe(report, probe, static_cast<ATOM>(registration.args[1] & 0xFFFF));
  FinishScenario(report, probe.process);
  return report.Failures();
}

// The button clicked twice for the same combination: the second time the program holds it
// already and says so. Then another combination is put into the field and registered, and its
// press is recognised.
int RegisterTwice(const std::string& exe) {
  Report report("tastrel-register-twice");
  constexpr uint32_t kFirst = 2 * 256 + VK_F7;   // Ctrl+F7: 630
  constexpr uint32_t kSecond = 4 * 256 + VK_F7;  // Shift+F7: 1142
  Probe probe;
  if (!StartProbe(report, probe, exe) ||
      !SetField(report, probe.window, FieldValue(VK_F7, HOTKEYF_CONTROL))) {
    FinishScenario(report, probe.process);
    return report.Failures();
  }
  ClickActivate(probe.window);
  const ApiCall first = ExpectRegistration(report, probe, 0, kFirst);
  report.True("first registration granted", first.result != 0,
              "RegisterHotKey returned " + std::to_string(first.result));
  ExpectBox(report, probe, NumberText(kFirst));

  ClickActivate(probe.window);
  const ApiCall again = ExpectRegistration(report, probe, 1, kFirst);
  report.True("the same combination again refused", again.returned && again.result == 0,
              "RegisterHotKey returned " + std::to_string(again.result));
  report.Number("the same identifier again", first.args[1], again.args[1]);
  ExpectBox(report, probe, kTakenText);

  if (SetField(report, probe.window, FieldValue(VK_F7, HOTKEYF_SHIFT))) {
    ClickActivate(probe.window);
    const ApiCall second = ExpectRegistration(report, probe, 2, kSecond);
    report.True("another combination granted", second.result != 0,
                "RegisterHotKey returned " + std::to_string(second.result));
    ExpectBox(report, probe, NumberText(kSecond));
    Sleep(kSettleMs);
    TypeHotkey(kSecond);
    ExpectBox(report, probe, kRecognisedText);
  }
  CloseProbe(report, probe, static_cast<ATOM>(first.args[1] & 0xFFFF));
  report.True("Shift+F7 free after the end", DriverCanRegister(kSecond));
  report.Number("message boxes", probe.boxes, CountCalls(probe.process, Api::kMessageBoxA));
  FinishScenario(report, probe.process);
  return report.Failures();
}

// The system close command right after a registration: exit code 0, the combination free again
// and the program's atom gone.
int CloseFreesHotkey(const std::string& exe) {
  Report report("tastrel-close");
  constexpr uint32_t kNumber = 2 * 256 + VK_F11;  // Ctrl+F11
  Probe probe;
  if (!StartProbe(report, probe, exe) ||
      !SetField(report, probe.window, FieldValue(VK_F11, HOTKEYF_CONTROL))) {
    FinishScenario(report, probe.process);
    return report.Failures();
  }
  ClickActivate(probe.window);
  const ApiCall registration = ExpectRegistration(report, probe, 0, kNumber);
  ExpectBox(report, probe, NumberText(kNumber));
  report.True("Ctrl+F11 taken while the program runs", !DriverCanRegister(kNumber));
  CloseProbe(report, probe, static_cast<ATOM>(registration.args[1] & 0xFFFF));
  report.True("window gone", !IsWindow(probe.window));
  report.True("Ctrl+F11 free after the end", DriverCanRegister(kNumber));
  FinishScenario(report, probe.process);
  return report.Failures();
}

// The window with the keyboard focus in a thread of another process, or nullptr.
HWND FocusOf(DWORD thread) {
  GUITHREADINFO gui;
  memset(&gui, 0, sizeof gui);
  gui.cbSize = sizeof gui;
  return GetGUIThreadInfo(thread, &gui) ? gui.hwndFocus : nullptr;
}

// A user clicks into the field and types Ctrl+Shift+K, then clicks the button.
int TypedIntoField(const std::string& exe) {
  Report report("tastrel-typed-into-field");
  Probe probe;
  if (!StartProbe(report, probe, exe)) {
    FinishScenario(report, probe.process);
    return report.Failures();
  }
  HWND field = GetDlgItem(probe.window, kFieldId);
  const DWORD thread = GetWindowThreadProcessId(probe.window, nullptr);
  SetForegroundWindow(probe.window);
  const HWND focusBefore = FocusOf(thread);
  RECT rect;
  GetWindowRect(field, &rect);
  SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  INPUT click[2];
  memset(click, 0, sizeof click);
  click[0].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[1].type = INPUT_MOUSE;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, click, sizeof(INPUT));
  Sleep(kSettleMs);
  const HWND focusAfter = FocusOf(thread);
  report.True("the click moves the focus into the field",
              focusBefore != field && focusAfter == field && field != nullptr,
              "focus " + Hex(reinterpret_cast<uintptr_t>(focusBefore)) + " before, " +
                  Hex(reinterpret_cast<uintptr_t>(focusAfter)) + " after; field " +
                  Hex(reinterpret_cast<uintptr_t>(field)));
  constexpr uint32_t kNumber = 6 * 256 + 'K';
  TypeHotkey(kNumber);
  Sleep(kSettleMs);
  const WORD typed = FieldValue('K', HOTKEYF_CONTROL | HOTKEYF_SHIFT);
  report.Number("field value after typing Ctrl+Shift+K (" + Hex(typed) + ")", typed,
                FieldHolds(probe.window));
  ClickActivate(probe.window);
  const ApiCall registration = ExpectRegistration(report, probe, 0, kNumber);
  ExpectBox(report, probe, NumberText(kNumber));
  CloseProbe(report, probe, static_cast<ATOM>(registration.args[1] & 0xFFFF));
  FinishScenario(report, probe.process);
  return report.Failures();
}

}  // namespace

void AddTastrelScenarios(std::vector<Scenario>& scenarios) {
  scenarios.push_back({"tastrel-window", &WindowAndControls});
  scenarios.push_back({"tastrel-ctrl-f", &CtrlF});
  scenarios.push_back({"tastrel-shift-f1", &ShiftF1});
  scenarios.push_back({"tastrel-ctrl-right-extended", &CtrlRightExtended});
  scenarios.push_back({"tastrel-ctrl-alt-m", &CtrlAltM});
  scenarios.push_back({"tastrel-empty-field", &EmptyField});
  scenarios.push_back({"tastrel-hotkey-taken", &HotkeyTaken});
  scenarios.push_back({"tastrel-other-commands", &OtherCommands});
  scenarios.push_back({"tastrel-register-twice", &RegisterTwice});
  scenarios.push_back({"tastrel-close", &CloseFreesHotkey});
  scenarios.push_back({"tastrel-typed-into-field", &TypedIntoField});
}
