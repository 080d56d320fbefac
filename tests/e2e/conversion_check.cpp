// Checks the endpoint conversions in the arithmetic of the build that runs it: every float from
// 0 to 1 against the exact product rounded half up, every level against the nearest float.
// The reference decides by exact integer comparisons, never by computing the result the way
// the conversions do. Prints the counts; exit code 0 only when everything agrees.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "tacetto/level_scale.h"

namespace {

// A float in [0, 1] as mantissa / 2^shift.
struct Exact {
  uint64_t mantissa;
  uint32_t shift;
};

Exact Decode(uint32_t bits) {
  const uint32_t exponent = bits >> 23;
  const uint64_t fraction = bits & 0x7FFFFF;
  if (exponent == 0) {
    return {fraction, 149};
  }
  return {fraction | 0x800000, 150 - exponent};
}

// level - 1/2 <= mantissa * 65535 / 2^shift < level + 1/2, the product taken exactly.
bool IsRoundedHalfUp(uint32_t bits, uint32_t level) {
  const Exact x = Decode(bits);
  const uint64_t twiceProduct = 2 * x.mantissa * 65535;  // below 2^41
  if (x.shift > 41) {
    return level == 0;  // the product is below one half
  }
  const uint64_t twiceLevel = 2 * static_cast<uint64_t>(level);
  const uint64_t low = twiceLevel == 0 ? 0 : (twiceLevel - 1) << x.shift;
  const uint64_t high = (twiceLevel + 1) << x.shift;
  return low <= twiceProduct && twiceProduct < high;
}

// |value(bits) - level / 65535| scaled by 65535 * 2^40 (every float at or above 1/65535 has a
// shift of at most 40, so the scaling is exact).
uint64_t Distance(uint32_t bits, uint32_t level) {
  const Exact x = Decode(bits);
  const uint64_t scaledValue = (x.mantissa * 65535) << (40 - x.shift);
  const uint64_t scaledLevel = static_cast<uint64_t>(level) << 40;
  return scaledValue > scaledLevel ? scaledValue - scaledLevel : scaledLevel - scaledValue;
}

// The float is the nearest to level / 65535: neither neighbour is nearer, and a tie goes to the
// even mantissa.
bool IsNearest(uint32_t bits, uint32_t level) {
  if (level == 0) {
    return bits == 0;
  }
  const uint64_t own = Distance(bits, level);
  const uint32_t neighbours[] = {bits - 1, bits + 1};
  for (const uint32_t neighbour : neighbours) {
    const uint64_t other = Distance(neighbour, level);
    if (other < own || (other == own && (neighbour & 1) == 0)) {
      return false;
    }
  }
  return true;
}

}  // namespace

int main() {
  const uint32_t lastScalar = 0x3F800000;  // 1.0f
  uint32_t scalarsRight = 0;
  uint32_t firstWrong = 0;
  for (uint32_t bits = 0;; ++bits) {
    float scalar = 0.0f;
    memcpy(&scalar, &bits, sizeof scalar);
    if (IsRoundedHalfUp(bits, LevelFromScalar(scalar))) {
      ++scalarsRight;
    } else if (scalarsRight == bits) {
      firstWrong = bits;
    }
    if (bits == lastScalar) {
      break;
    }
  }
  const uint32_t scalars = lastScalar + 1;
  uint32_t levelsRight = 0;
  for (uint32_t level = 0; level <= 65535; ++level) {
    const float scalar = ScalarFromLevel(level);
    uint32_t bits = 0;
    memcpy(&bits, &scalar, sizeof bits);
    if (IsNearest(bits, level) && LevelFromScalar(scalar) == level) {
      ++levelsRight;
    }
  }
  printf("conversion check: %u of %u scalars, %u of 65536 levels\n", scalarsRight, scalars,
         levelsRight);
  if (scalarsRight != scalars) {
    printf("first scalar wrong: 0x%08X\n", firstWrong);
  }
  fflush(stdout);
  return scalarsRight == scalars && levelsRight == 65536 ? 0 : 1;
}
