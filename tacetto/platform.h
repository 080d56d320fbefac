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

// The process's services, installed by the entry point (or a test) before anything runs.
ConfigFile& File();
Mixer& MixerDevice();
Keyboard& Keys();
void InstallPlatform(ConfigFile* file, Mixer* mixer, Keyboard* keyboard);
