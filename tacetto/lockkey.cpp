#include "tacetto/lockkey.h"

#include "common/win_api.h"
#include "tacetto/globals.h"
#include "tacetto/platform.h"

void SetLockKey(const int32_t& muted) {
  const int32_t state = (CfgLockInvert == 1) ? 1 - muted : muted;
  Keyboard& keyboard = Keys();
  uint8_t keys[256] = {};
  keyboard.GetState(keys);
  const uint8_t lockKey = (CfgLockKey == 0) ? VK_NUMLOCK : VK_SCROLL;
  keys[lockKey] = static_cast<uint8_t>(state);
  keyboard.KeyEvent(lockKey, 0, KEYEVENTF_EXTENDEDKEY);
  keyboard.KeyEvent(lockKey, 0, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP);
  keyboard.SetState(keys);
}
