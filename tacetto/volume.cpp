#include "tacetto/volume.h"

#include "common/text.h"
#include "common/window_system.h"
#include "tacetto/globals.h"
#include "tacetto/level_channel.h"
#include "tacetto/lockkey.h"
#include "tacetto/platform.h"

int32_t UnmutedVolume = 0;
int32_t CurrentVolume = 0;

namespace {

constexpr int32_t kReadOnly = -1;
constexpr int32_t kRestore = -2;

// The rounding constant is 0.49 in single precision: 0x3EFAE148 = 2055209 / 2^22.
constexpr uint64_t kRoundingNumerator = 2055209;
constexpr uint64_t kRoundingShift = 22;

int32_t ShowMixerError(uint32_t code, const char* call) {
  const Text text = "error #" + UnsignedDecimalText(code) + " calling " + call;
  Ui().ShowMessageBox(text.c_str(), kMixerErrorCaption, kMixerErrorStyle);
  return -1;
}

// On the opened device: the line, its volume control, the read, the decision and
// the write. Returns nullptr, or the failing call with its code.
const char* SwitchOpenedDevice(Mixer& mixer, MixerHandle handle, int32_t request, uint32_t& level,
                               uint32_t& code) {
  const uint32_t componentType = (CfgLine == 0) ? kComponentLine : kComponentMicrophone;
  uint32_t lineId = 0;
  if ((code = mixer.FindLine(handle, componentType, lineId)) != 0) {
    return "mixergetlineinfo()";
  }
  uint32_t controlId = 0;
  if ((code = mixer.FindVolumeControl(handle, lineId, controlId)) != 0) {
    return "mixergetlinecontrols()";
  }
  LevelChannel channel(mixer, handle, controlId);
  const char* failedCall = nullptr;
  if ((code = channel.Read(level, failedCall)) != 0) {
    return failedCall;
  }
  if (request == kReadOnly) {
    return nullptr;
  }
  int32_t muted = 0;
  // The endpoint's mute flag follows the lock key, except that a restore hands the flag back
  // as the user had it at start, whatever the level: the device leaves the tool as it was found
  // (a restore to a level of 0 is silent by its level).
  MuteFlag flag = MuteFlag::kClear;
  if (request == kRestore) {
    level = LevelFromPercent(UnmutedVolume);
    flag = MuteFlag::kAsAtStart;
  } else if (request == CurrentVolume) {
    level = 0;
    muted = 1;
    flag = MuteFlag::kSet;
  } else {
    level = LevelFromPercent(request);
  }
  SetLockKey(muted);
  if ((code = channel.Write(level, flag, failedCall)) != 0) {
    return failedCall;
  }
  return nullptr;
}

}  // namespace

uint32_t LevelFromPercent(int32_t percent) {
  const int64_t level = static_cast<int64_t>(percent) * 65535 / 100;
  return static_cast<uint32_t>(level);
}

int32_t PercentFromLevel(uint32_t level) {
  // floor((level * 100 * 2^22 + 2055209 * 65535) / (65535 * 2^22)), exact in 64 bits.
  const uint64_t numerator =
      (static_cast<uint64_t>(level) * 100 << kRoundingShift) + kRoundingNumerator * 65535;
  return static_cast<int32_t>(numerator / (65535ull << kRoundingShift));
}

int32_t SwitchVolume(const int32_t& request) {
  Mixer& mixer = MixerDevice();
  MixerHandle handle = 0;
  uint32_t code = mixer.Open(CfgDevice, handle);
  if (code != 0) {
    return ShowMixerError(code, "mixeropen()");
  }
  uint32_t level = 0;
  const char* failedCall = SwitchOpenedDevice(mixer, handle, request, level, code);
  if (failedCall != nullptr) {
    ShowMixerError(code, failedCall);
    mixer.Close(handle);
    return -1;
  }
  mixer.Close(handle);
  return PercentFromLevel(level);
}
