#include "tacetto/win32/lockkey.h"

#include <windows.h>

#include "tacetto/win32/globals.h"

void SetLockKey(const int32_t& muted) {
  const int32_t state = CfgLockInvert == 1 ? 1 - muted : muted;
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  const BYTE lockKey = CfgLockKey == 0 ? VK_NUMLOCK : VK_SCROLL;
  keys[lockKey] = static_cast<BYTE>(state);
  keybd_event(lockKey, 0, KEYEVENTF_EXTENDEDKEY, 0);
  keybd_event(lockKey, 0, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
  SetKeyboardState(keys);
}
