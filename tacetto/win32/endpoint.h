// The capture endpoint, on Windows Vista and later. There the mixer's volume controls reach only
// this program's own audio session, while the endpoint's master volume is what every program's
// recording obeys. The endpoint of the configured device is found once, at the first switch of
// the run, and from then on held by its id: plugging a headset in or out renumbers the mixer
// devices and the wave inputs, but an endpoint keeps its id.
#pragma once

#include <windows.h>

#include <cstdint>

struct IMMDevice;
struct IAudioEndpointVolume;

// Whether the level goes through the endpoint: Windows 6 (Vista) and later as the program sees
// it; a compatibility mode reports the older version.
bool UseEndpoint();

// Whether the endpoint of the run has been found.
bool EndpointChosen();

// Finds the endpoint of the run: that of the first wave input that belongs to mixer device
// `device`, and keeps its id. Returns the platform's code, 0 on success, and names the failing
// call in `call` as the error text shows it.
uint32_t ChooseEndpoint(UINT device, const char*& call);

// The endpoint's mute flag written after each level: set with a mute, cleared with any other
// level, or put back as the user had it at start.
enum class MuteFlag { kClear, kSet, kAsAtStart };

// The endpoint of the run, looked up by its id for one switch and released when it ends. Both
// calls return the platform's code and name the failing call, as ChooseEndpoint does.
class EndpointVolume {
 public:
  EndpointVolume() = default;
  ~EndpointVolume();
  EndpointVolume(const EndpointVolume&) = delete;
  EndpointVolume& operator=(const EndpointVolume&) = delete;

  // The level; the first read of the run also reads the mute flag into EndpointMuteAtStart.
  uint32_t Read(uint32_t& level, const char*& call);
  // The level, then the mute flag.
  uint32_t Write(uint32_t level, MuteFlag flag, const char*& call);

 private:
  IMMDevice* device_ = nullptr;
  IAudioEndpointVolume* volume_ = nullptr;
};

// At exit: the device enumerator kept from the first switch.
void ReleaseEndpointEnumerator();
