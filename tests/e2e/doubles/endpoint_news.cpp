#include "tests/e2e/doubles/endpoint_news.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <vector>

#include "tests/e2e/doubles/sound_state.h"

namespace {

struct Listener {
  const void* volume;
  std::string id;
  uint32_t plug;
  IAudioEndpointVolumeCallback* callback;
};
struct News {
  std::string id;
  uint32_t plug;
  GUID context;
  bool mute;
  uint32_t scalarBits;
};

// Another program's context: the driver's changes made elsewhere carry it.
constexpr GUID kElsewhere = {0xE15E, 0x3E4E, 0x0E, {'e', 'l', 's', 'e', 'w', 'h', 'r', 'e'}};

CRITICAL_SECTION g_lock;
std::vector<Listener> g_listeners;
std::deque<News> g_queue;
HANDLE g_queued = nullptr;

// The listeners on objects of the endpoint as it is plugged in now, told; under the lock, so that
// no callback is told once it is unregistered.
void Tell(const News& news) {
  AUDIO_VOLUME_NOTIFICATION_DATA data = {news.context, news.mute, 0.0f, 1, {0.0f}};
  memcpy(&data.fMasterVolume, &news.scalarBits, sizeof data.fMasterVolume);
  data.afChannelVolumes[0] = data.fMasterVolume;
  EnterCriticalSection(&g_lock);
  for (const Listener& listener : g_listeners) {
    if (listener.id == news.id && listener.plug == news.plug) {
      listener.callback->OnNotify(&data);
    }
  }
  LeaveCriticalSection(&g_lock);
}

// The programs' writes as they come, and the driver's changes made elsewhere ("news" entries of
// sound.txt, then the event "tacetto-sound-news"). Notifications of several changes come from
// several threads on Windows, in no set order: those of one signal are told the newest first.
DWORD WINAPI TellNews(LPVOID) {
  HANDLE signals[2] = {g_queued, CreateEventA(nullptr, FALSE, FALSE, "tacetto-sound-news")};
  for (;;) {
    const DWORD which = WaitForMultipleObjects(2, signals, FALSE, INFINITE);
    std::vector<News> batch;
    if (which == WAIT_OBJECT_0) {
      EnterCriticalSection(&g_lock);
      batch.assign(g_queue.begin(), g_queue.end());
      g_queue.clear();
      LeaveCriticalSection(&g_lock);
    } else {
      SoundCall call("news");
      for (const std::string& entry : call.sound.news) {
        char id[128] = "";
        unsigned bits = 0, mute = 0;
        SoundWaveIn* in = sscanf(entry.c_str(), "%127s %x %u", id, &bits, &mute) == 3
                              ? call.WaveInOfEndpoint(id)
                              : nullptr;
        if (in != nullptr) {
          batch.insert(batch.begin(), {id, in->plug, kElsewhere, mute != 0, bits});
        }
      }
      call.sound.news.clear();
    }
    for (const News& news : batch) {
      Tell(news);
    }
  }
}

void StartTelling() {
  static const bool started = [] {
    InitializeCriticalSection(&g_lock);
    g_queued = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(CreateThread(nullptr, 0, &TellNews, nullptr, 0, nullptr));
    return true;
  }();
  (void)started;
}

}  // namespace

bool AddListener(const void* volume, const std::string& id, uint32_t plug,
                 IAudioEndpointVolumeCallback* callback) {
  StartTelling();
  EnterCriticalSection(&g_lock);
  bool known = false;
  for (const Listener& listener : g_listeners) {
    known = known || (listener.volume == volume && listener.callback == callback);
  }
  if (!known) {
    g_listeners.push_back({volume, id, plug, callback});
  }
  LeaveCriticalSection(&g_lock);
  return !known;
}

bool RemoveListener(const void* volume, IAudioEndpointVolumeCallback* callback) {
  StartTelling();
  EnterCriticalSection(&g_lock);
  const size_t before = g_listeners.size();
  for (size_t i = 0; i < g_listeners.size(); ++i) {
    if (g_listeners[i].volume == volume && g_listeners[i].callback == callback) {
      g_listeners.erase(g_listeners.begin() + static_cast<long>(i));
      break;
    }
  }
  const bool removed = g_listeners.size() < before;
  LeaveCriticalSection(&g_lock);
  return removed;
}

void TellListeners(const std::string& id, uint32_t plug, LPCGUID context, bool mute,
                   uint32_t scalarBits) {
  StartTelling();
  EnterCriticalSection(&g_lock);
  g_queue.push_back({id, plug, context != nullptr ? *context : GUID{}, mute, scalarBits});
  LeaveCriticalSection(&g_lock);
  SetEvent(g_queued);
}
