// Division of a 64-bit value by a divisor below 65536.
#pragma once

#include <cstdint>

struct SmallQuotient {
  uint64_t quotient;
  uint32_t remainder;
};

// Long division over the value's four 16-bit pieces, each step within 32 bits: the 32-bit
// programs then link no 64-bit division helpers. The divisor must be 1 to 65535.
inline SmallQuotient DivideBySmall(uint64_t value, uint32_t divisor) {
  SmallQuotient result = {0, 0};
  for (int shift = 48; shift >= 0; shift -= 16) {
    const uint32_t part =
        (result.remainder << 16) | static_cast<uint32_t>((value >> shift) & 0xFFFF);
    result.quotient = (result.quotient << 16) | (part / divisor);
    result.remainder = part % divisor;
  }
  return result;
}
