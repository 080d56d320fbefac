#include "tacetto/win32/endpoint.h"

// after windows.h
#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include "tacetto/level_scale.h"
#include "tacetto/win32/core_audio_ids.h"
#include "tacetto/win32/globals.h"
#include "tacetto/win32/winmm_library.h"

int32_t EndpointMuteAtStart = 0;

namespace {

constexpr DWORD kFirstEndpointWindows = 6;  // Windows Vista
// Driver messages of the wave devices (mmddk.h).
constexpr UINT kQueryFunctionInstanceId = 0x0800 + 17;
constexpr UINT kQueryFunctionInstanceIdSize = 0x0800 + 18;
constexpr int32_t kMuteNotRead = 0;
constexpr int32_t kMuteWasOff = 1;
constexpr int32_t kMuteWasOn = 2;

// The endpoint of the run, a short string such as "{0.0.1.00000000}.{<guid>}"; empty until the
// first switch has found it.
wchar_t g_endpointId[256];
// Created at the first switch and kept: the class lookup behind it reads the registry, which a
// hotkey press should not wait for.
IMMDeviceEnumerator* g_enumerator = nullptr;

// S_OK and S_FALSE both succeed; the code of a failure is its HRESULT.
uint32_t Code(HRESULT result) {
  return SUCCEEDED(result) ? 0 : static_cast<uint32_t>(result);
}

template <typename T>
void ReleaseInterface(T*& pointer) {
  if (pointer != nullptr) {
    pointer->Release();
    pointer = nullptr;
  }
}

}  // namespace

bool UseEndpoint() {
  return (GetVersion() & 0xFF) >= kFirstEndpointWindows;
}

bool EndpointChosen() {
  return g_endpointId[0] != L'\0';
}

uint32_t ChooseEndpoint(UINT device, const char*& call) {
  const WinmmFunctions* winmm = Winmm();
  // A wave input whose mixerGetID fails is passed over; when none belongs to the device, the box
  // shows the first such failure's own code, else MMSYSERR_BADDEVICEID.
  const UINT count = winmm->waveInGetNumDevs();
  MMRESULT firstFailure = MMSYSERR_NOERROR;
  UINT waveIn = 0;
  for (; waveIn < count; ++waveIn) {
    UINT mixer = 0;
    const MMRESULT result = winmm->mixerGetID(
        reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(waveIn)), &mixer, MIXER_OBJECTF_WAVEIN);
    if (result == MMSYSERR_NOERROR && mixer == device) {
      break;
    }
    if (firstFailure == MMSYSERR_NOERROR) {
      firstFailure = result;
    }
  }
  if (waveIn == count) {
    call = "mixergetid()";
    return firstFailure != MMSYSERR_NOERROR ? firstFailure : MMSYSERR_BADDEVICEID;
  }
  call = "waveinmessage()";
  HWAVEIN handle = reinterpret_cast<HWAVEIN>(static_cast<UINT_PTR>(waveIn));
  // Documented as a ULONG, but some implementations write a full pointer-sized value: a zeroed
  // DWORD_PTR holds the size either way.
  DWORD_PTR bytes = 0;
  MMRESULT result = winmm->waveInMessage(handle, kQueryFunctionInstanceIdSize,
                                         reinterpret_cast<DWORD_PTR>(&bytes), 0);
  if (result == MMSYSERR_NOERROR && bytes >= sizeof g_endpointId) {
    result = MMSYSERR_NOMEM;
  }
  if (result == MMSYSERR_NOERROR) {
    result = winmm->waveInMessage(handle, kQueryFunctionInstanceId,
                                  reinterpret_cast<DWORD_PTR>(g_endpointId), sizeof g_endpointId);
  }
  // Left empty unless the whole id was read, so that EndpointChosen is true only for one.
  if (result == MMSYSERR_NOERROR) {
    g_endpointId[sizeof g_endpointId / sizeof *g_endpointId - 1] = L'\0';
  } else {
    g_endpointId[0] = L'\0';
  }
  return result;
}

EndpointVolume::~EndpointVolume() {
  ReleaseInterface(volume_);
  ReleaseInterface(device_);
}

uint32_t EndpointVolume::Read(uint32_t& level, const char*& call) {
  HRESULT result = S_OK;
  if (g_enumerator == nullptr) {
    call = "cocreateinstance()";
    result = CoCreateInstance(kDeviceEnumeratorClass, nullptr, CLSCTX_ALL,
                              kDeviceEnumeratorInterface, reinterpret_cast<void**>(&g_enumerator));
  }
  if (SUCCEEDED(result)) {
    call = "getdevice()";
    result = g_enumerator->GetDevice(g_endpointId, &device_);
  }
  if (SUCCEEDED(result)) {
    call = "activate()";
    result = device_->Activate(kEndpointVolumeInterface, CLSCTX_ALL, nullptr,
                               reinterpret_cast<void**>(&volume_));
  }
  float scalar = 0.0f;
  if (SUCCEEDED(result)) {
    call = "getmastervolumelevelscalar()";
    result = volume_->GetMasterVolumeLevelScalar(&scalar);
  }
  if (SUCCEEDED(result) && EndpointMuteAtStart == kMuteNotRead) {
    BOOL muted = FALSE;
    call = "getmute()";
    result = volume_->GetMute(&muted);
    if (SUCCEEDED(result)) {
      EndpointMuteAtStart = muted != FALSE ? kMuteWasOn : kMuteWasOff;
    }
  }
  level = LevelFromScalar(scalar);
  return Code(result);
}

uint32_t EndpointVolume::Write(uint32_t level, MuteFlag flag, const char*& call) {
  call = "setmastervolumelevelscalar()";
  HRESULT result = volume_->SetMasterVolumeLevelScalar(ScalarFromLevel(level), nullptr);
  if (SUCCEEDED(result)) {
    // The level alone does not hold: a call program's gain control raises a level of 0 when it
    // starts capturing, but leaves the mute flag alone.
    const BOOL muted =
        flag == MuteFlag::kAsAtStart ? EndpointMuteAtStart == kMuteWasOn : flag == MuteFlag::kSet;
    call = "setmute()";
    result = volume_->SetMute(muted, nullptr);  // S_FALSE: the flag had that state already
  }
  return Code(result);
}

void ReleaseEndpointEnumerator() {
  ReleaseInterface(g_enumerator);
}
