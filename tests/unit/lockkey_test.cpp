#include "tacetto/lockkey.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "tacetto/globals.h"

namespace {

TEST(SetLockKey, KeyAndEntryByConfiguration) {
  const struct {
    int32_t lockKey;
    int32_t invert;
    int32_t muted;
    uint8_t key;
    uint8_t entry;
  } cases[] = {
      {0, 0, 1, 0x90, 1}, {0, 0, 0, 0x90, 0},  {0, 1, 1, 0x90, 0},  {0, 1, 0, 0x90, 1},
      {1, 0, 1, 0x91, 1}, {2, 0, 0, 0x91, 0},  {-1, 1, 1, 0x91, 0}, {1, 1, 0, 0x91, 1},
      {0, 2, 1, 0x90, 1}, {0, -1, 0, 0x90, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lockKey << "/" << c.invert << "/" << c.muted);
    FakeTacettoPlatform platform;
    CfgLockKey = c.lockKey;
    CfgLockInvert = c.invert;
    SetLockKey(c.muted);
    ASSERT_EQ(platform.keyboard.strokes.size(), 2u);
    EXPECT_EQ(platform.keyboard.strokes[0].virtualKey, c.key);
    EXPECT_EQ(platform.keyboard.strokes[0].scanCode, 0);
    EXPECT_EQ(platform.keyboard.strokes[0].flags, 1u);  // extended, down
    EXPECT_EQ(platform.keyboard.strokes[1].virtualKey, c.key);
    EXPECT_EQ(platform.keyboard.strokes[1].flags, 3u);  // extended, up
    EXPECT_EQ(platform.keyboard.written.at(0)[c.key], c.entry);
  }
}

TEST(SetLockKey, ReadsBeforeTheStrokeWritesAfterAndChangesOnlyTheLockEntry) {
  FakeTacettoPlatform platform;
  for (int i = 0; i < 256; ++i) {
    platform.keyboard.state[i] = static_cast<uint8_t>(i * 7 + 3);
  }
  platform.keyboard.state[0x90] = 0x81;  // toggled and down: replaced as a whole
  const std::vector<uint8_t> before(platform.keyboard.state, platform.keyboard.state + 256);
  SetLockKey(1);
  EXPECT_EQ(platform.keyboard.log, (std::vector<std::string>{"get", "event", "event", "set"}));
  const std::vector<uint8_t>& after = platform.keyboard.written.at(0);
  for (int i = 0; i < 256; ++i) {
    if (i != 0x90) {
      EXPECT_EQ(after[i], before[i]) << i;
    }
  }
  EXPECT_EQ(after[0x90], 1);
}

}  // namespace
