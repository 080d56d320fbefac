#include "demo/demo.h"

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "demo/screenshot.h"
#include "harness/desktop.h"
#include "harness/lock_lights.h"
#include "harness/tacetto_view.h"
#include "tacetto/config.h"
#include "tests/e2e/doubles/sound_state.h"

namespace {

constexpr DWORD kStartMs = 20000;
constexpr DWORD kStepMs = 5000;
// Time the window gets to paint a new label before its picture is taken.
constexpr DWORD kPaintMs = 300;

// The tool's texts are code page 1252; the terminal wants UTF-8.
std::string Printable(const std::string& text) {
  if (text.empty()) {
    return text;
  }
  const int wideLength =
      MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(wideLength), L'\0');
  MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), &wide[0], wideLength);
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, &utf8[0], length, nullptr, nullptr);
  return utf8;
}

void Say(const std::string& line) {
  printf("demo: %s\n", Printable(line).c_str());
  fflush(stdout);
}

size_t ReadFromFile(void* file, char* buffer, size_t size) {
  return fread(buffer, 1, size, static_cast<FILE*>(file));
}

// A message box of the tool (a dialog window other than the tool window, which is a dialog
// too): printed and confirmed.
bool ReportMessageBox(DWORD processId, HWND toolWindow) {
  HWND box = nullptr;
  std::string caption, text;
  if (!WaitForMessageBox(processId, toolWindow, 0, box, caption, text)) {
    return false;
  }
  Say("the tool shows a message box \"" + caption + "\": " + text);
  ConfirmMessageBox(box, kStepMs);
  return true;
}

// The label, once it reads `expected` or the time is up; counts a mismatch as a problem.
std::string ExpectLabel(HWND window, const std::string& what, const std::string& expected,
                        int& problems) {
  const std::string label = WaitForItemText(window, kTacettoLabelId, expected, kStepMs);
  Say(what + ": \"" + label + "\"");
  if (label != expected) {
    Say("  expected \"" + expected + "\"");
    ++problems;
  }
  return label;
}

// The window with `title`, once it exists (shown or not); nullptr, said, when it does not come.
HWND WaitForWindowTitled(const char* title) {
  HWND window = nullptr;
  if (!Poll(
          kStartMs, [&] { return (window = FindWindowA(nullptr, title)) != nullptr; }, 100)) {
    Say(std::string("no window \"") + title + "\" within " + std::to_string(kStartMs) + " ms");
  }
  return window;
}

// The light of the lock key, once it shows `expected` or the time is up; a mismatch counts.
void ExpectLight(BYTE key, int expected, const std::string& when, int& problems) {
  Poll(kStepMs, [&] { return LockLight(key) == expected; });
  const int light = LockLight(key);
  Say(std::string(LockKeyName(key)) + " light " + when + ", as another program sees it: " +
      OnOff(light) + (light != expected ? std::string(", expected ") + OnOff(expected) : ""));
  problems += light != expected ? 1 : 0;
}

void Picture(HWND window, const std::string& shotDir, const char* name, int& problems) {
  Sleep(kPaintMs);
  const std::string path = shotDir + "\\" + name + ".bmp";
  if (SaveScreenshot(window, path.c_str())) {
    Say(std::string("picture of the window: ") + name);
  } else {
    Say(std::string("could not save the picture ") + path);
    ++problems;
  }
}

}  // namespace

int RunDemo(const char* shotDir, bool elsewhere) {
  int problems = 0;
  // From here on this program sees the lights as they change.
  WatchLockLights();
  FILE* file = fopen("tacetto.cfg", "rb");
  int32_t config[kConfigValueCount];
  ReadConfigValues(file != nullptr ? &ReadFromFile : nullptr, file, config);
  if (file != nullptr) {
    fclose(file);
  }
  if (config[2] == -1 || config[3] == -1) {
    Say("tacetto.cfg with a hotkey and a volume expected in the current folder");
    return 1;
  }
  const BYTE lockKey = config[4] != 0 ? VK_SCROLL : VK_NUMLOCK;
  const int inverted = config[5] == 1 ? 1 : 0;
  const uint32_t hotkey = static_cast<uint32_t>(config[2]);
  const int volume = config[3];
  Say("hotkey number " + std::to_string(hotkey) + ", volume " + std::to_string(volume) + "%");

  HWND window = WaitForWindowTitled(kTacettoTitle);
  if (window == nullptr) {
    return 1;
  }
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (ReportMessageBox(processId, window)) {
    ++problems;
  }
  if (!WaitForVisible(window, kStepMs)) {
    Say("the window does not become visible");
    ++problems;
  }
  Say(std::string("window \"") + kTacettoTitle + "\" is up");
  ExpectLabel(window, "label at the start", kTacettoGreeting, problems);
  ExpectLight(lockKey, inverted, "at the start", problems);
  Picture(window, shotDir, "volume-window-start", problems);

  const int levels[2] = {0, volume};
  const char* const names[2] = {"volume-window-muted", "volume-window-unmuted"};
  for (int press = 0; press < 2; ++press) {
    Sleep(150);
    TypeHotkey(hotkey);
    ExpectLabel(window, "label after hotkey press " + std::to_string(press + 1),
                LabelText(levels[press]), problems);
    ExpectLight(lockKey, (press == 0 ? 1 : 0) ^ inverted,
                "after hotkey press " + std::to_string(press + 1), problems);
    if (ReportMessageBox(processId, window)) {
      ++problems;
    }
    Picture(window, shotDir, names[press], problems);
  }

  for (const bool mute : {true, false}) {
    if (!elsewhere) {
      break;
    }
    const std::string what = mute ? "a mute made elsewhere" : "an unmute made elsewhere";
    Say("another program " + std::string(mute ? "mutes" : "unmutes") + " the recording device");
    ChangeElsewhere("sound.txt", "demo-mic", mute ? "- 1" : "- 0");
    ExpectLight(lockKey, (mute ? 1 : 0) ^ inverted, "after " + what, problems);
    ExpectLabel(window, "label after " + what, LabelText(mute ? 0 : volume), problems);
  }

  Say("closing the window (system close command)");
  CloseBySystemCommand(window);
  // A box the tool shows on its way out is reported and confirmed.
  const auto ended = [&] {
    problems += ReportMessageBox(processId, window) ? 1 : 0;
    return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  };
  if (process == nullptr || !Poll(kStepMs, ended, 100)) {
    Say("the tool did not end within " + std::to_string(kStepMs) + " ms");
    ++problems;
  } else {
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(process, &exitCode);
    Say("tacetto.exe ended with exit code " + std::to_string(exitCode));
    if (exitCode != 0) {
      ++problems;
    }
    ExpectLight(lockKey, inverted, "after the end", problems);
  }
  if (process != nullptr) {
    CloseHandle(process);
  }
  return problems == 0 ? 0 : 1;
}

int RunProbeDemo(const char* shotDir) {
  HWND window = WaitForWindowTitled("Tastrel");
  if (window == nullptr || !WaitForVisible(window, kStepMs)) {
    Say("the window \"Tastrel\" does not become visible");
    return 1;
  }
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  SendMessageA(GetDlgItem(window, 1002), HKM_SETHOTKEY,
               MAKEWORD('M', HOTKEYF_CONTROL | HOTKEYF_SHIFT), 0);
  PostMessageA(GetDlgItem(window, 1004), BM_CLICK, 0, 0);
  HWND box = nullptr;
  std::string caption, text;
  if (!WaitForMessageBox(processId, window, kStepMs, box, caption, text)) {
    Say("no answer to the click");
    return 1;
  }
  Say("the probe answers \"" + text + "\"");
  Sleep(kPaintMs);
  RECT boxRect, windowRect, both;
  GetWindowRect(box, &boxRect);
  GetWindowRect(window, &windowRect);
  UnionRect(&both, &boxRect, &windowRect);
  const bool saved = SaveScreenRect(both, (std::string(shotDir) + "\\probe-window.bmp").c_str());
  ConfirmMessageBox(box, kStepMs);
  CloseBySystemCommand(window);
  return saved && text == "Hotkey Wert = 1613" ? 0 : 1;
}

int RunPictureDemo(const char* title, const char* name, const char* shotDir) {
  HWND window = WaitForWindowTitled(title);
  if (window == nullptr || !WaitForVisible(window, kStepMs)) {
    Say(std::string("the window \"") + title + "\" does not become visible");
    return 1;
  }
  int problems = 0;
  Picture(window, shotDir, name, problems);
  CloseBySystemCommand(window);
  const bool closed = Poll(kStepMs, [&] { return IsWindow(window) == FALSE; });
  return problems == 0 && closed ? 0 : 1;
}

int PrintSoundLog(const char* path) {
  std::string content;
  if (!ReadFileBytes(path, content)) {
    Say(std::string("no ") + path);
    return 1;
  }
  std::string line;
  for (char c : content) {
    if (c != '\n') {
      line += c;
      continue;
    }
    std::string shown;
    size_t start = 0;
    for (size_t end = 0; end <= line.size(); ++end) {
      if (end < line.size() && line[end] != ' ') {
        continue;
      }
      const std::string word = line.substr(start, end - start);
      shown += (start == 0 ? "" : " ") + word;
      if (line.find("Scalar") != std::string::npos && word.size() == 8 &&
          word.find_first_not_of("0123456789abcdef") == std::string::npos) {
        const uint32_t bits = static_cast<uint32_t>(strtoul(word.c_str(), nullptr, 16));
        float scalar = 0.0f;
        memcpy(&scalar, &bits, sizeof scalar);
        char percent[32];
        snprintf(percent, sizeof percent, " (%.1f %%)", static_cast<double>(scalar) * 100);
        shown += percent;
      }
      start = end + 1;
    }
    printf("demo:   %s\n", shown.c_str());
    line.clear();
  }
  fflush(stdout);
  return 0;
}
