#include "tacetto/level_channel.h"

#include <gtest/gtest.h>

#include "common/win_api.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_window_system.h"
#include "tacetto/globals.h"
#include "tacetto/level_scale.h"
#include "tacetto/main.h"
#include "tacetto/volume.h"

namespace {

class EndpointPathTest : public ::testing::Test {
 protected:
  FakeWindowSystem ui;
  FakeTacettoPlatform platform;
  FakeEndpoints& endpoints = platform.endpoints;

  void SetUp() override {
    CfgDevice = 1;
    CfgLine = 1;
    endpoints.version = 10;
  }
};

TEST_F(EndpointPathTest, TheVersionTheProgramSeesChoosesThePath) {
  const struct {
    uint32_t version;
    bool endpoint;
  } cases[] = {{4, false}, {5, false}, {6, true}, {10, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version);
    FakeWindowSystem caseUi;
    FakeTacettoPlatform casePlatform;
    CfgDevice = 1;
    casePlatform.endpoints.version = c.version;
    casePlatform.mixer.level = 13107;  // 20 %
    casePlatform.endpoints.scalar = 0.75f;
    EXPECT_EQ(SwitchVolume(-1), c.endpoint ? 75 : 20);
    EXPECT_EQ(SwitchVolume(40), 40);
    // The classic read and write run only on the classic path.
    const bool classicRead = casePlatform.mixer.CallNames().at(3) == "read";
    EXPECT_EQ(classicRead, !c.endpoint);
    EXPECT_EQ(casePlatform.mixer.written.size(), c.endpoint ? 0u : 1u);
    EXPECT_EQ(casePlatform.endpoints.written.size(), c.endpoint ? 1u : 0u);
    EXPECT_EQ(casePlatform.endpoints.releases, c.endpoint ? 2 : 0);
  }
}

TEST_F(EndpointPathTest, FindsTheWaveInputOfTheConfiguredMixer) {
  endpoints.mixerOfWaveIn = {0, 3, 1, 1};
  CfgDevice = 1;
  EXPECT_EQ(SwitchVolume(-1), 50);
  EXPECT_EQ(endpoints.queriedWaveIns, (std::vector<uint32_t>{2}));
  EXPECT_EQ(endpoints.calls,
            (std::vector<std::string>{"mixerid", "mixerid", "mixerid", "endpointid", "enumerator",
                                      "device", "activate", "get", "getmute", "release"}));
  // The classic steps still come first and the mixer is closed after the endpoint is released.
  EXPECT_EQ(platform.mixer.CallNames(),
            (std::vector<std::string>{"open", "line", "controls", "close"}));
}

TEST_F(EndpointPathTest, TogglesTheEndpointAndClampsAboveFullScale) {
  UnmutedVolume = SwitchVolume(150);
  EXPECT_EQ(UnmutedVolume, 150);  // the result stays the mixer's conversion
  CurrentVolume = UnmutedVolume;
  CurrentVolume = SwitchVolume(UnmutedVolume);
  EXPECT_EQ(CurrentVolume, 0);
  CurrentVolume = SwitchVolume(UnmutedVolume);
  EXPECT_EQ(CurrentVolume, 150);
  EXPECT_EQ(endpoints.written, (std::vector<float>{1.0f, 0.0f, 1.0f}));
  EXPECT_EQ(platform.keyboard.strokes.size(), 6u);
}

// Whole runs: the flag as the user had it is read once at start, follows every mute and unmute
// after the level, and is put back by the restore at exit or at the end of the session.
TEST(EndpointMuteFlag, FollowsTheToggleAndIsPutBackAsFoundAtStart) {
  const struct {
    const char* startVolume;
    int32_t flagAtStart;
    int presses;
    bool sessionEnd;
    std::vector<int32_t> flagsWritten;  // start-up write, presses, restore
  } cases[] = {
      {"-1", 0, 2, false, {1, 0, 0}},  // read only at start: no flag written
      {"-1", 1, 2, true, {1, 0, 1}},   // muted in Windows before: muted again after
      {"0", 0, 1, true, {1, 1, 0}},    // start volume 0 mutes, every press mutes again
      {"80", 1, 1, false, {0, 1, 1}},  // a start level clears the flag, the restore sets it
      {"0", 1, 0, false, {1, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.startVolume) + " " + std::to_string(c.flagAtStart));
    FakeWindowSystem ui;
    FakeTacettoPlatform platform;
    FakeEndpoints& endpoints = platform.endpoints;
    endpoints.version = 10;
    endpoints.muted = c.flagAtStart;
    platform.file.content = std::string("1\r\n1\r\n582\r\n") + c.startVolume + "\r\n0\r\n0\r\n";
    for (int i = 0; i < c.presses; ++i) {
      ui.script.push_back({WM_HOTKEY, 0, 0});
    }
    if (c.sessionEnd) {
      ui.script.push_back({WM_ENDSESSION, 1, 0});
    }
    EXPECT_EQ(RunTacetto(), 0);
    EXPECT_TRUE(ui.boxes.empty());  // S_FALSE from SetMute is no error
    EXPECT_EQ(endpoints.mutesWritten, c.flagsWritten);
    EXPECT_EQ(endpoints.muted, c.flagAtStart);
    EXPECT_EQ(std::count(endpoints.calls.begin(), endpoints.calls.end(), "getmute"), 1);
    // Each flag is written right after its level.
    size_t flags = 0;
    for (size_t i = 0; i < endpoints.calls.size(); ++i) {
      if (endpoints.calls[i] == "setmute") {
        EXPECT_EQ(endpoints.calls.at(i - 1), "set");
        ++flags;
      }
    }
    EXPECT_EQ(flags, endpoints.written.size());
  }
}

TEST_F(EndpointPathTest, EachEndpointStepFailingIsShownAndClosesTheMixerOnce) {
  const struct {
    EndpointStep step;
    uint32_t code;
    const char* text;
  } cases[] = {
      {EndpointStep::kMixerId, 6, "error #6 calling mixergetid()"},
      {EndpointStep::kEndpointId, 8, "error #8 calling waveinmessage()"},
      {EndpointStep::kEnumerator, 0x80040154, "error #2147746132 calling cocreateinstance()"},
      {EndpointStep::kDevice, 0x80070490, "error #2147943568 calling getdevice()"},
      {EndpointStep::kActivate, 0x80004002, "error #2147500034 calling activate()"},
      {EndpointStep::kGet, 0x80004005, "error #2147500037 calling getmastervolumelevelscalar()"},
      {EndpointStep::kSet, 0x80004001, "error #2147500033 calling setmastervolumelevelscalar()"},
      {EndpointStep::kGetMute, 0x8000FFFF, "error #2147549183 calling getmute()"},
      {EndpointStep::kSetMute, 0x80070005, "error #2147942405 calling setmute()"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    FakeWindowSystem caseUi;
    FakeTacettoPlatform casePlatform;
    CfgDevice = 1;
    casePlatform.endpoints.version = 6;
    casePlatform.endpoints.failStep = c.step;
    casePlatform.endpoints.failCode = c.code;
    EXPECT_EQ(SwitchVolume(30), -1);
    ASSERT_EQ(caseUi.boxes.size(), 1u);
    EXPECT_EQ(caseUi.boxes[0].text, c.text);
    EXPECT_EQ(caseUi.boxes[0].caption, "Tacetto");
    EXPECT_EQ(caseUi.boxes[0].style, 0x2010u);
    EXPECT_EQ(casePlatform.mixer.closes, 1);
    EXPECT_EQ(casePlatform.endpoints.releases, 1);
  }
}

TEST_F(EndpointPathTest, NoWaveInputForTheMixerIsABadDevice) {
  endpoints.mixerOfWaveIn = {0, 2};
  EXPECT_EQ(SwitchVolume(-1), -1);
  EXPECT_EQ(ui.boxes.at(0).text, "error #2 calling mixergetid()");
  EXPECT_TRUE(endpoints.queriedWaveIns.empty());
}

TEST_F(EndpointPathTest, AFailedPressLeavesMinusOneAndTheNextPressUnmutes) {
  UnmutedVolume = CurrentVolume = 60;
  endpoints.failStep = EndpointStep::kSet;
  endpoints.failCode = 0x80004001;
  CurrentVolume = SwitchVolume(UnmutedVolume);
  EXPECT_EQ(CurrentVolume, -1);
  endpoints.failStep = EndpointStep::kNone;
  CurrentVolume = SwitchVolume(UnmutedVolume);
  EXPECT_EQ(CurrentVolume, 60);
  EXPECT_FLOAT_EQ(endpoints.scalar, ScalarFromLevel(LevelFromPercent(60)));
}

}  // namespace
