// Fakes of the mute tool's file, mixer and keyboard.
#pragma once

#include <string>
#include <vector>

#include "tacetto/platform.h"

class FakeConfigFile : public ConfigFile {
 public:
  bool exists = true;
  std::string content;
  size_t maxChunk = 7;           // small reads exercise the reader's buffer refills
  size_t failReadAt = SIZE_MAX;  // a read from this offset on reports an error

  std::vector<std::string> openedNames;
  int closes = 0;
  size_t bytesRead = 0;
  size_t largestRequest = 0;

  bool Open(const char* name) override;
  size_t Read(char* buffer, size_t size) override;
  void Close() override;
};

// Which mixer step fails, with which code.
enum class MixerStep { kNone, kOpen, kLine, kControls, kRead, kWrite };

struct MixerCall {
  std::string name;
  uint32_t argument;  // device, component type, line, control or the level written
};

class FakeMixer : public Mixer {
 public:
  std::vector<std::string> productNames = {"Out: default", "In: default"};
  std::vector<uint32_t> capsResults;  // per device; missing means 0
  MixerStep failStep = MixerStep::kNone;
  uint32_t failCode = 0;
  int failInSession = 0;  // 0: the step fails every time; n: only between the n-th open and close
  uint32_t level = 0;     // the control's level, kept like a device does

  std::vector<MixerCall> calls;
  int opens = 0;
  int closes = 0;
  std::vector<uint32_t> written;

  // Calls by name only, for order checks.
  std::vector<std::string> CallNames() const;

  uint32_t NumDevs() override;
  uint32_t ProductName(uint32_t device, char (&name)[32]) override;
  uint32_t Open(int32_t device, MixerHandle& handle) override;
  uint32_t FindLine(MixerHandle handle, uint32_t componentType, uint32_t& lineId) override;
  uint32_t FindVolumeControl(MixerHandle handle, uint32_t lineId, uint32_t& controlId) override;
  uint32_t ReadValue(MixerHandle handle, uint32_t controlId, uint32_t& value) override;
  uint32_t WriteValue(MixerHandle handle, uint32_t controlId, uint32_t value) override;
  void Close(MixerHandle handle) override;

  bool Fails(MixerStep step) const;
  int sessions = 0;  // opens attempted

  static constexpr MixerHandle kHandle = 0x4D58;
  static constexpr uint32_t kLineId = 0x10003;
  static constexpr uint32_t kControlId = 77;
};

struct KeyStroke {
  uint8_t virtualKey;
  uint8_t scanCode;
  uint32_t flags;
};

class FakeKeyboard : public Keyboard {
 public:
  uint8_t state[256] = {};
  std::vector<KeyStroke> strokes;
  std::vector<std::string> log;  // "get", "event", "set" in call order
  std::vector<std::vector<uint8_t>> written;

  void GetState(uint8_t (&keys)[256]) override;
  void KeyEvent(uint8_t virtualKey, uint8_t scanCode, uint32_t flags) override;
  void SetState(const uint8_t (&keys)[256]) override;
};

enum class EndpointStep {
  kNone,
  kMixerId,
  kEndpointId,
  kEnumerator,
  kDevice,
  kActivate,
  kGet,
  kSet,
  kGetMute,
  kSetMute
};

class FakeEndpoints : public CaptureEndpoints {
 public:
  uint32_t version = 5;                          // Windows XP: the classic path
  std::vector<uint32_t> mixerOfWaveIn = {1, 0};  // wave input 0 belongs to mixer 1
  EndpointStep failStep = EndpointStep::kNone;
  uint32_t failCode = 0;
  float scalar = 0.5f;
  int32_t muted = 0;  // the mute flag; SetMute answers S_FALSE when it already had that state

  std::vector<std::string> calls;
  std::vector<uint32_t> queriedWaveIns;
  std::vector<float> written;
  std::vector<int32_t> mutesWritten;
  int releases = 0;

  uint32_t WindowsMajorVersion() override { return version; }
  uint32_t WaveInCount() override { return static_cast<uint32_t>(mixerOfWaveIn.size()); }
  uint32_t MixerIdOfWaveIn(uint32_t waveIn, uint32_t& mixerId) override;
  uint32_t QueryEndpointId(uint32_t waveIn) override;
  uint32_t CreateEnumerator() override { return Step(EndpointStep::kEnumerator, "enumerator"); }
  uint32_t GetDevice() override { return Step(EndpointStep::kDevice, "device"); }
  uint32_t ActivateVolume() override { return Step(EndpointStep::kActivate, "activate"); }
  uint32_t GetMasterScalar(float& value) override;
  uint32_t SetMasterScalar(float value) override;
  uint32_t GetMute(int32_t& flag) override;
  uint32_t SetMute(int32_t flag) override;
  void Release() override;

 private:
  uint32_t Step(EndpointStep step, const char* name);
};

// Installs the fakes for the lifetime of a test and zeroes the tool's globals.
struct FakeTacettoPlatform {
  FakeConfigFile file;
  FakeMixer mixer;
  FakeKeyboard keyboard;
  FakeEndpoints endpoints;
  FakeTacettoPlatform();
  ~FakeTacettoPlatform();
};

// Zeroes every process-wide value of the mute tool, as at program start.
void ResetTacettoGlobals();
