#include "tacetto/level_scale.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

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

// The nearest floats to level / 65535, worked out with rational arithmetic.
TEST(LevelScale, ScalarIsTheNearestFloatAndReadsBackAsTheLevel) {
  const struct {
    uint32_t level;
    uint32_t scalarBits;
  } cases[] = {
      {0, 0x00000000},           {1, 0x37800080},     {334, 0x3BA700A7},
      {335, 0x3BA780A8},         {32767, 0x3EFFFF00}, {32768, 0x3F000080},
      {65534, 0x3F7FFF00},       {65535, 0x3F800000}, {98302, 0x3F800000},  // 150 % clamped
      {4294964020u, 0x3F800000},                                            // -5 %
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Bits(ScalarFromLevel(c.level)), c.scalarBits) << c.level;
    EXPECT_EQ(LevelFromScalar(FromBits(c.scalarBits)), c.level < 65535 ? c.level : 65535u);
  }
}

}  // namespace
