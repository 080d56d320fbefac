// The capture endpoint behind a mixer device, through winmm and the Core Audio interfaces.
#pragma once

#include <windows.h>

#include "tacetto/platform.h"

struct IMMDeviceEnumerator;
struct IMMDevice;
struct IAudioEndpointVolume;

class Win32Endpoints final : public CaptureEndpoints {
 public:
  ~Win32Endpoints() override;
  uint32_t WindowsMajorVersion() override;
  uint32_t WaveInCount() override;
  uint32_t MixerIdOfWaveIn(uint32_t waveIn, uint32_t& mixerId) override;
  uint32_t QueryEndpointId(uint32_t waveIn) override;
  uint32_t CreateEnumerator() override;
  uint32_t GetDevice() override;
  uint32_t ActivateVolume() override;
  uint32_t GetMasterScalar(float& scalar) override;
  uint32_t SetMasterScalar(float scalar) override;
  uint32_t GetMute(int32_t& muted) override;
  uint32_t SetMute(int32_t muted) override;
  void Release() override;

 private:
  // Endpoint identifiers are short strings such as "{0.0.1.00000000}.{<guid>}".
  wchar_t endpointId_[256] = {};
  IMMDeviceEnumerator* enumerator_ = nullptr;
  IMMDevice* device_ = nullptr;
  IAudioEndpointVolume* volume_ = nullptr;
};
