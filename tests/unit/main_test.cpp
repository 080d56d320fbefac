#include "tacetto/main.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/win_api.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_window_system.h"
#include "tacetto/globals.h"

namespace {

class RunTacettoTest : public ::testing::Test {
 protected:
  FakeWindowSystem ui;
  FakeTacettoPlatform platform;

  void Config(const char* text) { platform.file.content = text; }
  void Press() { ui.script.push_back({WM_HOTKEY, 0, 0}); }
  size_t KeyboardCalls(const char* name) const {
    return static_cast<size_t>(
        std::count(platform.keyboard.log.begin(), platform.keyboard.log.end(), name));
  }
};

TEST_F(RunTacettoTest, IncompleteConfigurationEndsBeforeMixerKeyboardAndWindow) {
  platform.file.exists = false;
  EXPECT_EQ(RunTacetto(), 0);
  EXPECT_EQ(ui.boxes.size(), 2u);
  EXPECT_TRUE(platform.mixer.calls.empty());
  EXPECT_TRUE(platform.keyboard.log.empty());
  EXPECT_TRUE(ui.templates.empty());
}

TEST_F(RunTacettoTest, MutedAtCloseTheLineAndKeyboardAreRestored) {
  Config("1\r\n1\r\n582\r\n80\r\n0\r\n0\r\n");
  platform.keyboard.state[0x41] = 0x80;
  Press();  // mute, then close while muted
  EXPECT_EQ(RunTacetto(), 0);
  EXPECT_EQ(UnmutedVolume, 80);
  EXPECT_EQ(platform.mixer.written, (std::vector<uint32_t>{52428, 0, 52428}));
  EXPECT_EQ(platform.mixer.opens, 3);
  EXPECT_EQ(platform.mixer.closes, 3);
  // Saved after the start-up stroke, written back before the final stroke: get (start stroke),
  // get (saved), get/set (press), set (restored), get/set (exit stroke).
  const std::vector<std::string>& log = platform.keyboard.log;
  const std::vector<std::string> expected = {"get", "event", "event", "set", "get",
                                             "get", "event", "event", "set", "set",
                                             "get", "event", "event", "set"};
  EXPECT_EQ(log, expected);
  ASSERT_EQ(platform.keyboard.written.size(), 4u);
  EXPECT_EQ(platform.keyboard.written[2][0x41], 0x80);  // the saved table
  EXPECT_EQ(platform.keyboard.written[2][0x90], 0);     // as it was after the start stroke
  EXPECT_EQ(ui.unregistered.size(), 1u);
}

TEST_F(RunTacettoTest, StartVolumeMinusOneKeepsThePresentLevel) {
  Config("1\r\n\r\n582\r\n-1");
  platform.mixer.level = 32768;
  Press();
  Press();
  EXPECT_EQ(RunTacetto(), 0);
  EXPECT_EQ(UnmutedVolume, 50);
  EXPECT_EQ(platform.mixer.written, (std::vector<uint32_t>{0, 32767, 32767}));
  EXPECT_EQ(KeyboardCalls("event"), 6u);  // no stroke at start
}

TEST_F(RunTacettoTest, StartVolumeZeroTakesTheMuteRow) {
  Config("1\r\n\r\n582\r\n0");
  Press();
  EXPECT_EQ(RunTacetto(), 0);
  EXPECT_EQ(platform.mixer.written, (std::vector<uint32_t>{0, 0, 0}));
  EXPECT_EQ(platform.keyboard.written.at(0)[0x90], 1);  // muted at start
  EXPECT_EQ(ui.itemTexts.at(201), "Mikrofon/Line-Volume: 0%");
}

TEST_F(RunTacettoTest, SessionEndWhileMutedRestoresOnceAtTheMessage) {
  Config("1\r\n\r\n582\r\n80");
  Press();                                     // muted
  ui.script.push_back({WM_ENDSESSION, 0, 0});  // the end was cancelled: nothing to do
  ui.script.push_back({WM_ENDSESSION, 1, 0});
  ui.script.push_back({WM_ENDSESSION, 1, 0});
  size_t writesBeforeClose = 0;
  ui.onClose = [&] { writesBeforeClose = platform.mixer.written.size(); };
  EXPECT_EQ(RunTacetto(), 0);
  EXPECT_EQ(writesBeforeClose, 3u);
  // Start, press, the restore at the session end, and no second restore after the window.
  EXPECT_EQ(platform.mixer.written, (std::vector<uint32_t>{52428, 0, 52428}));
  EXPECT_EQ(platform.mixer.opens, 3);
  EXPECT_EQ(KeyboardCalls("set"), 4u);  // three strokes and the saved table, once
}

}  // namespace
