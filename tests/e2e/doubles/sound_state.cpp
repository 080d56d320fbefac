#include "tests/e2e/doubles/sound_state.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

constexpr char kStateFile[] = "sound.txt";
constexpr char kLogFile[] = "sound.log";
constexpr char kEndpointPrefix[] = "{0.0.1.00000000}.{wavein-";

Sound Load() {
  Sound sound;
  FILE* file = fopen(kStateFile, "rb");
  if (file == nullptr) {
    return sound;
  }
  char text[512];
  while (fgets(text, sizeof text, file) != nullptr) {
    text[strcspn(text, "\r\n")] = '\0';
    char word[64] = "";
    char rest[2][64] = {"", ""};
    unsigned a = 0;
    unsigned b = 0;
    unsigned c = 0;
    if (strncmp(text, "device ", 7) == 0) {
      sound.devices.push_back({text + 7, {}});
    } else if (sscanf(text, "line %x %63s", &a, rest[0]) == 2 && !sound.devices.empty()) {
      const bool hasVolume = strcmp(rest[0], "-") != 0;
      sound.devices.back().lines.push_back({a, hasVolume, uint32_t(strtoul(rest[0], nullptr, 10))});
    } else if (sscanf(text, "wavein %u %x %u", &a, &b, &c) == 3) {
      sound.waveIns.push_back({a, b, c != 0});
    } else if (sscanf(text, "fail %63s %63s %63s", word, rest[0], rest[1]) == 3) {
      sound.failures.push_back(text + 5);
    } else if (sscanf(text, "count %63s %u", word, &a) == 2) {
      sound.counts[word] = a;
    }
  }
  fclose(file);
  return sound;
}

void Save(const Sound& sound) {
  FILE* file = fopen(kStateFile, "wb");
  if (file == nullptr) {
    return;
  }
  for (const SoundDevice& device : sound.devices) {
    fprintf(file, "device %s\n", device.name.c_str());
    for (const SoundLine& line : device.lines) {
      if (line.hasVolume) {
        fprintf(file, "line 0x%x %u\n", unsigned(line.type), unsigned(line.level));
      } else {
        fprintf(file, "line 0x%x -\n", unsigned(line.type));
      }
    }
  }
  for (const SoundWaveIn& in : sound.waveIns) {
    fprintf(file, "wavein %u %08x %d\n", unsigned(in.mixer), unsigned(in.scalarBits), in.mute);
  }
  for (const std::string& failure : sound.failures) {
    fprintf(file, "fail %s\n", failure.c_str());
  }
  for (const auto& [call, count] : sound.counts) {
    fprintf(file, "count %s %u\n", call.c_str(), unsigned(count));
  }
  fclose(file);
}

}  // namespace

SoundCall::SoundCall(const char* name)
    : mutex_(CreateMutexA(nullptr, FALSE, "tacetto-sound-doubles")) {
  WaitForSingleObject(mutex_, INFINITE);
  sound = Load();
  const uint32_t use = ++sound.counts[name];
  for (const std::string& failure : sound.failures) {
    char call[64] = "";
    unsigned n = 0;
    char value[64] = "";
    if (sscanf(failure.c_str(), "%63s %u %63s", call, &n, value) == 3 && n == use &&
        strcmp(call, name) == 0) {
      failed = true;
      code = uint32_t(strtoul(value, nullptr, value[0] == '0' && value[1] == 'x' ? 16 : 10));
    }
  }
}

SoundCall::~SoundCall() {
  Save(sound);
  ReleaseMutex(mutex_);
  CloseHandle(mutex_);
}

void SoundCall::Log(const char* format, ...) {
  FILE* file = fopen(kLogFile, "ab");
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

std::wstring EndpointIdOfWaveIn(uint32_t waveIn) {
  char id[64];
  snprintf(id, sizeof id, "%s%u}", kEndpointPrefix, unsigned(waveIn));
  return std::wstring(id, id + strlen(id));
}

bool WaveInOfEndpointId(const wchar_t* id, uint32_t& waveIn) {
  const std::string text(id, id + wcslen(id));
  const size_t prefix = strlen(kEndpointPrefix);
  unsigned n = 0;
  if (text.compare(0, prefix, kEndpointPrefix) != 0 ||
      sscanf(text.c_str() + prefix, "%u", &n) != 1 || EndpointIdOfWaveIn(n) != id) {
    return false;
  }
  waveIn = n;
  return true;
}
