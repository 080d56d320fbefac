// The end-to-end driver's scenario: one row of scenarios.cpp run against one program, with what
// it has seen so far (driver.cpp, steps.cpp).
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "harness/desktop.h"
#include "tests/e2e/doubles/sound_state.h"
#include "tests/e2e/scenarios.h"

constexpr DWORD kStepMs = 5000;       // any single wait
constexpr DWORD kScenarioMs = 20000;  // a scenario, a hung program included
constexpr DWORD kSettleMs = 150;      // after a change of focus, before keys
constexpr DWORD kQuietMs = 700;       // in which what must not come would have come
constexpr int kFieldId = 1002, kButtonId = 1004;

using Lines = std::vector<std::string>;

Lines Split(const std::string& text, char separator);
std::string Join(const Lines& items, size_t from, size_t count = 9999);
// "a|@name x y|b": lines, a macro expanded with $1 = x, $2 = y.
Lines Expand(const std::string& pattern);
// The strokes the keyboard hook has recorded: "90vxi" is key 0x90 down (^ up), extended,
// injected.
Lines Strokes();
// The program's next `count` key events are recorded and kept from the system, as a program that
// swallows injected keys keeps them.
void SwallowKeyEvents(int count);
// How many of them are still to come.
int KeyEventsStillSwallowed();
// Another program reads the text of `window` over and over from now on; nullptr: no more.
void ReadWithoutPause(HWND window);
// Another program's window, hidden until a row puts it in front (driver.cpp).
HWND OtherProgramWindow();
// Empty when wine draws the tools' font with the face the rows' window sizes were taken with;
// else one line that names the face found and the package to install (steps.cpp).
std::string WrongFont();

struct Scenario {
  const Row& row;
  std::string folder, bin, twinFolder;                 // twinFolder: the other copy's
  PROCESS_INFORMATION process = {}, twinProcess = {};  // the copy the steps go to, and the other
  HWND window = nullptr, twinWindow = nullptr;
  std::vector<int> held;  // the driver's own hotkey registrations
  size_t logSeen = 0, strokesSeen = 0;
  int failures = 0, atomsBefore = 0;
  int dpi = 96;  // the program's screen DPI: the prefix's own unless the row sets another
  HANDLE shared = INVALID_HANDLE_VALUE;  // tacetto.cfg as another program holds it open

  Scenario(const Row& r, const std::string& f, const std::string& b) : row(r), folder(f), bin(b) {}

  void Check(const std::string& step, const std::string& expected, const std::string& actual) {
    if (expected != actual) {
      ++failures;
      printf("  %s: expected \"%s\", got \"%s\"\n", step.c_str(), expected.c_str(), actual.c_str());
    }
  }
  bool Tacetto() const { return strcmp(row.program, "tacetto") == 0; }
  int ConfigValue(size_t line) const {
    const Lines lines = Split(row.config != nullptr ? row.config : "", '/');
    return lines.size() > line ? atoi(lines[line].c_str()) : 0;
  }
  Sound SoundNow() {
    const SoundLock locked;  // not held while the tool is asked: its sound calls wait for it
    return LoadSound(folder + "\\sound.txt");
  }
  Lines LogLines() {
    std::string text;
    ReadFileBytes(folder + "\\sound.log", text);
    Lines lines = Split(text, '\n');
    lines.pop_back();  // after the last line end
    return lines;
  }
  // Waits for as many new items as expected and compares them; they count as seen either way.
  template <typename Source>
  void ExpectNew(const std::string& step, const Lines& expected, size_t& seen, Source source) {
    Lines items;
    Poll(kStepMs, [&] { return (items = source()).size() >= seen + expected.size(); });
    Check(step, Join(expected, 0), Join(items, seen, expected.size()));
    seen = std::min(items.size(), seen + expected.size());
  }
  // tacetto.cfg of these lines, each ended with CR LF.
  void WriteConfig(const Lines& lines) {
    std::string config;
    for (const std::string& line : lines) {
      config += line + "\r\n";
    }
    WriteFileBytes(folder + "\\tacetto.cfg", config);
  }
  int HotkeyAtoms() {
    int count = 0;
    for (UINT atom = 0xC000; atom <= 0xFFFF; ++atom) {
      char name[64] = {};
      count += GlobalGetAtomNameA(static_cast<ATOM>(atom), name, sizeof name) > 0 &&
               strncmp(name, "My Hotkey", 9) == 0;
    }
    return count;
  }
  DWORD_PTR FieldMessage(UINT message, WPARAM value) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(window, kFieldId), message, value, 0, SMTO_ABORTIFHUNG, kStepMs,
                        &result);
    return result;
  }

  // Both lock lights off before the program starts: struck off where they are on.
  void LightsOff();
  // Puts the program into the folder beside the planted libraries (once per folder) and starts
  // it there.
  bool Start();
  // One step of the row: an action, or what must be seen (scenarios.cpp).
  void Step(const std::string& line);
  // The steps client, inside and fits (measure.cpp).
  void SizeStep(const std::string& verb, const std::string& arg, const std::string& line);
  // The seeded random walk of the user's world (walk.cpp).
  void Walk();
  // The whole row, then what nobody expected: log lines, strokes, a planted library loaded.
  void Run();
};
