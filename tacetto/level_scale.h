// The capture endpoint's master scalar (0 to 1) and the mixer level (full scale 65535). Both
// conversions work on the float's bits with integers only, so that the x87 unit of the 32-bit
// build and the SSE unit of the 64-bit build give the same level for every scalar.
#pragma once

#include <cstdint>

// The exact product scalar * 65535 rounded half up; 0 for scalars of 0 or less and NaN, 65535
// for 1 or more.
uint32_t LevelFromScalar(float scalar);
// The float nearest to min(level, 65535) / 65535, ties to even. Levels above full scale
// (percentages above 100) are clamped for the endpoint only.
float ScalarFromLevel(uint32_t level);
