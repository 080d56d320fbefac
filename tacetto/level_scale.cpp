#include "tacetto/level_scale.h"

#include <cstring>

#include "common/small_division.h"

namespace {

constexpr uint32_t kFullScale = 65535;
constexpr uint32_t kSignBit = 0x80000000;
constexpr uint32_t kPositiveInfinity = 0x7F800000;
constexpr uint32_t kOne = 0x3F800000;
constexpr uint32_t kHiddenBit = 0x00800000;  // the implicit 1 of a normal float's mantissa
constexpr uint32_t kMantissaMask = 0x007FFFFF;

// The rounding constant is 0.49 in single precision: 0x3EFAE148 = 2055209 / 2^22.
constexpr uint64_t kRoundingNumerator = 2055209;
constexpr uint64_t kRoundingShift = 22;

}  // namespace

uint32_t LevelFromPercent(int32_t percent) {
  // percent = 100 * hundreds + rest, the rest of the percent's sign: the product splits into
  // 32-bit parts (no 64-bit division helpers), added modulo 2^32.
  const int32_t hundreds = percent / 100;
  const int32_t rest = percent % 100;
  return static_cast<uint32_t>(hundreds) * kFullScale +
         static_cast<uint32_t>(rest * static_cast<int32_t>(kFullScale) / 100);
}

int32_t PercentFromLevel(uint32_t level) {
  // floor((level * 100 * 2^22 + 2055209 * 65535) / (65535 * 2^22)) in 32-bit steps (no 64-bit
  // division helpers): dividing by 2^22 first leaves floor((level * 100 + 32112) / 65535), and
  // the level is 65535 * (level / 65535) + level % 65535.
  constexpr auto kRounding =
      static_cast<uint32_t>(kRoundingNumerator * kFullScale >> kRoundingShift);
  const uint32_t rest = level % kFullScale * 100 + kRounding;  // below 2^23
  return static_cast<int32_t>(level / kFullScale * 100 + rest / kFullScale);
}

uint32_t LevelFromScalar(float scalar) {
  uint32_t bits = 0;
  memcpy(&bits, &scalar, sizeof bits);
  if ((bits & kSignBit) != 0 || bits > kPositiveInfinity) {
    return 0;  // negative, -0 or NaN
  }
  if (bits >= kOne) {
    return kFullScale;
  }
  // scalar = mantissa / 2^shift exactly, with shift 24 or more below 1.
  const uint32_t exponent = bits >> 23;
  const uint64_t mantissa =
      exponent == 0 ? (bits & kMantissaMask) : (bits & kMantissaMask) | kHiddenBit;
  const uint32_t shift = exponent == 0 ? 149 : 150 - exponent;
  const uint64_t product = mantissa * kFullScale;  // below 2^40
  if (shift > 40) {
    return 0;  // the product is below one half
  }
  return static_cast<uint32_t>((product + (uint64_t{1} << (shift - 1))) >> shift);
}

float ScalarFromLevel(uint32_t level) {
  uint32_t bits = 0;
  if (level >= kFullScale) {
    bits = kOne;
  } else if (level != 0) {
    // The smallest shift that puts the quotient level * 2^shift / 65535 into [2^23, 2^24): the
    // float's 24-bit mantissa, whose value is then mantissa / 2^shift.
    const uint64_t wide = level;
    uint32_t shift = 24;
    while ((wide << shift) < (uint64_t{kFullScale} << 23)) {
      ++shift;
    }
    const SmallQuotient division = DivideBySmall(wide << shift, kFullScale);
    uint64_t mantissa = division.quotient;
    const uint32_t twiceRemainder = 2 * division.remainder;
    if (twiceRemainder > kFullScale || (twiceRemainder == kFullScale && (mantissa & 1) != 0)) {
      ++mantissa;  // a mantissa rounded up to 2^24 carries into the exponent below
    }
    bits = static_cast<uint32_t>(((150 - shift) << 23) + mantissa - kHiddenBit);
  }
  float scalar = 0.0f;
  memcpy(&scalar, &bits, sizeof scalar);
  return scalar;
}
