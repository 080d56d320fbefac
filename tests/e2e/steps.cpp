// The steps of a scenario: actions, and what must be seen (scenarios.cpp lists them).
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

#include "harness/desktop.h"
#include "harness/lock_lights.h"
#include "harness/tacetto_view.h"
#include "tests/e2e/doubles/sound_state.h"
#include "tests/e2e/scenario.h"

constexpr uint32_t kAltF4 = 1 * 256 + VK_F4;

namespace {

// The folder `name` in `first`, with a tacetto.cfg of `config`, on the sound of the copy in
// `first` (hard links to its sound.txt and sound.log: one machine).
std::string FolderOnSameSound(const std::string& first, const char* name,
                              const std::string& config) {
  const std::string folder = first + "\\" + name;
  CreateDirectoryA(folder.c_str(), nullptr);
  WriteFileBytes(folder + "\\tacetto.cfg", config);
  for (const char* file : {"\\sound.txt", "\\sound.log"}) {
    CreateHardLinkA((folder + file).c_str(), (first + file).c_str(), nullptr);
  }
  return folder;
}

}  // namespace

void Scenario::Step(const std::string& line) {
  const std::string verb = line.substr(0, line.find(' '));
  const std::string arg = line.size() > verb.size() ? line.substr(verb.size() + 1) : "";
  const uint32_t number = static_cast<uint32_t>(atoi(arg.c_str()));
  HWND box = nullptr;
  std::string caption, text;
  if (verb == "hold" || verb == "taken") {
    const int id = 0x7E00 + static_cast<int>(held.size());
    const bool ok = RegisterHotKey(nullptr, id, (number >> 8) & 0xFF, number & 0xFF) != FALSE;
    held.push_back(ok ? id : 0);
    Check(line, verb == "hold" ? "registered" : "refused", ok ? "registered" : "refused");
  } else if (verb == "boxok") {  // the box that stayed open, closed on OK
    WaitForMessageBox(process.dwProcessId, window, kStepMs, box, caption, text);
    Check(line, "closed on OK", ConfirmMessageBox(box, kStepMs) ? "closed on OK" : "still there");
  } else if (verb == "box" || verb == "boxh" || verb == "boxopen") {
    if (!WaitForMessageBox(process.dwProcessId, window, kStepMs, box, caption, text)) {
      return Check(line, arg, "no message box");
    }
    Check(line, arg, caption + "|" + text);
    HWND tool = Tacetto() ? FindWindowA(nullptr, kTacettoTitle) : nullptr;
    Check(line, "",
          verb == "boxh" && tool != nullptr && IsWindowVisible(tool) ? "window shown" : "");
    if (window != nullptr && IsWindowVisible(window)) {  // in front of the program's window
      const bool above = GetWindow(box, GW_OWNER) == window ||
                         (GetWindowLongPtrA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
      Check(line + ": hit at the centres of text and OK", Tacetto() ? "box box above" : "box box",
            HitAtCentre(box, BoxTextItem(box)) + " " + HitAtCentre(box, GetDlgItem(box, IDOK)) +
                (Tacetto() ? (above ? " above" : " neither owned nor topmost") : ""));
    }
    if (verb != "boxopen") {
      Check(line, "closed on OK", ConfirmMessageBox(box, kStepMs) ? "closed on OK" : "still there");
    }
  } else if (verb == "win") {
    const char* title = Tacetto() ? kTacettoTitle : "Tastrel";
    window = WaitForTopWindow(process.dwProcessId, title, kStepMs);
    Check(line, title, window != nullptr && WaitForVisible(window, kStepMs) ? title : "none");
    const LONG_PTR topmost = GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST;
    Check("always on top", Tacetto() ? "yes" : "no", topmost != 0 ? "yes" : "no");
    Check("greeting", Tacetto() ? kTacettoGreeting : "",
          Tacetto() ? WindowText(GetDlgItem(window, kTacettoLabelId)) : "");
  } else if (verb == "item") {  // item ID CLASS|TEXT
    HWND item = GetDlgItem(window, static_cast<int>(number));
    Check(line, arg.substr(arg.find(' ') + 1), ClassOf(item) + "|" + WindowText(item));
  } else if (verb == "press" || verb == "burst" || verb == "pressclose") {
    Sleep(kSettleMs);
    TypeHotkey(verb != "press" || arg.empty() ? static_cast<uint32_t>(ConfigValue(2)) : number,
               arg.find('x') != std::string::npos, verb == "burst" ? static_cast<int>(number) : 1,
               verb == "pressclose" ? kAltF4 : 0);
  } else if (verb == "presshold") {  // the hotkey (or N) held through three auto-repeats
    Sleep(kSettleMs);
    const uint32_t hotkey = arg.empty() ? static_cast<uint32_t>(ConfigValue(2)) : number;
    HotkeyKeys(hotkey, true, 3);
    Sleep(300);
    HotkeyKeys(hotkey, false);
  } else if (verb == "again") {  // again [CFG]: the second start in a folder of its own
    WaitForMessageBox(process.dwProcessId, window, window != nullptr ? 0 : kStepMs, box, caption,
                      text);
    HWND front = window != nullptr ? window : box;  // before the window: the first's box
    Step("front other");
    const DWORD code =
        RunToEnd(folder + "\\" + row.program + ".exe",
                 arg.empty() ? folder : FolderOnSameSound(folder, "again", arg), kStepMs);
    Poll(kStepMs, [&] { return GetForegroundWindow() == front; });
    Check(line, "0, the first in front",
          (code == STILL_ACTIVE ? "running" : std::to_string(code)) +
              (GetForegroundWindow() == front ? ", the first in front" : ", not in front"));
  } else if (verb == "other") {  // the steps go to the other copy; CFG: it starts
    std::swap(process, twinProcess);
    std::swap(window, twinWindow);
    std::swap(folder, twinFolder);
    if (!arg.empty()) {  // a folder of its own, the sound of the first (which has logged)
      folder = FolderOnSameSound(twinFolder, "other", arg);
      Check(line, "started", Start() ? "started" : "not started");
    }
  } else if (verb == "share") {  // before the start: another program holds tacetto.cfg, sharing
    shared = CreateFileA((folder + "\\tacetto.cfg").c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
    Check(line, "open", shared != INVALID_HANDLE_VALUE ? "open" : "not open");
  } else if (verb == "label") {
    const bool percent = !arg.empty() && arg.find_first_not_of("-0123456789") == std::string::npos;
    text = percent ? LabelText(atoi(arg.c_str())) : arg;
    Check(line, text, WaitForItemText(window, kTacettoLabelId, text, kStepMs));
  } else if (verb == "log") {
    ExpectNew(line, Expand(arg), logSeen, [this] { return LogLines(); });
  } else if (verb == "keys") {  // keys 90 91: one stroke each, down and up
    Lines expected;
    for (const std::string& keys : Expand(arg)) {
      for (const std::string& key : Split(keys, ' ')) {
        expected.insert(expected.end(), {key + "vxi", key + "^xi"});
      }
    }
    ExpectNew(line, expected, strokesSeen, [this] { return Strokes(); });
  } else if (verb == "light") {  // light NOW [AT-WRITE]
    const Lines words = Split(arg, ' ');
    const size_t scroll = ConfigValue(4) != 0 ? 1 : 0;
    const BYTE key = scroll != 0 ? VK_SCROLL : VK_NUMLOCK;
    const BYTE other = scroll != 0 ? VK_NUMLOCK : VK_SCROLL;
    const int wanted = words[0] == "on" ? 1 : 0;
    Poll(kStepMs, [&] { return LockLight(key) == wanted; });
    const int lit = SoundNow().lights[scroll];
    const std::string atWrite = lit < 0 ? "-" : OnOff(lit);
    const std::string others = std::string(", ") + LockKeyName(other) + " ";
    Check(line,
          LockKeyName(key) + (" " + words[0]) + others + "off, at the last level write " +
              words[words.size() > 1 ? 1 : 0],
          LockKeyName(key) + (" " + std::string(OnOff(LockLight(key)))) + others +
              OnOff(LockLight(other)) + ", at the last level write " + atWrite);
  } else if (verb == "strike") {  // strike 90|91: the user strikes Num Lock or Scroll Lock
    // As after every change of the windows: wine may not yet have the tool's thread in step with
    // the keyboard when its window has just shown, and a toggle made then stays unseen there.
    Sleep(kSettleMs);
    StrikeKey(static_cast<BYTE>(strtoul(arg.c_str(), nullptr, 16)));
  } else if (verb == "reader") {  // reader on|off: another program reads the label without pause
    ReadWithoutPause(arg == "on" ? GetDlgItem(window, kTacettoLabelId) : nullptr);
  } else if (verb == "resume") {
    HANDLE resume = CreateEventA(nullptr, FALSE, FALSE, "tacetto-sound-resume");
    SetEvent(resume);
    CloseHandle(resume);
  } else if (verb == "front") {  // front tool|other: that window in front, keys go to it
    HWND front = arg == "tool" ? window : OtherProgramWindow();
    ShowWindow(front, SW_SHOW);
    SetForegroundWindow(front);
    Poll(kStepMs, [&] { return GetForegroundWindow() == front; });
    Check(line, "in front", GetForegroundWindow() == front ? "in front" : "not in front");
    Sleep(kSettleMs);
  } else if (verb == "dpi") {  // before the start: the program's screen DPI
    dpi = static_cast<int>(number);
    SetLogPixels(number);
  } else if (verb == "walk") {
    Walk();
  } else if (verb == "client" || verb == "inside" || verb == "fits") {
    SizeStep(verb, arg, line);
  } else if (verb == "quiet") {
    Sleep(kQuietMs);
    WaitForMessageBox(process.dwProcessId, window, 0, box, caption, text);
    Check(line, "", Join(LogLines(), logSeen) + Join(Strokes(), strokesSeen) + text);
  } else if (verb == "close") {
    CloseBySystemCommand(window);
  } else if (verb == "session") {
    DWORD_PTR answer = 0;
    if (arg.find("queued") != std::string::npos) {  // taken when the program next looks
      SendNotifyMessageA(window, WM_QUERYENDSESSION, 0, 0);
      SendNotifyMessageA(window, WM_ENDSESSION, number, 0);
      return;
    }
    SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, kStepMs, &answer);
    SendMessageTimeoutA(window, WM_ENDSESSION, number, 0, SMTO_ABORTIFHUNG, kStepMs, &answer);
  } else if (verb == "elsewhere") {  // elsewhere S M [S M]: another program sets {mic}, in turn
    ChangeElsewhere(folder + "\\sound.txt", "mic", arg);
  } else if (verb == "devices") {  // the devices as they are now; the rest stays as it was
    text = arg;
    std::replace(text.begin(), text.end(), '|', '\n');
    ChangeSound(folder + "\\sound.txt", [&](Sound& sound) {
      const Sound now = ParseSound(text);
      sound.devices = now.devices;
      sound.waveIns = now.waveIns;
    });
  } else if (verb == "file") {
    const Lines entries = Split(PrintSound(SoundNow()), '\n');
    Check(line, arg, std::find(entries.begin(), entries.end(), arg) != entries.end() ? arg : "");
  } else if (verb == "field" || verb == "holds") {  // HKM_SETHOTKEY / HKM_GETHOTKEY, hex
    if (verb == "field") {
      FieldMessage(HKM_SETHOTKEY, strtoul(arg.c_str(), nullptr, 16));
    }
    char hex[16];
    snprintf(hex, sizeof hex, "%x", static_cast<unsigned>(FieldMessage(HKM_GETHOTKEY, 0) & 0xFFFF));
    Check(line, arg, hex);
  } else if (verb == "type") {  // a click into the field, then the combination
    SetForegroundWindow(window);
    RECT rect;
    GetWindowRect(GetDlgItem(window, kFieldId), &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, click, sizeof(INPUT));
    Sleep(kSettleMs);
    TypeHotkey(number);
    Sleep(kSettleMs);
  } else if (verb == "click") {
    PostMessageA(GetDlgItem(window, kButtonId), BM_CLICK, 0, 0);
  } else if (verb == "atoms") {
    Check(line, arg, "+" + std::to_string(HotkeyAtoms() - atomsBefore));
  } else if (verb == "exit") {
    const DWORD code = EndProgram(process, kStepMs);
    Check(line, "0", code == STILL_ACTIVE ? "running" : std::to_string(code));
  } else {
    Check(line, "a known step", verb);
  }
}
