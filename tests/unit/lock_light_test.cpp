// The lock light: which key shows the mute state, and whether a switch strikes it.
#include "tacetto/lock_light.h"

#include <gtest/gtest.h>

namespace {

TEST(LockLight, KeyStrokeAndStateShownFromLinesFiveAndSixAndTheLight) {
  const struct {
    int32_t line5, line6, muted, light;  // the request, and the light read before the stroke
    uint8_t key;
    bool strike;
    int32_t shown;  // the mute state that light showed
  } cases[] = {
      // Num Lock, on = muted: struck only to change the light.
      {0, 0, 1, 0, 0x90, true, 0},
      {0, 0, 1, 1, 0x90, false, 1},
      {0, 0, 0, 1, 0x90, true, 1},
      {0, 0, 0, 0, 0x90, false, 0},
      // Inverted by a 1 in line 6 only: on = live.
      {0, 1, 1, 0, 0x90, false, 1},
      {0, 1, 1, 1, 0x90, true, 0},
      {0, 1, 0, 0, 0x90, true, 1},
      {0, 1, 0, 1, 0x90, false, 0},
      {0, 2, 1, 0, 0x90, true, 0},
      {0, -1, 0, 1, 0x90, true, 1},
      // Scroll Lock for any line-5 value but 0.
      {1, 0, 1, 0, 0x91, true, 0},
      {2, 0, 0, 0, 0x91, false, 0},
      {-1, 1, 0, 0, 0x91, true, 1},
      {7, 2, 1, 1, 0x91, false, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "line 5 " << c.line5 << ", line 6 " << c.line6 << ", muted "
                                    << c.muted << ", light " << c.light);
    EXPECT_EQ(LockKeyOf(c.line5), c.key);
    EXPECT_EQ(LockKeyStrike(c.line6, c.muted, c.light), c.strike);
    EXPECT_EQ(MuteStateShown(c.line6, c.light), c.shown);
  }
}

}  // namespace
