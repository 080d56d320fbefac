#include "tests/e2e/doubles/sound_state.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "harness/lock_lights.h"

Sound LoadSound(const char* name) {
  Sound sound;
  FILE* file = fopen(name, "rb");
  char text[512];
  while (file != nullptr && fgets(text, sizeof text, file) != nullptr) {
    text[strcspn(text, "\r\n")] = '\0';
    char word[3][64] = {"", "", ""};
    unsigned a = 0, b = 0, c = 0;
    if (strncmp(text, "device ", 7) == 0) {
      sound.devices.push_back({text + 7, {}});
    } else if (sscanf(text, "line %x %63s", &a, word[0]) == 2 && !sound.devices.empty()) {
      const uint32_t level = uint32_t(strtoul(word[0], nullptr, 10));
      sound.devices.back().lines.push_back({a, level, strcmp(word[0], "-") != 0});
    } else if (sscanf(text, "wavein %63s %x %u %63s %63s", word[2], &b, &c, word[0], word[1]) >=
               4) {
      sound.waveIns.push_back({uint32_t(atoi(word[2])), b, c != 0, word[0],
                               *word[1] != '\0' ? uint32_t(atoi(word[1])) : 1,
                               strcmp(word[2], "-") != 0});
    } else if (sscanf(text, "fail %63s %63s %63s", word[0], word[1], word[2]) == 3) {
      sound.failures.push_back(text + 5);
    } else if (sscanf(text, "pause %63s %63s", word[0], word[1]) == 2) {
      sound.pauses.push_back(text + 6);
    } else if (strncmp(text, "news ", 5) == 0) {
      sound.news.push_back(text + 5);
    } else if (sscanf(text, "count %63s %u", word[0], &a) == 2) {
      sound.counts[word[0]] = a;
    } else if (strncmp(text, "lights ", 7) == 0) {
      sound.lights = text + 7;
    }
  }
  if (file != nullptr) {
    fclose(file);
  }
  return sound;
}

void SaveSound(const Sound& sound, const char* name) {
  FILE* file = fopen(name, "wb");
  if (file == nullptr) {
    return;
  }
  for (const SoundDevice& device : sound.devices) {
    fprintf(file, "device %s\n", device.name.c_str());
    for (const SoundLine& line : device.lines) {
      const std::string level = line.hasVolume ? std::to_string(line.level) : "-";
      fprintf(file, "line 0x%x %s\n", unsigned(line.type), level.c_str());
    }
  }
  for (const SoundWaveIn& in : sound.waveIns) {
    const std::string plug = in.plug > 1 ? " " + std::to_string(in.plug) : "";
    const std::string mixer = in.plugged ? std::to_string(in.mixer) : "-";
    fprintf(file, "wavein %s %08x %d %s%s\n", mixer.c_str(), unsigned(in.scalarBits), in.mute,
            in.id.c_str(), plug.c_str());
  }
  for (const std::string& failure : sound.failures) {
    fprintf(file, "fail %s\n", failure.c_str());
  }
  for (const std::string& pause : sound.pauses) {
    fprintf(file, "pause %s\n", pause.c_str());
  }
  for (const std::string& news : sound.news) {
    fprintf(file, "news %s\n", news.c_str());
  }
  for (const auto& [call, count] : sound.counts) {
    fprintf(file, "count %s %u\n", call.c_str(), unsigned(count));
  }
  if (!sound.lights.empty()) {
    fprintf(file, "lights %s\n", sound.lights.c_str());
  }
  fclose(file);
}

std::vector<const SoundWaveIn*> Sound::PluggedWaveIns() const {
  std::vector<const SoundWaveIn*> plugged;
  for (const SoundWaveIn& in : waveIns) {
    if (in.plugged) {
      plugged.push_back(&in);
    }
  }
  return plugged;
}

SoundCall::SoundCall(const char* name)
    : mutex_(CreateMutexA(nullptr, FALSE, "tacetto-sound-doubles")) {
  // From the first call of the program on, before any stroke it makes.
  WatchLockLights();
  WaitForSingleObject(mutex_, INFINITE);
  sound = LoadSound("sound.txt");
  const uint32_t use = ++sound.counts[name];
  bool pause = false;
  for (const std::string& entry : sound.pauses) {
    char call[64] = "";
    unsigned n = 0;
    pause = pause || (sscanf(entry.c_str(), "%63s %u", call, &n) == 2 && n == use &&
                      strcmp(call, name) == 0);
  }
  if (pause) {
    // Under wine a thread sees only the toggles made after its input exists: the program's
    // thread gets its input here, before the driver, told by the log line, strikes a key.
    GetKeyState(VK_NUMLOCK);
    HANDLE resume = CreateEventA(nullptr, FALSE, FALSE, "tacetto-sound-resume");
    Log("pause %s", name);
    SaveSound(sound, "sound.txt");
    ReleaseMutex(mutex_);
    WaitForSingleObject(resume, 10000);
    CloseHandle(resume);
    WaitForSingleObject(mutex_, INFINITE);
    sound = LoadSound("sound.txt");
  }
  for (const std::string& failure : sound.failures) {
    char call[64] = "", value[64] = "";
    unsigned n = 0;
    if (sscanf(failure.c_str(), "%63s %u %63s", call, &n, value) == 3 && n == use &&
        strcmp(call, name) == 0) {
      failed = true;
      code = uint32_t(strtoul(value, nullptr, value[0] == '0' && value[1] == 'x' ? 16 : 10));
    }
  }
}

SoundCall::~SoundCall() {
  SaveSound(sound, "sound.txt");
  ReleaseMutex(mutex_);
  CloseHandle(mutex_);
}

void SoundCall::Log(const char* format, ...) {
  FILE* file = fopen("sound.log", "ab");
  if (file == nullptr) {
    return;
  }
  va_list arguments;
  va_start(arguments, format);
  vfprintf(file, format, arguments);
  va_end(arguments);
  fputc('\n', file);
  fclose(file);
}

SoundWaveIn* SoundCall::WaveInOfEndpoint(const std::string& endpointId) {
  for (SoundWaveIn& in : sound.waveIns) {
    if (EndpointIdOf(in) == endpointId) {
      return &in;
    }
  }
  return nullptr;
}

void SoundCall::NoteLights() {
  sound.lights = std::to_string(LockLight(VK_NUMLOCK)) + " " + std::to_string(LockLight(VK_SCROLL));
}

std::string EndpointIdOf(const SoundWaveIn& waveIn) {
  return "{0.0.1.00000000}.{" + waveIn.id + "}";
}

void TellDoubles() {
  HANDLE told = CreateEventA(nullptr, FALSE, FALSE, "tacetto-sound-news");
  SetEvent(told);
  CloseHandle(told);
}

void ChangeElsewhere(const char* file, const std::string& id, const std::string& changes) {
  HANDLE lock = CreateMutexA(nullptr, FALSE, "tacetto-sound-doubles");
  WaitForSingleObject(lock, 5000);
  Sound sound = LoadSound(file);
  char scalar[16] = "";
  unsigned mute = 0;
  for (SoundWaveIn& in : sound.waveIns) {
    for (int used = 0, n = 0;
         in.id == id && sscanf(changes.c_str() + used, "%15s %u%n", scalar, &mute, &n) == 2;
         used += n) {
      in.scalarBits =
          strcmp(scalar, "-") == 0 ? in.scalarBits : uint32_t(strtoul(scalar, nullptr, 16));
      in.mute = mute != 0;
      char entry[128];
      snprintf(entry, sizeof entry, "%s %08x %d", EndpointIdOf(in).c_str(), unsigned(in.scalarBits),
               in.mute);
      sound.news.push_back(entry);
    }
  }
  SaveSound(sound, file);
  ReleaseMutex(lock);
  CloseHandle(lock);
  TellDoubles();
}
