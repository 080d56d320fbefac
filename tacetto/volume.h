// The recording line's volume: the toggle between silence and the unmuted level.
#pragma once

#include <cstdint>

// Request -1 reads the level, -2 restores UnmutedVolume, a value equal to CurrentVolume mutes,
// any other value sets that percentage. Returns the level in percent, or -1 after a failure
// that has been shown in a message box.
int32_t SwitchVolume(const int32_t& request);

// level = percent * 65535 / 100 truncated, the low 32 bits of the signed 64-bit product.
uint32_t LevelFromPercent(int32_t percent);
// percent = floor(level * 100 / 65535 + 0.49f).
int32_t PercentFromLevel(uint32_t level);
