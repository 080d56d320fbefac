// The capture endpoint's path (Windows 6 and later): the wave input of the configured mixer, the
// endpoint's mute flag over whole runs, each step failing.
#include "tacetto/level_channel.h"

#include <gtest/gtest.h>

#include "common/win_api.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_window_system.h"
#include "tacetto/globals.h"
#include "tacetto/main.h"
#include "tacetto/volume.h"

namespace {

using Names = std::vector<std::string>;

TEST(EndpointPath, UsesTheFirstWaveInputOfTheConfiguredMixer) {
  const struct {
    std::vector<uint32_t> mixerOfWaveIn;
    int32_t result;
    std::vector<uint32_t> queried;
  } cases[] = {{{0, 3, 1, 1}, 50, {2}}, {{0, 2}, -1, {}}};  // no wave input: a bad device
  for (const auto& c : cases) {
    FakeWindowSystem ui;
    FakeTacettoPlatform platform;
    CfgDevice = CfgLine = 1;
    platform.endpoints.version = 10;
    platform.endpoints.mixerOfWaveIn = c.mixerOfWaveIn;
    EXPECT_EQ(SwitchVolume(-1), c.result);
    EXPECT_EQ(platform.endpoints.queriedWaveIns, c.queried);
    EXPECT_EQ(platform.mixer.calls, (Names{"open", "line", "controls", "close"}));
    if (c.result == -1) {
      EXPECT_EQ(ui.boxes.at(0).text, "error #2 calling mixergetid()");
    } else {
      EXPECT_EQ(platform.endpoints.calls,
                (Names{"mixerid", "mixerid", "mixerid", "endpointid", "enumerator", "device",
                       "activate", "get", "getmute", "release"}));
    }
  }
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
    ui.script.assign(c.presses, {WM_HOTKEY, 0, 0});
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

TEST(EndpointPath, EachStepFailingIsShownAndClosesTheMixerOnce) {
  const struct {
    const char* step;
    uint32_t code;
    const char* text;
  } cases[] = {
      {"mixerid", 6, "error #6 calling mixergetid()"},
      {"endpointid", 8, "error #8 calling waveinmessage()"},
      {"enumerator", 0x80040154, "error #2147746132 calling cocreateinstance()"},
      {"device", 0x80070490, "error #2147943568 calling getdevice()"},
      {"activate", 0x80004002, "error #2147500034 calling activate()"},
      {"get", 0x80004005, "error #2147500037 calling getmastervolumelevelscalar()"},
      {"set", 0x80004001, "error #2147500033 calling setmastervolumelevelscalar()"},
      {"getmute", 0x8000FFFF, "error #2147549183 calling getmute()"},
      {"setmute", 0x80070005, "error #2147942405 calling setmute()"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    FakeWindowSystem ui;
    FakeTacettoPlatform platform;
    CfgDevice = CfgLine = 1;
    platform.endpoints.version = 6;
    platform.endpoints.failStep = c.step;
    platform.endpoints.failCode = c.code;
    EXPECT_EQ(SwitchVolume(30), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, c.text);
    EXPECT_EQ(ui.boxes[0].caption, "Tacetto");
    EXPECT_EQ(ui.boxes[0].style, 0x2010u);
    EXPECT_EQ(platform.mixer.closes, 1);
    EXPECT_EQ(platform.endpoints.releases, 1);
  }
}

}  // namespace
