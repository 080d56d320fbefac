#include "tests/e2e/doubles/endpoint_news.h"

#include <cstdio>
#include <cstring>
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
  BOOL mute;
  uint32_t scalarBits;
};

// The context of another program: the driver's changes made elsewhere carry it.
constexpr GUID kElsewhere = {0xE15E, 0x3E4E, 0x0E, {'e', 'l', 's', 'e', 'w', 'h', 'r', 'e'}};

CRITICAL_SECTION g_lock;
std::vector<Listener> g_listeners;
std::vector<News> g_queue;  // the programs' writes, not told yet
HANDLE g_queued = CreateEventA(nullptr, FALSE, FALSE, nullptr);

// The writes queued, or on the event "tacetto-sound-news" the driver's changes made elsewhere
// ("news" entries of sound.txt). Several changes are told by several threads on Windows, in no
// set order: those of one signal here the newest first. Told under the lock, so that no callback
// is told after it is unregistered.
DWORD WINAPI TellNews(LPVOID) {
  HANDLE signals[2] = {g_queued, CreateEventA(nullptr, FALSE, FALSE, "tacetto-sound-news")};
  for (std::vector<News> batch;; batch.clear()) {
    if (WaitForMultipleObjects(2, signals, FALSE, INFINITE) == WAIT_OBJECT_0) {
      EnterCriticalSection(&g_lock);
      batch.swap(g_queue);
      LeaveCriticalSection(&g_lock);
    } else {
      SoundCall call("news");
      for (const std::string& entry : call.sound.news) {  // "<endpoint id> <scalar bits> <mute>"
        char id[128] = "";
        unsigned bits = 0, mute = 0;
        const SoundWaveIn* in = sscanf(entry.c_str(), "%127s %x %u", id, &bits, &mute) == 3
                                    ? call.WaveInOfEndpoint(id)
                                    : nullptr;
        if (in != nullptr) {
          batch.insert(batch.begin(), {id, in->plug, kElsewhere, mute != 0, bits});
        }
      }
      call.sound.news.clear();
    }
    EnterCriticalSection(&g_lock);
    for (const News& news : batch) {
      AUDIO_VOLUME_NOTIFICATION_DATA data = {news.context, news.mute, 0.0f, 1, {0.0f}};
      memcpy(&data.fMasterVolume, &news.scalarBits, sizeof(float));
      data.afChannelVolumes[0] = data.fMasterVolume;
      for (const Listener& listener : g_listeners) {
        if (listener.id == news.id && listener.plug == news.plug) {
          listener.callback->OnNotify(&data);
        }
      }
    }
    LeaveCriticalSection(&g_lock);
  }
}

void StartTelling() {
  static const bool started =
      (InitializeCriticalSection(&g_lock),
       CloseHandle(CreateThread(nullptr, 0, &TellNews, nullptr, 0, nullptr)));
  (void)started;
}

}  // namespace

bool Listen(bool add, const void* volume, const std::string& id, uint32_t plug,
            IAudioEndpointVolumeCallback* callback) {
  StartTelling();
  EnterCriticalSection(&g_lock);
  auto known = g_listeners.begin();
  while (known != g_listeners.end() && !(known->volume == volume && known->callback == callback)) {
    ++known;
  }
  const bool done = add == (known == g_listeners.end());
  if (done && add) {
    g_listeners.push_back({volume, id, plug, callback});
  } else if (done) {
    g_listeners.erase(known);
  }
  LeaveCriticalSection(&g_lock);
  return done;
}

void TellListeners(const std::string& id, uint32_t plug, LPCGUID context, bool mute,
                   uint32_t scalarBits) {
  StartTelling();
  EnterCriticalSection(&g_lock);
  g_queue.push_back({id, plug, context != nullptr ? *context : GUID{}, mute, scalarBits});
  LeaveCriticalSection(&g_lock);
  SetEvent(g_queued);
}
