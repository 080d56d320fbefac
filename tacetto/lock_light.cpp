#include "tacetto/lock_light.h"

namespace {

constexpr uint8_t kNumLock = 0x90;     // VK_NUMLOCK
constexpr uint8_t kScrollLock = 0x91;  // VK_SCROLL

}  // namespace

uint8_t LockKeyOf(int32_t cfgLockKey) {
  return cfgLockKey == 0 ? kNumLock : kScrollLock;
}

bool LockKeyStrike(int32_t cfgLockInvert, int32_t muted, int32_t light) {
  return MuteStateShown(cfgLockInvert, light) != muted;
}

int32_t MuteStateShown(int32_t cfgLockInvert, int32_t light) {
  return cfgLockInvert == 1 ? 1 - light : light;
}
