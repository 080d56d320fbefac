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
// (the float's bits), mute flag, and a count bumped whenever the objects handed out before die.
// Away ("wavein - ..."), it is no wave input; its endpoint keeps its id and stored settings, in
// the state of `away`: 'u' unplugged, 'd' disabled, 'r' removed (not present). `variants`, the
// ways of it the walk draws: 'a' Activate refused while away, 'n' GetDevice answers E_NOTFOUND
// while removed, 'l' its next state change told late (once the driver lets it), 'x' never told.
struct SoundWaveIn {
  uint32_t mixer, scalarBits;
  bool mute;
  std::string id;
  uint32_t plug;
  bool plugged;
  char away;
  std::string variants;
  bool Has(char variant) const { return variants.find(variant) != std::string::npos; }
  // DEVICE_STATE_ACTIVE, _DISABLED, _NOTPRESENT or _UNPLUGGED.
  unsigned long State() const { return plugged ? 1 : away == 'd' ? 2 : away == 'r' ? 4 : 8; }
};
// "fail <call> <n> <code>": the nth use of the call fails with the code (hex after 0x), or
// "pause <call> <n>": that use waits for the driver.
struct SoundUse {
  std::string call;
  uint32_t use, code;
};
// "news <endpoint id> <scalar bits> <mute> <serial> [<context, 32 hex digits>]": a change of an
// endpoint, made by a program in its context or elsewhere (none), still to be told to the
// callbacks registered before it (its serial counts the changes made: "count newsmade").
struct SoundNews {
  std::string endpoint;
  uint32_t scalarBits;
  bool mute, hasContext;
  GUID context;
  uint32_t serial;
};
struct Sound {
  std::vector<SoundDevice> devices;
  std::vector<SoundWaveIn> waveIns;
  std::vector<SoundUse> failures, pauses;
  std::vector<SoundNews> news;
  std::map<std::string, uint32_t> counts;
  // The Num Lock and Scroll Lock lights (1 on) as another program saw them at the last level
  // write (where a light set before the write shows); -1 before the first.
  int lights[2] = {-1, -1};

  // The wave inputs plugged in, in order: the numbers the mixer library knows.
  std::vector<const SoundWaveIn*> PluggedWaveIns() const;
  // The wave input whose endpoint has this id ("{0.0.1.00000000}.{<id>}"); nullptr if none has.
  SoundWaveIn* WaveInOfEndpoint(const std::string& endpointId);
  // The news of a change of `in`'s endpoint, made in `context` (null: elsewhere).
  void AddNews(const SoundWaveIn& in, const GUID* context);
};

// The state in sound.txt's syntax, and back.
Sound ParseSound(const std::string& text);
std::string PrintSound(const Sound& sound);
// The state in `file`, and written to it.
Sound LoadSound(const std::string& file);
void SaveSound(const Sound& sound, const std::string& file);

// The doubles' lock on sound.txt, held while this lives.
struct SoundLock {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, "tacetto-sound-doubles");
  SoundLock() { WaitForSingleObject(mutex, INFINITE); }
  ~SoundLock() {
    ReleaseMutex(mutex);
    CloseHandle(mutex);
  }
  SoundLock(const SoundLock&) = delete;
  SoundLock& operator=(const SoundLock&) = delete;
};
// `change` made to the state in `file` under the lock, and the doubles told that the endpoints
// may have changed.
void TellDoubles();
template <typename Change>
void ChangeSound(const std::string& file, Change change) {
  {
    const SoundLock locked;
    Sound sound = LoadSound(file);
    change(sound);
    SaveSound(sound, file);
  }
  TellDoubles();
}
// Another program changes the capture endpoint `id` in `file`: its scalar and mute flag become
// each pair of `changes` in turn ("S M [S M]", the scalar "-" keeps it), each a news entry.
void ChangeElsewhere(const std::string& file, const std::string& id, const std::string& changes);

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
  // At a level write: notes the lock lights in Sound::lights.
  void NoteLights();

  SoundLock lock;  // taken first
  Sound sound;
  bool failed = false;
  uint32_t code = 0;
};

// The endpoint id of a wave input, as waveInMessage gives it.
std::string EndpointIdOf(const SoundWaveIn& waveIn);
