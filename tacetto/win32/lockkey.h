// A keyboard lock key whose light follows the mute state.
#pragma once

#include <cstdint>

// Makes the light of the lock key (Num Lock when CfgLockKey is 0, else Scroll Lock) show `muted`
// (1 muted, 0 live; the other way round when CfgLockInvert is 1), whatever it showed before: the
// key is struck once when the light differs, and the call returns once the light shows it, or
// after 100 ms; from then on a thread timer strikes it again every 500 ms until it does.
void SetLockKey(const int32_t& muted);

// At the end of the run: the light live, struck again for up to 2 s while the stroke has not
// shown, since no message loop is left for the timer.
void LeaveLockKeyLive();
