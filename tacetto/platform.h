// The mute tool's platform services besides the window system: the configuration file, the
// sound card's mixer and the keyboard. The Win32 adapters implement them; tests use fakes.
#pragma once

#include <cstddef>
#include <cstdint>

class ConfigFile {
 public:
  virtual ~ConfigFile() = default;
  // Opens an existing file by name for reading only, without sharing.
  virtual bool Open(const char* name) = 0;
  // Up to `size` bytes; 0 at the end of the file or on an error.
  virtual size_t Read(char* buffer, size_t size) = 0;
  virtual void Close() = 0;
};

using MixerHandle = uintptr_t;

// The winmm mixer. Every call but Close returns the platform's result code, 0 on success.
class Mixer {
 public:
  virtual ~Mixer() = default;
  virtual uint32_t NumDevs() = 0;
  // The product name (szPname of MIXERCAPSA), NUL-terminated within 32 bytes.
  virtual uint32_t ProductName(uint32_t device, char (&name)[32]) = 0;

  virtual uint32_t Open(int32_t device, MixerHandle& handle) = 0;
  // dwLineID of the first source line of `componentType`.
  virtual uint32_t FindLine(MixerHandle handle, uint32_t componentType, uint32_t& lineId) = 0;
  // dwControlID of that line's volume control.
  virtual uint32_t FindVolumeControl(MixerHandle handle, uint32_t lineId, uint32_t& controlId) = 0;
  // One value for all channels.
  virtual uint32_t ReadValue(MixerHandle handle, uint32_t controlId, uint32_t& value) = 0;
  virtual uint32_t WriteValue(MixerHandle handle, uint32_t controlId, uint32_t value) = 0;
  virtual void Close(MixerHandle handle) = 0;
};

class Keyboard {
 public:
  virtual ~Keyboard() = default;
  virtual void GetState(uint8_t (&keys)[256]) = 0;
  virtual void KeyEvent(uint8_t virtualKey, uint8_t scanCode, uint32_t flags) = 0;
  virtual void SetState(const uint8_t (&keys)[256]) = 0;
};

// The capture endpoint behind a mixer device. On Windows Vista and later the mixer's volume
// controls reach only this program's own audio session; the endpoint's master volume is what
// every program's recording obeys. Every call but Release returns the platform's result code.
class CaptureEndpoints {
 public:
  virtual ~CaptureEndpoints() = default;
  // The major version of Windows as the program sees it (a compatibility mode lowers it).
  virtual uint32_t WindowsMajorVersion() = 0;
  virtual uint32_t WaveInCount() = 0;
  // mixerGetID with MIXER_OBJECTF_WAVEIN: the mixer device a wave input belongs to.
  virtual uint32_t MixerIdOfWaveIn(uint32_t waveIn, uint32_t& mixerId) = 0;
  // The steps from a wave input to its endpoint's volume, each building on the one before:
  // waveInMessage (the endpoint identifier), CoCreateInstance (the device enumerator, which an
  // implementation may keep from one call to the next),
  // IMMDeviceEnumerator::GetDevice, IMMDevice::Activate (IAudioEndpointVolume).
  virtual uint32_t QueryEndpointId(uint32_t waveIn) = 0;
  virtual uint32_t CreateEnumerator() = 0;
  virtual uint32_t GetDevice() = 0;
  virtual uint32_t ActivateVolume() = 0;
  virtual uint32_t GetMasterScalar(float& scalar) = 0;
  virtual uint32_t SetMasterScalar(float scalar) = 0;
  // The endpoint's own mute flag (1 muted), which a call program's gain control leaves alone.
  // HRESULTs: SetMute answers S_FALSE (1) when the flag already had that state; only a
  // negative code is a failure.
  virtual uint32_t GetMute(int32_t& muted) = 0;
  virtual uint32_t SetMute(int32_t muted) = 0;
  // Releases the device and its volume the steps obtained (the enumerator may be kept).
  virtual void Release() = 0;
};

// The process's services, installed by the entry point (or a test) before anything runs.
ConfigFile& File();
Mixer& MixerDevice();
Keyboard& Keys();
CaptureEndpoints& Endpoints();
void InstallPlatform(ConfigFile* file, Mixer* mixer, Keyboard* keyboard,
                     CaptureEndpoints* endpoints);
