// The sample configuration shipped with the programs reads as its explanation says.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "fakes/fake_platform.h"
#include "fakes/fake_window_system.h"
#include "tacetto/config.h"
#include "tacetto/globals.h"

namespace {

TEST(SampleConfig, SixWorkingLinesAndTheExplanationIgnored) {
  std::ifstream file(SAMPLE_CONFIG_PATH, std::ios::binary);
  ASSERT_TRUE(file.good()) << SAMPLE_CONFIG_PATH;
  std::stringstream content;
  content << file.rdbuf();

  FakeWindowSystem ui;
  FakeTacettoPlatform platform;
  platform.file.content = content.str();
  EXPECT_EQ(ReadConfig(), 0);
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_EQ(CfgDevice, 0);
  EXPECT_EQ(CfgLine, 1);      // microphone
  EXPECT_EQ(CfgHotkey, 845);  // Ctrl+Alt+M
  EXPECT_EQ(CfgVolume, 80);
  EXPECT_EQ(CfgLockKey, 1);  // Scroll Lock
  EXPECT_EQ(CfgLockInvert, 0);
  // The explanation starts after the sixth line end: the reader stops before it.
  size_t sixthLineEnd = 0;
  for (int line = 0; line < 6; ++line) {
    sixthLineEnd = content.str().find("\r\n", sixthLineEnd) + 2;
  }
  EXPECT_LE(platform.file.bytesRead, sixthLineEnd + platform.file.maxChunk);
}

}  // namespace
