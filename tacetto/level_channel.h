// Where SwitchVolume reads and writes the level: the mixer's volume control, or on Windows
// Vista and later the capture endpoint behind the mixer device.
#pragma once

#include <cstdint>

#include "tacetto/platform.h"

class LevelChannel {
 public:
  LevelChannel(Mixer& mixer, MixerHandle handle, uint32_t controlId);
  ~LevelChannel();
  LevelChannel(const LevelChannel&) = delete;
  LevelChannel& operator=(const LevelChannel&) = delete;

  // Each returns the platform's result code and, on a failure, names the failing call as the
  // error text shows it ("mixergetcontroldetails()", "setmastervolumelevelscalar()", ...).
  uint32_t Read(uint32_t& level, const char*& failedCall);
  uint32_t Write(uint32_t level, const char*& failedCall);

 private:
  uint32_t OpenEndpoint(const char*& failedCall);

  Mixer& mixer_;
  MixerHandle handle_;
  uint32_t controlId_;
  bool useEndpoint_;
  bool endpointOpen_ = false;
};
