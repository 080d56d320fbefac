// The mixer level (0..65535) and the percent shown, both ways.
#include "tacetto/volume.h"

#include <gtest/gtest.h>

namespace {

TEST(Conversions, PercentToLevelTruncatesAndWraps) {
  const struct {
    int32_t percent;
    uint32_t level;
  } cases[] = {
      // clang-format off
      {0, 0}, {1, 655}, {3, 1966}, {50, 32767}, {80, 52428}, {99, 64879}, {100, 65535},
      {150, 98302}, {-5, 4294964020u}, {-1, 4294966641u}, {6553700, 4294967295u},
      // clang-format on
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LevelFromPercent(c.percent), c.level) << c.percent;
  }
}

// 334 is still 0 % with 0.49 added (0.5 would make it 1 %), 335 is 1 %.
TEST(Conversions, LevelToPercentAddsFortyNineHundredths) {
  const struct {
    uint32_t level;
    int32_t percent;
  } cases[] = {
      // clang-format off
      {0, 0}, {334, 0}, {335, 1}, {989, 1}, {990, 2}, {32767, 50}, {32768, 50}, {65213, 99},
      {65214, 100}, {65535, 100}, {98302, 150}, {4294964020u, 6553695}, {4294967295u, 6553700},
      // clang-format on
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PercentFromLevel(c.level), c.percent) << c.level;
  }
}

}  // namespace
