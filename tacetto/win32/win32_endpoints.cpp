#include "tacetto/win32/win32_endpoints.h"

#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include "tacetto/win32/core_audio_ids.h"
#include "tacetto/win32/winmm_library.h"

namespace {

// Driver messages of the wave devices (mmddk.h).
constexpr UINT kQueryFunctionInstanceId = 0x0800 + 17;
constexpr UINT kQueryFunctionInstanceIdSize = 0x0800 + 18;

template <typename T>
void ReleaseInterface(T*& pointer) {
  if (pointer != nullptr) {
    pointer->Release();
    pointer = nullptr;
  }
}

}  // namespace

Win32Endpoints::~Win32Endpoints() {
  Release();
  ReleaseInterface(enumerator_);
}

uint32_t Win32Endpoints::WindowsMajorVersion() {
  // The version as this program sees it: a compatibility mode reports the older one.
  return GetVersion() & 0xFF;
}

uint32_t Win32Endpoints::WaveInCount() {
  const WinmmFunctions* winmm = Winmm();
  return winmm != nullptr ? winmm->waveInGetNumDevs() : 0;
}

// The wave inputs are counted first: the calls below run only when the function table exists.
uint32_t Win32Endpoints::MixerIdOfWaveIn(uint32_t waveIn, uint32_t& mixerId) {
  UINT id = 0;
  const MMRESULT result = Winmm()->mixerGetID(
      reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(waveIn)), &id, MIXER_OBJECTF_WAVEIN);
  mixerId = id;
  return result;
}

uint32_t Win32Endpoints::QueryEndpointId(uint32_t waveIn) {
  HWAVEIN device = reinterpret_cast<HWAVEIN>(static_cast<UINT_PTR>(waveIn));
  // Documented as a ULONG, but some implementations write a full pointer-sized value: a zeroed
  // DWORD_PTR holds the size either way.
  DWORD_PTR bytes = 0;
  MMRESULT result = Winmm()->waveInMessage(device, kQueryFunctionInstanceIdSize,
                                           reinterpret_cast<DWORD_PTR>(&bytes), 0);
  if (result != MMSYSERR_NOERROR) {
    return result;
  }
  if (bytes >= sizeof endpointId_) {
    return MMSYSERR_NOMEM;
  }
  result = Winmm()->waveInMessage(device, kQueryFunctionInstanceId,
                                  reinterpret_cast<DWORD_PTR>(endpointId_), sizeof endpointId_);
  endpointId_[sizeof endpointId_ / sizeof *endpointId_ - 1] = L'\0';
  return result;
}

uint32_t Win32Endpoints::CreateEnumerator() {
  // Created once and kept: the class lookup behind it reads the registry, which a hotkey press
  // should not wait for. Devices and their volume are still looked up for every operation.
  if (enumerator_ != nullptr) {
    return 0;
  }
  return static_cast<uint32_t>(CoCreateInstance(kDeviceEnumeratorClass, nullptr, CLSCTX_ALL,
                                                kDeviceEnumeratorInterface,
                                                reinterpret_cast<void**>(&enumerator_)));
}

uint32_t Win32Endpoints::GetDevice() {
  return static_cast<uint32_t>(enumerator_->GetDevice(endpointId_, &device_));
}

uint32_t Win32Endpoints::ActivateVolume() {
  return static_cast<uint32_t>(device_->Activate(kEndpointVolumeInterface, CLSCTX_ALL, nullptr,
                                                 reinterpret_cast<void**>(&volume_)));
}

uint32_t Win32Endpoints::GetMasterScalar(float& scalar) {
  return static_cast<uint32_t>(volume_->GetMasterVolumeLevelScalar(&scalar));
}

uint32_t Win32Endpoints::SetMasterScalar(float scalar) {
  return static_cast<uint32_t>(volume_->SetMasterVolumeLevelScalar(scalar, nullptr));
}

uint32_t Win32Endpoints::GetMute(int32_t& muted) {
  BOOL flag = FALSE;
  const HRESULT result = volume_->GetMute(&flag);
  muted = flag != FALSE ? 1 : 0;
  return static_cast<uint32_t>(result);
}

uint32_t Win32Endpoints::SetMute(int32_t muted) {
  return static_cast<uint32_t>(volume_->SetMute(muted != 0 ? TRUE : FALSE, nullptr));
}

void Win32Endpoints::Release() {
  ReleaseInterface(volume_);
  ReleaseInterface(device_);
  endpointId_[0] = L'\0';
}
