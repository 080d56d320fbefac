#include "tacetto/volume_window.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/win_api.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_window_system.h"
#include "tacetto/globals.h"

namespace {

class VolumeWindowTest : public ::testing::Test {
 protected:
  FakeWindowSystem ui;
  FakeTacettoPlatform platform;

  void SetUp() override {
    CfgDevice = 1;
    CfgLine = 1;
    CfgHotkey = 582;
    UnmutedVolume = CurrentVolume = 80;
  }

  void Press() { ui.script.push_back({WM_HOTKEY, 0xC123, 0x00460002}); }
  std::string Label() { return ui.itemTexts.at(kVolumeLabelId); }
};

TEST_F(VolumeWindowTest, BuildsTheHiddenTopmostToolWindowWithItsLabel) {
  RunVolumeWindow();
  ASSERT_EQ(ui.templates.size(), 1u);
  const std::vector<uint8_t>& t = ui.templates[0];
  EXPECT_EQ(t.at(8) | t.at(9) << 8, 0x88);  // ex style
  EXPECT_EQ(t.at(12) | t.at(13) << 8 | t.at(14) << 16 | t.at(15) << 24, 0x00080854);
  EXPECT_EQ(t.at(22) | t.at(23) << 8, 300);
  EXPECT_EQ(t.at(24) | t.at(25) << 8, 40);
  EXPECT_EQ(ui.windowText, "Tacetto v0.2alpha by Quorvel");
  ASSERT_EQ(ui.controls.size(), 1u);
  const ControlSpec& label = ui.controls[0];
  EXPECT_EQ(label.id, 201);
  EXPECT_STREQ(label.className, "STATIC");
  EXPECT_EQ(label.x, 5);
  EXPECT_EQ(label.y, 10);
  EXPECT_EQ(label.cx, 290);
  EXPECT_EQ(label.cy, 15);
  EXPECT_EQ(label.style, 0x50000001u);
  EXPECT_EQ(label.exStyle, 0u);
  EXPECT_STREQ(label.text,
               "Hotkey dr\xFC"
               "cken zum Lautst\xE4"
               "rke umschalten!");
  EXPECT_TRUE(ui.withheldActivate);
}

TEST_F(VolumeWindowTest, RegistersBeforeShowingAndReleasesOnDestroy) {
  CfgHotkey = 582 + 65536;  // bits above 15 are ignored
  ui.time = {0, 0, 0, 500};
  RunVolumeWindow();
  EXPECT_EQ(ui.log, (std::vector<std::string>{"CreateDialog", "SetText", "CreateControl 201",
                                              "EnableCallback", "AddGlobalAtom", "RegisterHotkey",
                                              "Show 5", "RunMessageLoop", "UnregisterHotkey",
                                              "DeleteGlobalAtom", "DestroyWindow"}));
  EXPECT_EQ(ui.atomNames, (std::vector<std::string>{"My Hotkey .5"}));
  ASSERT_EQ(ui.registrations.size(), 1u);
  EXPECT_EQ(ui.registrations[0].window, FakeWindowSystem::TheWindow());
  EXPECT_EQ(ui.registrations[0].id, 0xC123);  // the atom, zero-extended
  EXPECT_EQ(ui.registrations[0].modifiers, 2u);
  EXPECT_EQ(ui.registrations[0].keyCode, 70u);
  EXPECT_EQ(HotkeyAtom, 0xC123);
  EXPECT_EQ(ui.unregistered, (std::vector<int>{0xC123}));
  EXPECT_EQ(ui.deletedAtoms, (std::vector<uint16_t>{0xC123}));
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(VolumeWindowTest, ARefusedHotkeyIsReportedBeforeTheWindowShowsAndPressesDoNothing) {
  ui.registrationSucceeds = false;
  ui.nextAtom = 0;  // an atom that could not be created still serves as the identifier
  RunVolumeWindow();
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Hotkey bereits belegt!");
  EXPECT_EQ(ui.boxes[0].caption, "Veltrane");
  EXPECT_EQ(ui.boxes[0].style, 0x12000u);
  const auto box = std::find(ui.log.begin(), ui.log.end(), "MessageBox Hotkey bereits belegt!");
  const auto show = std::find(ui.log.begin(), ui.log.end(), "Show 5");
  EXPECT_LT(box, show);
  EXPECT_EQ(ui.registrations.at(0).id, 0);
  EXPECT_EQ(ui.unregistered, (std::vector<int>{0}));
  EXPECT_TRUE(platform.mixer.calls.empty());
}

TEST_F(VolumeWindowTest, EachPressTogglesAndWritesTheLevelIntoTheLabel) {
  Press();
  Press();
  Press();
  RunVolumeWindow();
  EXPECT_EQ(platform.mixer.written, (std::vector<uint32_t>{0, 52428, 0}));
  EXPECT_EQ(CurrentVolume, 0);
  EXPECT_EQ(Label(), "Mikrofon/Line-Volume: 0%");
  // Every press shows the window again before it switches.
  EXPECT_EQ(ui.shows, (std::vector<int>{SW_SHOW, SW_SHOWNORMAL, SW_SHOWNORMAL, SW_SHOWNORMAL}));
}

TEST_F(VolumeWindowTest, APressDuringAnErrorBoxIsHandledNestedAndTheFirstPressWritesLast) {
  platform.mixer.failStep = MixerStep::kWrite;
  platform.mixer.failCode = 5;
  std::vector<std::string> labels;
  ui.onMessageBox = [this, &labels](const ShownBox& box) {
    if (box.caption != "Tacetto") {
      return;
    }
    platform.mixer.failStep = MixerStep::kNone;
    ui.Deliver(WM_HOTKEY);  // the box's own loop dispatches the second press
    labels.push_back(Label());
  };
  Press();
  RunVolumeWindow();
  EXPECT_EQ(labels, (std::vector<std::string>{"Mikrofon/Line-Volume: 0%"}));
  EXPECT_EQ(platform.mixer.written, (std::vector<uint32_t>{0}));
  EXPECT_EQ(CurrentVolume, -1);
  EXPECT_EQ(Label(), "Mikrofon/Line-Volume: -1%");
}

TEST_F(VolumeWindowTest, TimerHidesTheWindowOtherMessagesDoNothing) {
  ui.script.push_back({WM_TIMER, 9, 0});
  ui.script.push_back({WM_COMMAND, 1, 0});  // Enter: IDOK is not handled
  ui.script.push_back({WM_COMMAND, 2, 0});  // Escape
  RunVolumeWindow();
  const auto timer = std::find(ui.log.begin(), ui.log.end(), "StopTimer 1");
  ASSERT_NE(timer, ui.log.end());
  EXPECT_EQ(*(timer + 1), "Show 0");
  EXPECT_EQ(Label(),
            "Hotkey dr\xFC"
            "cken zum Lautst\xE4"
            "rke umschalten!");
  EXPECT_TRUE(platform.mixer.calls.empty());
}

TEST_F(VolumeWindowTest, WithoutAWindowNothingIsRegisteredAndTheRunReturns) {
  ui.failDialog = true;
  RunVolumeWindow();
  EXPECT_EQ(ui.log, (std::vector<std::string>{"CreateDialog"}));
  EXPECT_TRUE(ui.registrations.empty());
}

}  // namespace
