#include "tests/e2e/doubles/sound_state.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "harness/desktop.h"
#include "harness/lock_lights.h"

Sound ParseSound(const std::string& text) {
  Sound sound;
  for (size_t at = 0, end; at < text.size(); at = end + 1) {
    end = std::min(text.find('\n', at), text.size());
    const std::string entry = text.substr(at, end - at - (text[end - 1] == '\r' ? 1 : 0));
    const char* line = entry.c_str();
    char word[3][128] = {"", "", ""};
    unsigned a = 0, b = 0, c = 0;
    if (entry.rfind("device ", 0) == 0) {
      sound.devices.push_back({line + 7, {}});
    } else if (sscanf(line, "line %x %127s", &a, word[0]) == 2 && !sound.devices.empty()) {
      sound.devices.back().lines.push_back({a, uint32_t(atoi(word[0])), *word[0] != '-'});
    } else if (sscanf(line, "wavein %127s %x %u %127s %u %127s", word[1], &b, &c, word[0], &a,
                      word[2]) >= 4) {
      sound.waveIns.push_back({uint32_t(atoi(word[1])), b, c != 0, word[0], a > 1 ? a : 1,
                               *word[1] != '-', *word[2] != '\0' ? *word[2] : 'u',
                               *word[2] != '\0' ? word[2] + 1 : ""});
    } else if (sscanf(line, "fail %127s %u %127s", word[0], &a, word[1]) == 3) {
      sound.failures.push_back({word[0], a, uint32_t(strtoul(word[1], nullptr, 0))});
    } else if (sscanf(line, "pause %127s %u", word[0], &a) == 2) {
      sound.pauses.push_back({word[0], a, 0});
    } else if (sscanf(line, "news %127s %x %u %u %32s", word[0], &b, &c, &a, word[1]) >= 4) {
      SoundNews news = {word[0], b, c != 0, *word[1] != '\0', {}, a};
      for (size_t i = 0; news.hasContext && i < sizeof news.context; ++i) {
        sscanf(word[1] + 2 * i, "%2hhx", reinterpret_cast<unsigned char*>(&news.context) + i);
      }
      sound.news.push_back(news);
    } else if (sscanf(line, "count %127s %u", word[0], &a) == 2) {
      sound.counts[word[0]] = a;
    } else {
      sscanf(line, "lights %d %d", &sound.lights[0], &sound.lights[1]);
    }
  }
  return sound;
}

std::string PrintSound(const Sound& sound) {
  std::string text;
  auto print = [&](const char* format, auto... values) {
    char line[256];
    snprintf(line, sizeof line, format, values...);
    text += line;
  };
  for (const SoundDevice& device : sound.devices) {
    print("device %s\n", device.name.c_str());
    for (const SoundLine& in : device.lines) {
      print("line 0x%x %s\n", unsigned(in.type),
            in.hasVolume ? std::to_string(in.level).c_str() : "-");
    }
  }
  for (const SoundWaveIn& in : sound.waveIns) {
    const bool plain = in.away == 'u' && in.variants.empty();
    print("wavein %s %08x %d %s%s%s\n", in.plugged ? std::to_string(in.mixer).c_str() : "-",
          unsigned(in.scalarBits), in.mute, in.id.c_str(),
          in.plug > 1 || !plain ? (" " + std::to_string(in.plug)).c_str() : "",
          plain ? "" : (" " + std::string(1, in.away) + in.variants).c_str());
  }
  for (const SoundUse& use : sound.failures) {
    print("fail %s %u 0x%x\n", use.call.c_str(), unsigned(use.use), unsigned(use.code));
  }
  for (const SoundUse& use : sound.pauses) {
    print("pause %s %u\n", use.call.c_str(), unsigned(use.use));
  }
  for (const SoundNews& news : sound.news) {
    print("news %s %08x %d %u ", news.endpoint.c_str(), unsigned(news.scalarBits), news.mute,
          unsigned(news.serial));
    for (size_t i = 0; news.hasContext && i < sizeof news.context; ++i) {
      print("%02x", reinterpret_cast<const unsigned char*>(&news.context)[i]);
    }
    text += "\n";
  }
  for (const auto& [call, count] : sound.counts) {
    print("count %s %u\n", call.c_str(), unsigned(count));
  }
  if (sound.lights[0] >= 0) {
    print("lights %d %d\n", sound.lights[0], sound.lights[1]);
  }
  return text;
}

Sound LoadSound(const std::string& file) {
  std::string text;
  ReadFileBytes(file, text);
  return ParseSound(text);
}

void SaveSound(const Sound& sound, const std::string& file) {
  WriteFileBytes(file, PrintSound(sound));
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

SoundCall::SoundCall(const char* name) {
  // From the first call of the program on, before any stroke it makes.
  WatchLockLights();
  sound = LoadSound("sound.txt");
  const uint32_t use = ++sound.counts[name];
  auto now = [&](const SoundUse& entry) { return entry.use == use && entry.call == name; };
  if (std::any_of(sound.pauses.begin(), sound.pauses.end(), now)) {
    // Under wine a thread sees only the toggles made after its input exists: the program's
    // thread gets its input here, before the driver, told by the log line, strikes a key.
    GetKeyState(VK_NUMLOCK);
    HANDLE resume = CreateEventA(nullptr, FALSE, FALSE, "tacetto-sound-resume");
    Log("pause %s", name);
    SaveSound(sound, "sound.txt");
    ReleaseMutex(lock.mutex);
    WaitForSingleObject(resume, 10000);
    CloseHandle(resume);
    WaitForSingleObject(lock.mutex, INFINITE);
    sound = LoadSound("sound.txt");
  }
  for (const SoundUse& failure : sound.failures) {
    failed = failed || now(failure);
    code = now(failure) ? failure.code : code;
  }
}

SoundCall::~SoundCall() {
  SaveSound(sound, "sound.txt");
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

SoundWaveIn* Sound::WaveInOfEndpoint(const std::string& endpointId) {
  for (SoundWaveIn& in : waveIns) {
    if (EndpointIdOf(in) == endpointId) {
      return &in;
    }
  }
  return nullptr;
}

void Sound::AddNews(const SoundWaveIn& in, const GUID* context) {
  news.push_back({EndpointIdOf(in), in.scalarBits, in.mute, context != nullptr,
                  context != nullptr ? *context : GUID{}, ++counts["newsmade"]});
}

void SoundCall::NoteLights() {
  sound.lights[0] = LockLight(VK_NUMLOCK);
  sound.lights[1] = LockLight(VK_SCROLL);
}

std::string EndpointIdOf(const SoundWaveIn& waveIn) {
  return "{0.0.1.00000000}.{" + waveIn.id + "}";
}

void TellDoubles() {
  HANDLE told = CreateEventA(nullptr, FALSE, FALSE, "tacetto-sound-news");
  SetEvent(told);
  CloseHandle(told);
}

void ChangeElsewhere(const std::string& file, const std::string& id, const std::string& changes) {
  ChangeSound(file, [&](Sound& sound) {
    char scalar[16] = "";
    unsigned mute = 0;
    for (SoundWaveIn& in : sound.waveIns) {
      for (int used = 0, n = 0;
           in.id == id && sscanf(changes.c_str() + used, "%15s %u%n", scalar, &mute, &n) == 2;
           used += n) {
        in.scalarBits = *scalar == '-' ? in.scalarBits : uint32_t(strtoul(scalar, nullptr, 16));
        in.mute = mute != 0;
        sound.AddNews(in, nullptr);
      }
    }
  });
}
