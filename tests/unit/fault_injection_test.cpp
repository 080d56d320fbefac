// Every mixer step failing at start, on a press and at exit, and the window system refusing its
// part: the run always ends with exit code 0, the mixer is closed once for every open, and the
// line is never left without its unmuted level when the run gets that far.
#include <gtest/gtest.h>

#include <string>

#include "common/win_api.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_window_system.h"
#include "tacetto/globals.h"
#include "tacetto/main.h"

namespace {

struct Step {
  MixerStep step;
  const char* call;
};

const Step kSteps[] = {
    {MixerStep::kOpen, "mixeropen()"},
    {MixerStep::kLine, "mixergetlineinfo()"},
    {MixerStep::kControls, "mixergetlinecontrols()"},
    {MixerStep::kRead, "mixergetcontroldetails()"},
    {MixerStep::kWrite, "mixersetcontroldetails()"},
};

constexpr const char* kConfig = "1\r\n1\r\n582\r\n80\r\n1\r\n0\r\n";

// Mixer sessions: 1 start, 2 first press, 3 second press, 4 exit.
enum Phase { kStart = 1, kFirstPress = 2, kExit = 4 };

TEST(FaultInjection, EachMixerStepFailingAtEachPhase) {
  for (const Step& s : kSteps) {
    for (Phase phase : {kStart, kFirstPress, kExit}) {
      SCOPED_TRACE(testing::Message() << s.call << " in session " << phase);
      FakeWindowSystem ui;
      FakeTacettoPlatform platform;
      platform.file.content = kConfig;
      platform.mixer.failStep = s.step;
      platform.mixer.failCode = 1000 + static_cast<uint32_t>(phase);
      platform.mixer.failInSession = phase;
      ui.script = {{WM_HOTKEY, 0, 0}, {WM_HOTKEY, 0, 0}};
      std::vector<std::string> labels;
      ui.onClose = [&] { labels.push_back(ui.itemTexts.count(201) ? ui.itemTexts[201] : ""); };

      EXPECT_EQ(RunTacetto(), 0);

      ASSERT_EQ(ui.boxes.size(), 1u);
      EXPECT_EQ(ui.boxes[0].text, "error #" + std::to_string(1000 + phase) + " calling " + s.call);
      EXPECT_EQ(ui.boxes[0].caption, "Tacetto");
      // Closed once for every successful open, never for a failed one.
      EXPECT_EQ(platform.mixer.closes, platform.mixer.opens);
      if (phase == kStart) {
        EXPECT_EQ(platform.mixer.sessions, 1);  // no window, no final call
        EXPECT_TRUE(ui.templates.empty());
        continue;
      }
      EXPECT_EQ(platform.mixer.sessions, 4);
      if (phase == kFirstPress) {
        // The failed press shows -1; the second press unmutes (-1 differs from 80).
        EXPECT_EQ(CurrentVolume, 80);
        EXPECT_EQ(labels.at(0), "Mikrofon/Line-Volume: 80%");
      }
      // The second press unmuted the line whatever failed before or after it.
      EXPECT_EQ(platform.mixer.level, 52428u);
    }
  }
}

TEST(FaultInjection, AFailedPressShowsMinusOneUntilTheNextPress) {
  FakeWindowSystem ui;
  FakeTacettoPlatform platform;
  platform.file.content = kConfig;
  platform.mixer.failStep = MixerStep::kControls;
  platform.mixer.failCode = 1025;
  platform.mixer.failInSession = kFirstPress;
  ui.script = {{WM_HOTKEY, 0, 0}};
  EXPECT_EQ(RunTacetto(), 0);
  EXPECT_EQ(CurrentVolume, -1);
  EXPECT_EQ(ui.itemTexts.at(201), "Mikrofon/Line-Volume: -1%");
  EXPECT_EQ(platform.mixer.written, (std::vector<uint32_t>{52428, 52428}));  // start, exit
}

TEST(FaultInjection, WindowSystemRefusals) {
  struct Case {
    const char* name;
    bool failDialog, failControls, refuseHotkey;
    uint16_t atom;
    size_t boxes;
  };
  const Case cases[] = {
      {"no window", true, false, false, 0xC001, 0},
      {"no label", false, true, false, 0xC001, 0},
      {"no atom", false, false, false, 0, 0},
      {"hotkey refused", false, false, true, 0xC001, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWindowSystem ui;
    FakeTacettoPlatform platform;
    platform.file.content = kConfig;
    ui.failDialog = c.failDialog;
    ui.failControls = c.failControls;
    ui.registrationSucceeds = !c.refuseHotkey;
    ui.nextAtom = c.atom;
    ui.script = {{WM_HOTKEY, 0, 0}};
    EXPECT_EQ(RunTacetto(), 0);
    EXPECT_EQ(ui.boxes.size(), c.boxes);
    // The run returned and the line was put back to its unmuted level.
    EXPECT_EQ(platform.mixer.written.back(), 52428u);
    EXPECT_EQ(platform.keyboard.written.size(), platform.mixer.written.size() + 1);
    if (!c.failDialog) {
      EXPECT_EQ(ui.unregistered, (std::vector<int>{c.atom}));
      EXPECT_EQ(ui.deletedAtoms, (std::vector<uint16_t>{c.atom}));
    }
  }
}

}  // namespace
