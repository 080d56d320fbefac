// The mute tool's file, mixer and keyboard on kernel32, winmm and user32.
#pragma once

#include <windows.h>

#include "tacetto/platform.h"

class Win32ConfigFile final : public ConfigFile {
 public:
  ~Win32ConfigFile() override;
  bool Open(const char* name) override;
  size_t Read(char* buffer, size_t size) override;
  void Close() override;

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

class Win32Mixer : public Mixer {
 public:
  uint32_t NumDevs() override;
  uint32_t ProductName(uint32_t device, char (&name)[32]) override;
  uint32_t Open(int32_t device, MixerHandle& handle) override;
  uint32_t FindLine(MixerHandle handle, uint32_t componentType, uint32_t& lineId) override;
  uint32_t FindVolumeControl(MixerHandle handle, uint32_t lineId, uint32_t& controlId) override;
  uint32_t ReadValue(MixerHandle handle, uint32_t controlId, uint32_t& value) override;
  uint32_t WriteValue(MixerHandle handle, uint32_t controlId, uint32_t value) override;
  void Close(MixerHandle handle) override;
};

class Win32Keyboard : public Keyboard {
 public:
  void GetState(uint8_t (&keys)[256]) override;
  void KeyEvent(uint8_t virtualKey, uint8_t scanCode, uint32_t flags) override;
  void SetState(const uint8_t (&keys)[256]) override;
};
