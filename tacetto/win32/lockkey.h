// A keyboard lock key whose light follows the mute state.
#pragma once

#include <windows.h>

#include <cstdint>

// Sent to the window given to StrikeAgainThrough every 500 ms while a stroke has not shown: it
// calls StrikeAgain.
constexpr UINT kStrikeAgain = WM_APP + 2;

// Makes the light of the lock key (Num Lock when CfgLockKey is 0, else Scroll Lock) show `muted`
// (1 muted, 0 live; the other way round when CfgLockInvert is 1), whatever it showed before: the
// key is struck once when the light differs, and the call returns once the light shows it, or
// after 100 ms; from then on it is struck again every 500 ms until it does.
void SetLockKey(const int32_t& muted);

// The window whose thread strikes again (nullptr: none), and the strike it makes on kStrikeAgain.
void StrikeAgainThrough(HWND window);
void StrikeAgain();

// At the end of the run: the light live, struck again for up to 2 s while the stroke has not
// shown, since no message loop is left for the timer.
void LeaveLockKeyLive();
