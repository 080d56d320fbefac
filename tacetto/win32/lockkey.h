// A keyboard lock key whose light follows the mute state.
#pragma once

#include <cstdint>

// Sets the lock key's entry to `muted` (inverted when CfgLockInvert is 1) and strikes the key:
// Num Lock when CfgLockKey is 0, else Scroll Lock.
void SetLockKey(const int32_t& muted);
