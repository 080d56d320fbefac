// The level of the line against the percent shown and against the endpoint's scalar.
#include "tacetto/level_scale.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(Conversions, PercentToLevelTruncatesAndWraps) {
  const struct {
    int32_t percent;
    uint32_t level;
  } cases[] = {
      // clang-format off
      {0, 0}, {1, 655}, {3, 1966}, {50, 32767}, {80, 52428}, {99, 64879}, {100, 65535},
      {150, 98302}, {-105, 4294898485u}, {-1, 4294966641u}, {6553700, 4294967295u},
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

float FromBits(uint32_t bits) {
  float value = 0.0f;
  memcpy(&value, &bits, sizeof value);
  return value;
}

uint32_t Bits(float value) {
  uint32_t bits = 0;
  memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Exact products worked out with rational arithmetic; the float product rounds several of them.
TEST(LevelScale, LevelIsTheExactProductRoundedHalfUp) {
  const struct {
    uint32_t scalarBits;
    uint32_t level;  // exact scalar * 65535 in the comment
  } cases[] = {
      {0x00000000, 0},     {0x80000000, 0},      // +0, -0
      {0xBF000000, 0},     {0x7FC00000, 0},      // -0.5, NaN
      {0xFFC00000, 0},     {0x00000001, 0},      // -NaN, the smallest denormal
      {0x37000080, 0},                           // 0.4999999998835847
      {0x377FFFFF, 1},                           // 0.9999846816072022
      {0x3BA740A7, 334},                         // 334.49999229284003 (the SSE float sum gave 335)
      {0x3BA700A7, 334},                         // 333.99999992223457
      {0x3BA780A7, 335},                         // 334.9999846634455
      {0x3F000000, 32768},                       // 32767.5 exactly: half up
      {0x3F7FFF7F, 65534},                       // 65534.496101439
      {0x3F7FFF80, 65535},                       // 65534.500007629395
      {0x3F800000, 65535}, {0x3FC00000, 65535},  // 1, 1.5
      {0x7F800000, 65535},                       // +infinity
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LevelFromScalar(FromBits(c.scalarBits)), c.level) << std::hex << c.scalarBits;
  }
}

// Level 0 and the levels from 65535 on, which the loop below leaves out: 0, and 1 (150 % and -5 %
// clamped).
TEST(LevelScale, ScalarOfTheLevelsAtAndBeyondTheEnds) {
  const struct {
    uint32_t level;
    uint32_t scalarBits;
  } cases[] = {
      {0, 0x00000000}, {65535, 0x3F800000}, {98302, 0x3F800000}, {4294964020u, 0x3F800000}};
  for (const auto& c : cases) {
    EXPECT_EQ(Bits(ScalarFromLevel(c.level)), c.scalarBits) << c.level;
  }
}

// Levels 1 to 65534 against the exact quotient: the scalar m / 2^s is the float nearest to
// level / 65535, that is 2 |m * 65535 - level * 2^s| < 65535 (half a unit in the last place; an
// odd bound, so there is no tie), or half that when m = 2^23 lies above the quotient, where the
// float below is nearer by half; and the scalar reads back as the level.
TEST(LevelScale, EveryLevelToTheNearestFloatAndBack) {
  for (uint32_t level = 1; level < 65535; ++level) {
    const uint32_t bits = Bits(ScalarFromLevel(level));
    const uint64_t mantissa = (bits & 0x7FFFFF) | 0x800000;
    const uint32_t shift = 150 - (bits >> 23);  // 24 to 40 for scalars in (0, 1)
    ASSERT_TRUE(bits < 0x3F800000 && shift >= 24 && shift <= 40) << level;
    const int64_t twiceError =
        2 * (static_cast<int64_t>(mantissa * 65535) - (static_cast<int64_t>(level) << shift));
    const int64_t above = mantissa == 0x800000 && twiceError > 0 ? 2 * twiceError : twiceError;
    ASSERT_TRUE(above < 65535 && twiceError > -65535) << level;
    ASSERT_EQ(LevelFromScalar(FromBits(bits)), level) << level;
  }
}

}  // namespace
