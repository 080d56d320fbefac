// The sound system of the test doubles: devices, lines, wave inputs and scheduled failures, kept
// in sound.txt in the current directory and shared by every process of a scenario; every call is
// appended to sound.log there.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#define DOUBLE_EXPORT extern "C" __declspec(dllexport)

struct SoundLine {
  uint32_t type, level;
  bool hasVolume;
};
struct SoundDevice {
  std::string name;
  std::vector<SoundLine> lines;
};
// A wave input: the mixer device it belongs to, and its capture endpoint: id, master scalar
// (the float's bits), mute flag, and how often it has been plugged in (objects handed out before
// the last time are dead). Unplugged ("wavein - ..."), it is no wave input, and its endpoint
// keeps its id and volume but is not active.
struct SoundWaveIn {
  uint32_t mixer, scalarBits;
  bool mute;
  std::string id;
  uint32_t plug;
  bool plugged;
};
struct Sound {
  std::vector<SoundDevice> devices;
  std::vector<SoundWaveIn> waveIns;
  std::vector<std::string> failures;  // "<call> <n> <code>" as written
  std::vector<std::string> pauses;    // "<call> <n>": that use waits for the driver
  std::vector<std::string> news;      // "<endpoint> <scalar bits> <mute>": changes made elsewhere
  std::map<std::string, uint32_t> counts;
  // "N S": the Num Lock and Scroll Lock lights (1 on) as another program saw them at the last
  // level write (where a light set before the write shows).
  std::string lights;

  // The wave inputs plugged in, in order: the numbers the mixer library knows.
  std::vector<const SoundWaveIn*> PluggedWaveIns() const;
};

// The state in `file`, and written to it.
Sound LoadSound(const char* file);
void SaveSound(const Sound& sound, const char* file);

// For the driver and the demo: the doubles told that the endpoints have changed, and another
// program changing the capture endpoint `id` in `file`: its scalar and mute flag become each pair
// of `changes` in turn ("S M [S M]", the scalar "-" keeps it), each a news entry.
void TellDoubles();
void ChangeElsewhere(const char* file, const std::string& id, const std::string& changes);

// One call: takes the lock, reads the state and counts the call; `failed` tells whether a fail
// entry names this use of the call, `code` is then its result. A pause entry for this use logs
// "pause <call>" and holds the call, without the lock, until the driver sets the event
// "tacetto-sound-resume". The destructor writes the state back (a failed call changes only its
// counter) and lets the lock go.
class SoundCall {
 public:
  explicit SoundCall(const char* name);
  ~SoundCall();
  SoundCall(const SoundCall&) = delete;
  SoundCall& operator=(const SoundCall&) = delete;
  void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // The wave input whose endpoint has this id ("{0.0.1.00000000}.{<id>}"); nullptr if none has.
  SoundWaveIn* WaveInOfEndpoint(const std::string& endpointId);
  // At a level write: notes the lock lights in Sound::lights.
  void NoteLights();

  Sound sound;
  bool failed = false;
  uint32_t code = 0;

 private:
  HANDLE mutex_;
};

// The endpoint id of a wave input, as waveInMessage gives it.
std::string EndpointIdOf(const SoundWaveIn& waveIn);
