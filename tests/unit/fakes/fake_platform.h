// Fakes of the mute tool's file, mixer, keyboard and capture endpoints, installed for the
// lifetime of a FakeTacettoPlatform, which zeroes the tool's globals as at program start.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tacetto/globals.h"
#include "tacetto/platform.h"

class FakeConfigFile : public ConfigFile {
 public:
  bool exists = true;
  std::string content;
  size_t maxChunk = 7;           // small reads exercise the reader's buffer refills
  size_t failReadAt = SIZE_MAX;  // a read from this offset on reports an error
  std::vector<std::string> openedNames;
  int closes = 0;
  size_t bytesRead = 0, largestRequest = 0;

  bool Open(const char* name) override { return openedNames.push_back(name), exists; }
  size_t Read(char* buffer, size_t size) override {
    largestRequest = std::max(largestRequest, size);
    const size_t end = std::min(content.size(), failReadAt);
    const size_t count = bytesRead < end ? std::min({size, maxChunk, end - bytesRead}) : 0;
    memcpy(buffer, content.data() + bytesRead, count);
    return bytesRead += count, count;
  }
  void Close() override { ++closes; }
};

class FakeMixer : public Mixer {
 public:
  std::vector<std::string> productNames = {"Out: default", "In: default"};
  std::vector<uint32_t> capsResults;  // per device; missing means 0
  uint32_t writeFailCode = 0;         // the write fails between the n-th open and its close
  int writeFailSession = 0;
  uint32_t level = 0;  // the control's level, kept like a device does
  std::vector<std::string> calls;
  int sessions = 0, closes = 0;
  std::vector<uint32_t> written;

  uint32_t NumDevs() override { return uint32_t(productNames.size()); }
  uint32_t ProductName(uint32_t device, char (&name)[32]) override {
    memset(name, 0, sizeof name);
    const uint32_t result = device < capsResults.size() ? capsResults[device] : 0;
    if (result == 0) {
      strncpy(name, productNames[device].c_str(), sizeof name);  // may fill all 32 bytes
    }
    return result;
  }
  uint32_t Open(int32_t, MixerHandle& handle) override {
    return calls.push_back("open"), ++sessions, handle = 0x4D58, 0;
  }
  uint32_t FindLine(MixerHandle, uint32_t, uint32_t& id) override {
    return calls.push_back("line"), id = 0x10003, 0;
  }
  uint32_t FindVolumeControl(MixerHandle, uint32_t, uint32_t& id) override {
    return calls.push_back("controls"), id = 77, 0;
  }
  uint32_t ReadValue(MixerHandle, uint32_t, uint32_t& value) override {
    return calls.push_back("read"), value = level, 0;
  }
  uint32_t WriteValue(MixerHandle, uint32_t, uint32_t value) override {
    calls.push_back("write");
    if (writeFailSession == sessions) {
      return writeFailCode;
    }
    written.push_back(level = value);
    return 0;
  }
  void Close(MixerHandle) override { calls.push_back("close"), ++closes; }
};

class FakeKeyboard : public Keyboard {
 public:
  uint8_t state[256] = {};
  int strokes = 0, stateWrites = 0;

  void GetState(uint8_t (&keys)[256]) override { memcpy(keys, state, sizeof state); }
  void KeyEvent(uint8_t, uint8_t, uint32_t) override { ++strokes; }
  void SetState(const uint8_t (&keys)[256]) override {
    memcpy(state, keys, sizeof state), ++stateWrites;
  }
};

// Each step is named in `calls`; the one named `failStep` answers `failCode`.
class FakeEndpoints : public CaptureEndpoints {
 public:
  uint32_t version = 5;                          // Windows XP: the classic path
  std::vector<uint32_t> mixerOfWaveIn = {1, 0};  // wave input 0 belongs to mixer 1
  std::string failStep;
  uint32_t failCode = 0;
  float scalar = 0.5f;
  int32_t muted = 0;  // the mute flag; SetMute answers S_FALSE when it already had that state
  std::vector<std::string> calls;
  std::vector<uint32_t> queriedWaveIns;
  std::vector<float> written;
  std::vector<int32_t> mutesWritten;
  int releases = 0;

  uint32_t WindowsMajorVersion() override { return version; }
  uint32_t WaveInCount() override { return uint32_t(mixerOfWaveIn.size()); }
  uint32_t MixerIdOfWaveIn(uint32_t waveIn, uint32_t& mixerId) override {
    return mixerId = mixerOfWaveIn.at(waveIn), Step("mixerid");
  }
  uint32_t QueryEndpointId(uint32_t waveIn) override {
    return queriedWaveIns.push_back(waveIn), Step("endpointid");
  }
  uint32_t CreateEnumerator() override { return Step("enumerator"); }
  uint32_t GetDevice() override { return Step("device"); }
  uint32_t ActivateVolume() override { return Step("activate"); }
  uint32_t GetMasterScalar(float& value) override {
    return Step("get") ? failCode : (value = scalar, 0);
  }
  uint32_t SetMasterScalar(float value) override {
    return Step("set") ? failCode : (written.push_back(scalar = value), 0);
  }
  uint32_t GetMute(int32_t& flag) override {
    return Step("getmute") ? failCode : (flag = muted, 0);
  }
  uint32_t SetMute(int32_t flag) override {
    if (Step("setmute")) {
      return failCode;
    }
    mutesWritten.push_back(flag);
    const uint32_t unchanged = muted == flag ? 1 : 0;  // S_FALSE
    muted = flag;
    return unchanged;
  }
  void Release() override { calls.push_back("release"), ++releases; }

 private:
  uint32_t Step(const char* name) {
    calls.push_back(name);
    return failStep == name ? failCode : 0;
  }
};

struct FakeTacettoPlatform {
  FakeConfigFile file;
  FakeMixer mixer;
  FakeKeyboard keyboard;
  FakeEndpoints endpoints;
  FakeTacettoPlatform() {
    CfgDevice = CfgLine = CfgHotkey = CfgVolume = CfgLockKey = CfgLockInvert = 0;
    UnmutedVolume = CurrentVolume = HotkeyAtom = EndpointMuteAtStart = 0;
    InstallPlatform(&file, &mixer, &keyboard, &endpoints);
  }
  ~FakeTacettoPlatform() { InstallPlatform(nullptr, nullptr, nullptr, nullptr); }
};
