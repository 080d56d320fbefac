// Where SwitchVolume reads and writes the level: the mixer's volume control, or on Windows
// Vista and later the capture endpoint behind the mixer device.
#pragma once

#include <cstdint>

#include "tacetto/platform.h"

// The endpoint's mute flag written after each level: set with a mute, cleared with any other
// level, or put back as the user had it at start. The classic mixer path has no such flag.
enum class MuteFlag { kClear, kSet, kAsAtStart };

class LevelChannel {
 public:
  LevelChannel(Mixer& mixer, MixerHandle handle, uint32_t controlId);
  ~LevelChannel();
  LevelChannel(const LevelChannel&) = delete;
  LevelChannel& operator=(const LevelChannel&) = delete;

  // Each returns the platform's result code and, on a failure, names the failing call as the
  // error text shows it ("mixergetcontroldetails()", "setmastervolumelevelscalar()", ...).
  // On the endpoint the first Read of the run also reads the mute flag into
  // EndpointMuteAtStart, and Write sets the flag after the level.
  uint32_t Read(uint32_t& level, const char*& failedCall);
  uint32_t Write(uint32_t level, MuteFlag flag, const char*& failedCall);

 private:
  uint32_t OpenEndpoint(const char*& failedCall);

  Mixer& mixer_;
  MixerHandle handle_;
  uint32_t controlId_;
  bool useEndpoint_;
  bool endpointOpen_ = false;
};
