#include "tacetto/volume.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "fakes/fake_window_system.h"
#include "tacetto/globals.h"

namespace {

TEST(Conversions, PercentToLevelTruncatesAndWraps) {
  const struct {
    int32_t percent;
    uint32_t level;
  } cases[] = {
      {0, 0},           {1, 655},     {3, 1966},    {50, 32767},       {80, 52428},
      {99, 64879},      {100, 65535}, {150, 98302}, {-5, 4294964020u}, {6553700, 4294967295u},
      {-1, 4294966641u}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.percent);
    EXPECT_EQ(LevelFromPercent(c.percent), c.level);
  }
}

TEST(Conversions, LevelToPercentAddsFortyNineHundredths) {
  const struct {
    uint32_t level;
    int32_t percent;
  } cases[] = {{0, 0},
               {334, 0},
               {335, 1},
               {989, 1},
               {990, 2},
               {32767, 50},
               {32768, 50},
               {65213, 99},
               {65214, 100},
               {65535, 100},
               {98302, 150},
               {4294964020u, 6553695},
               {4294967295u, 6553700}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.level);
    EXPECT_EQ(PercentFromLevel(c.level), c.percent);
  }
}

TEST(Conversions, EveryPercentSurvivesTheRoundTrip) {
  for (int32_t percent = 0; percent <= 6553700; percent += (percent < 1000 ? 1 : 997)) {
    ASSERT_EQ(PercentFromLevel(LevelFromPercent(percent)), percent);
  }
  EXPECT_EQ(PercentFromLevel(LevelFromPercent(6553700)), 6553700);
}

class SwitchVolumeTest : public ::testing::Test {
 protected:
  FakeWindowSystem ui;
  FakeTacettoPlatform platform;
  FakeMixer& mixer = platform.mixer;

  void SetUp() override {
    CfgDevice = 1;
    CfgLine = 1;
  }

  int32_t Switch(int32_t request) { return SwitchVolume(request); }
  // The lock key entry written by the last SetLockKey.
  int LockEntry() const { return platform.keyboard.written.back()[0x90]; }
};

TEST_F(SwitchVolumeTest, CallsTheSixStepsInOrderWithTheConfiguredDeviceAndLine) {
  CfgDevice = 3;
  CurrentVolume = 0;
  EXPECT_EQ(Switch(80), 80);
  EXPECT_EQ(mixer.CallNames(),
            (std::vector<std::string>{"open", "line", "controls", "read", "write", "close"}));
  EXPECT_EQ(mixer.calls[0].argument, 3u);
  EXPECT_EQ(mixer.calls[1].argument, kComponentMicrophone);
  EXPECT_EQ(mixer.calls[2].argument, FakeMixer::kLineId);
  EXPECT_EQ(mixer.calls[3].argument, FakeMixer::kControlId);
  EXPECT_EQ(mixer.calls[4].argument, 52428u);
  EXPECT_EQ(mixer.calls[5].argument, FakeMixer::kHandle);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SwitchVolumeTest, LineZeroSelectsTheLineInputAnyOtherValueTheMicrophone) {
  const struct {
    int32_t line;
    uint32_t type;
  } cases[] = {{0, kComponentLine},
               {1, kComponentMicrophone},
               {-1, kComponentMicrophone},
               {7, kComponentMicrophone}};
  for (const auto& c : cases) {
    mixer.calls.clear();
    CfgLine = c.line;
    Switch(-1);
    EXPECT_EQ(mixer.calls.at(1).argument, c.type) << c.line;
  }
}

TEST_F(SwitchVolumeTest, ReadOnlyRequestWritesNothingAndStrikesNoKey) {
  mixer.level = 32768;
  EXPECT_EQ(Switch(-1), 50);
  EXPECT_TRUE(mixer.written.empty());
  EXPECT_TRUE(platform.keyboard.strokes.empty());
  EXPECT_EQ(mixer.closes, 1);
}

TEST_F(SwitchVolumeTest, ToggleRunWithStartVolumeEighty) {
  // Start-up, two presses, exit: the sequence of the callers.
  UnmutedVolume = Switch(80);
  CurrentVolume = UnmutedVolume;
  EXPECT_EQ(UnmutedVolume, 80);
  EXPECT_EQ(LockEntry(), 0);

  CurrentVolume = Switch(UnmutedVolume);
  EXPECT_EQ(CurrentVolume, 0);
  EXPECT_EQ(LockEntry(), 1);

  CurrentVolume = Switch(UnmutedVolume);
  EXPECT_EQ(CurrentVolume, 80);
  EXPECT_EQ(LockEntry(), 0);

  Switch(-2);
  EXPECT_EQ(LockEntry(), 0);
  EXPECT_EQ(mixer.written, (std::vector<uint32_t>{52428, 0, 52428, 52428}));
  EXPECT_EQ(platform.keyboard.strokes.size(), 8u);  // one down and one up per write
}

TEST_F(SwitchVolumeTest, DecisionRestsOnCurrentVolumeNotOnTheLevelRead) {
  UnmutedVolume = 60;
  CurrentVolume = 60;
  mixer.level = 0;  // another program muted the line meanwhile
  EXPECT_EQ(Switch(UnmutedVolume), 0);
  EXPECT_EQ(mixer.written.back(), 0u);
}

TEST_F(SwitchVolumeTest, UnmutedZeroMutesOnEveryPress) {
  UnmutedVolume = 0;
  CurrentVolume = 0;
  for (int press = 0; press < 3; ++press) {
    CurrentVolume = Switch(UnmutedVolume);
    EXPECT_EQ(CurrentVolume, 0);
    EXPECT_EQ(LockEntry(), 1);
  }
}

TEST_F(SwitchVolumeTest, OddStartRequests) {
  // -2 at start is a restore of the still-zero UnmutedVolume.
  EXPECT_EQ(Switch(-2), 0);
  EXPECT_EQ(LockEntry(), 0);
  EXPECT_EQ(mixer.written.back(), 0u);
  // Levels outside 0..100 are written unclamped.
  EXPECT_EQ(Switch(150), 150);
  EXPECT_EQ(mixer.written.back(), 98302u);
  EXPECT_EQ(Switch(-5), 6553695);
  EXPECT_EQ(mixer.written.back(), 4294964020u);
}

struct FailureCase {
  MixerStep step;
  uint32_t code;
  const char* text;
  int closes;
  size_t strokes;
};

TEST_F(SwitchVolumeTest, EachFailingStepShowsItsTextAndClosesAsRequired) {
  const FailureCase cases[] = {
      {MixerStep::kOpen, 2, "error #2 calling mixeropen()", 0, 0},
      {MixerStep::kLine, 1024, "error #1024 calling mixergetlineinfo()", 1, 0},
      {MixerStep::kControls, 1025, "error #1025 calling mixergetlinecontrols()", 1, 0},
      {MixerStep::kRead, 4294967295u, "error #4294967295 calling mixergetcontroldetails()", 1, 0},
      {MixerStep::kWrite, 7, "error #7 calling mixersetcontroldetails()", 1, 2},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.text);
    FakeWindowSystem caseUi;
    FakeTacettoPlatform casePlatform;
    CfgDevice = 1;
    casePlatform.mixer.failStep = c.step;
    casePlatform.mixer.failCode = c.code;
    EXPECT_EQ(SwitchVolume(50), -1);
    ASSERT_EQ(caseUi.boxes.size(), 1u);
    EXPECT_EQ(caseUi.boxes[0].text, c.text);
    EXPECT_EQ(caseUi.boxes[0].caption, "Tacetto");
    EXPECT_EQ(caseUi.boxes[0].style, 0x2010u);
    EXPECT_EQ(casePlatform.mixer.closes, c.closes);
    EXPECT_EQ(casePlatform.keyboard.strokes.size(), c.strokes);
    if (c.closes == 1) {
      EXPECT_EQ(casePlatform.mixer.calls.back().name, "close");  // after the box, last
    }
  }
}

TEST_F(SwitchVolumeTest, AnUnreadableControlFailsEvenTheReadOnlyRequest) {
  mixer.failStep = MixerStep::kRead;
  mixer.failCode = 1;
  EXPECT_EQ(Switch(-1), -1);
  EXPECT_EQ(ui.boxes.at(0).text, "error #1 calling mixergetcontroldetails()");
}

}  // namespace
