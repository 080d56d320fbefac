// The keyboard lock light that shows the mute state: which key, and whether it must be struck.
#pragma once

#include <cstdint>

// Num Lock (VK_NUMLOCK, 0x90) when line 5 is 0, else Scroll Lock (VK_SCROLL, 0x91).
uint8_t LockKeyOf(int32_t cfgLockKey);

// Whether the key must be struck once so that its light, now `light` (1 on), shows the mute state
// `muted` (1 muted, 0 live): on means muted, or live when line 6 is 1.
bool LockKeyStrike(int32_t cfgLockInvert, int32_t muted, int32_t light);

// The mute state that `light` shows (1 muted).
int32_t MuteStateShown(int32_t cfgLockInvert, int32_t light);
