#include "fakes/fake_platform.h"

#include <algorithm>
#include <cstring>

#include "tacetto/globals.h"

bool FakeConfigFile::Open(const char* name) {
  openedNames.push_back(name);
  return exists;
}

size_t FakeConfigFile::Read(char* buffer, size_t size) {
  largestRequest = std::max(largestRequest, size);
  if (bytesRead >= failReadAt) {
    return 0;
  }
  size_t count = std::min({size, maxChunk, content.size() - bytesRead});
  count = std::min(count, failReadAt - bytesRead);
  memcpy(buffer, content.data() + bytesRead, count);
  bytesRead += count;
  return count;
}

void FakeConfigFile::Close() {
  ++closes;
}

std::vector<std::string> FakeMixer::CallNames() const {
  std::vector<std::string> names;
  for (const MixerCall& call : calls) {
    names.push_back(call.name);
  }
  return names;
}

uint32_t FakeMixer::NumDevs() {
  return static_cast<uint32_t>(productNames.size());
}

uint32_t FakeMixer::ProductName(uint32_t device, char (&name)[32]) {
  memset(name, 0, sizeof name);
  const uint32_t result = device < capsResults.size() ? capsResults[device] : 0;
  if (result == 0) {
    strncpy(name, productNames[device].c_str(), sizeof name);  // may fill all 32 bytes
  }
  return result;
}

bool FakeMixer::Fails(MixerStep step) const {
  return failStep == step && (failInSession == 0 || failInSession == sessions);
}

uint32_t FakeMixer::Open(int32_t device, MixerHandle& handle) {
  calls.push_back({"open", static_cast<uint32_t>(device)});
  ++sessions;
  if (Fails(MixerStep::kOpen)) {
    return failCode;
  }
  ++opens;
  handle = kHandle;
  return 0;
}

uint32_t FakeMixer::FindLine(MixerHandle, uint32_t componentType, uint32_t& lineId) {
  calls.push_back({"line", componentType});
  if (Fails(MixerStep::kLine)) {
    return failCode;
  }
  lineId = kLineId;
  return 0;
}

uint32_t FakeMixer::FindVolumeControl(MixerHandle, uint32_t lineId, uint32_t& controlId) {
  calls.push_back({"controls", lineId});
  if (Fails(MixerStep::kControls)) {
    return failCode;
  }
  controlId = kControlId;
  return 0;
}

uint32_t FakeMixer::ReadValue(MixerHandle, uint32_t controlId, uint32_t& value) {
  calls.push_back({"read", controlId});
  if (Fails(MixerStep::kRead)) {
    return failCode;
  }
  value = level;
  return 0;
}

uint32_t FakeMixer::WriteValue(MixerHandle, uint32_t, uint32_t value) {
  calls.push_back({"write", value});
  if (Fails(MixerStep::kWrite)) {
    return failCode;
  }
  level = value;
  written.push_back(value);
  return 0;
}

void FakeMixer::Close(MixerHandle handle) {
  calls.push_back({"close", static_cast<uint32_t>(handle)});
  ++closes;
}

void FakeKeyboard::GetState(uint8_t (&keys)[256]) {
  log.push_back("get");
  memcpy(keys, state, sizeof state);
}

void FakeKeyboard::KeyEvent(uint8_t virtualKey, uint8_t scanCode, uint32_t flags) {
  log.push_back("event");
  strokes.push_back(KeyStroke{virtualKey, scanCode, flags});
}

void FakeKeyboard::SetState(const uint8_t (&keys)[256]) {
  log.push_back("set");
  memcpy(state, keys, sizeof state);
  written.emplace_back(keys, keys + 256);
}

uint32_t FakeEndpoints::Step(EndpointStep step, const char* name) {
  calls.push_back(name);
  return failStep == step ? failCode : 0;
}

uint32_t FakeEndpoints::MixerIdOfWaveIn(uint32_t waveIn, uint32_t& mixerId) {
  mixerId = mixerOfWaveIn.at(waveIn);
  return Step(EndpointStep::kMixerId, "mixerid");
}

uint32_t FakeEndpoints::QueryEndpointId(uint32_t waveIn) {
  queriedWaveIns.push_back(waveIn);
  return Step(EndpointStep::kEndpointId, "endpointid");
}

uint32_t FakeEndpoints::GetMasterScalar(float& value) {
  const uint32_t code = Step(EndpointStep::kGet, "get");
  if (code == 0) {
    value = scalar;
  }
  return code;
}

uint32_t FakeEndpoints::SetMasterScalar(float value) {
  const uint32_t code = Step(EndpointStep::kSet, "set");
  if (code == 0) {
    scalar = value;
    written.push_back(value);
  }
  return code;
}

uint32_t FakeEndpoints::GetMute(int32_t& flag) {
  const uint32_t code = Step(EndpointStep::kGetMute, "getmute");
  if (code == 0) {
    flag = muted;
  }
  return code;
}

uint32_t FakeEndpoints::SetMute(int32_t flag) {
  const uint32_t code = Step(EndpointStep::kSetMute, "setmute");
  if (code != 0) {
    return code;
  }
  mutesWritten.push_back(flag);
  const uint32_t unchanged = muted == flag ? 1 : 0;  // S_FALSE
  muted = flag;
  return unchanged;
}

void FakeEndpoints::Release() {
  calls.push_back("release");
  ++releases;
}

void ResetTacettoGlobals() {
  CfgDevice = CfgLine = CfgHotkey = CfgVolume = CfgLockKey = CfgLockInvert = 0;
  UnmutedVolume = CurrentVolume = HotkeyAtom = EndpointMuteAtStart = 0;
}

FakeTacettoPlatform::FakeTacettoPlatform() {
  ResetTacettoGlobals();
  InstallPlatform(&file, &mixer, &keyboard, &endpoints);
}

FakeTacettoPlatform::~FakeTacettoPlatform() {
  InstallPlatform(nullptr, nullptr, nullptr, nullptr);
}
