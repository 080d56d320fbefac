#include "tacetto/level_channel.h"

#include "tacetto/globals.h"
#include "tacetto/level_scale.h"

namespace {

constexpr uint32_t kFirstEndpointWindows = 6;  // Windows Vista
constexpr uint32_t kBadDeviceId = 2;           // MMSYSERR_BADDEVICEID
constexpr int32_t kMuteNotRead = 0;
constexpr int32_t kMuteWasOff = 1;
constexpr int32_t kMuteWasOn = 2;

// A failure HRESULT; S_OK and S_FALSE both succeed.
bool Failed(uint32_t result) {
  return static_cast<int32_t>(result) < 0;
}

}  // namespace

int32_t EndpointMuteAtStart = kMuteNotRead;

LevelChannel::LevelChannel(Mixer& mixer, MixerHandle handle, uint32_t controlId)
    : mixer_(mixer),
      handle_(handle),
      controlId_(controlId),
      useEndpoint_(Endpoints().WindowsMajorVersion() >= kFirstEndpointWindows) {}

LevelChannel::~LevelChannel() {
  if (endpointOpen_) {
    Endpoints().Release();
  }
}

uint32_t LevelChannel::OpenEndpoint(const char*& failedCall) {
  CaptureEndpoints& endpoints = Endpoints();
  endpointOpen_ = true;  // release whatever the steps below obtain
  // The wave input that belongs to the opened mixer device.
  // A wave input whose mixerGetID fails is passed over; when none belongs to the device, the
  // box shows the first such failure's own code, else MMSYSERR_BADDEVICEID.
  const uint32_t count = endpoints.WaveInCount();
  uint32_t waveIn = 0;
  uint32_t code = 0;
  uint32_t firstFailure = 0;
  for (; waveIn < count; ++waveIn) {
    uint32_t mixerId = 0;
    code = endpoints.MixerIdOfWaveIn(waveIn, mixerId);
    if (code == 0 && mixerId == static_cast<uint32_t>(CfgDevice)) {
      break;
    }
    if (firstFailure == 0) {
      firstFailure = code;
    }
  }
  if (waveIn == count) {
    failedCall = "mixergetid()";
    return firstFailure != 0 ? firstFailure : kBadDeviceId;
  }
  if ((code = endpoints.QueryEndpointId(waveIn)) != 0) {
    failedCall = "waveinmessage()";
  } else if ((code = endpoints.CreateEnumerator()) != 0) {
    failedCall = "cocreateinstance()";
  } else if ((code = endpoints.GetDevice()) != 0) {
    failedCall = "getdevice()";
  } else if ((code = endpoints.ActivateVolume()) != 0) {
    failedCall = "activate()";
  }
  return code;
}

uint32_t LevelChannel::Read(uint32_t& level, const char*& failedCall) {
  if (!useEndpoint_) {
    failedCall = "mixergetcontroldetails()";
    return mixer_.ReadValue(handle_, controlId_, level);
  }
  uint32_t code = OpenEndpoint(failedCall);
  if (code != 0) {
    return code;
  }
  float scalar = 0.0f;
  failedCall = "getmastervolumelevelscalar()";
  code = Endpoints().GetMasterScalar(scalar);
  if (code != 0) {
    return code;
  }
  level = LevelFromScalar(scalar);
  if (EndpointMuteAtStart == kMuteNotRead) {
    int32_t muted = 0;
    code = Endpoints().GetMute(muted);
    if (Failed(code)) {
      failedCall = "getmute()";
      return code;
    }
    EndpointMuteAtStart = muted != 0 ? kMuteWasOn : kMuteWasOff;
  }
  return 0;
}

uint32_t LevelChannel::Write(uint32_t level, MuteFlag flag, const char*& failedCall) {
  if (!useEndpoint_) {
    failedCall = "mixersetcontroldetails()";
    return mixer_.WriteValue(handle_, controlId_, level);
  }
  failedCall = "setmastervolumelevelscalar()";
  uint32_t code = Endpoints().SetMasterScalar(ScalarFromLevel(level));
  if (code != 0) {
    return code;
  }
  // The level alone does not hold: a call program's gain control raises a level of 0 when it
  // starts capturing, but leaves the mute flag alone.
  const int32_t muted =
      flag == MuteFlag::kAsAtStart ? EndpointMuteAtStart == kMuteWasOn : flag == MuteFlag::kSet;
  code = Endpoints().SetMute(muted);
  if (Failed(code)) {
    failedCall = "setmute()";
    return code;
  }
  return 0;
}
