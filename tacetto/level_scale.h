// The level of the recording line (full scale 65535) against the percent shown, and against the
// capture endpoint's master scalar (0 to 1). All of them work with integers only, so that the
// x87 unit of the 32-bit build and the SSE unit of the 64-bit build give the same results.
#pragma once

#include <cstdint>

// level = percent * 65535 / 100 truncated, the low 32 bits of the signed 64-bit product.
uint32_t LevelFromPercent(int32_t percent);
// percent = floor(level * 100 / 65535 + 0.49f), the level taken as unsigned.
int32_t PercentFromLevel(uint32_t level);

// The exact product scalar * 65535 rounded half up; 0 for scalars of 0 or less and NaN, 65535
// for 1 or more.
uint32_t LevelFromScalar(float scalar);
// The float nearest to min(level, 65535) / 65535, ties to even. Levels above full scale
// (percentages above 100) are clamped for the endpoint only.
float ScalarFromLevel(uint32_t level);
