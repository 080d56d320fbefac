#include "tests/e2e/doubles/endpoint_news.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

namespace {

struct Listener {
  const void* volume;
  std::string id;
  uint32_t plug, since;  // the changes made before it registered are not its news
  IAudioEndpointVolumeCallback* callback;
};

bool operator==(const Listener& a, const Listener& b) {
  return a.volume == b.volume && a.callback == b.callback;
}

struct Told {
  AUDIO_VOLUME_NOTIFICATION_DATA data;
  std::string id;
  uint32_t plug, serial;
};

CRITICAL_SECTION g_lock;
std::vector<Listener> g_listeners;
std::vector<IMMNotificationClient*> g_clients;
std::map<std::string, unsigned long> g_state;  // each endpoint's state as last told
HANDLE g_signal = nullptr;

// The news entries told to the callbacks on objects of the endpoint as plugged in now; several
// changes are told by several threads on Windows, in no set order: those of one signal here the
// newest first. Told under the lock, so that no callback is told after it is unregistered.
DWORD WINAPI TellNews(LPVOID) {
  while (WaitForSingleObject(g_signal, INFINITE) == WAIT_OBJECT_0) {
    std::vector<Told> told;
    SoundCall call("news");
    for (const SoundNews& entry : call.sound.news) {
      const SoundWaveIn* in = call.sound.WaveInOfEndpoint(entry.endpoint);
      AUDIO_VOLUME_NOTIFICATION_DATA data = {entry.context, entry.mute != 0, 0, 1, {0}};
      memcpy(&data.fMasterVolume, &entry.scalarBits, sizeof(float));
      data.afChannelVolumes[0] = data.fMasterVolume;
      told.insert(told.begin(), {data, entry.endpoint, in != nullptr ? in->plug : 0, entry.serial});
    }
    call.sound.news.clear();
    EnterCriticalSection(&g_lock);
    // A change of state drawn late is told once the driver takes the 'l' away; one drawn lost,
    // never.
    for (const SoundWaveIn& in : call.sound.waveIns) {
      const auto known = g_state.find(EndpointIdOf(in));
      const bool changed = known != g_state.end() && known->second != in.State();
      if (changed && in.Has('l')) {
        continue;
      }
      if (changed && !in.Has('x')) {
        const std::wstring id(known->first.begin(), known->first.end());
        for (IMMNotificationClient* client : g_clients) {
          client->OnDeviceStateChanged(id.c_str(), in.State());
        }
      }
      g_state[EndpointIdOf(in)] = in.State();
    }
    for (Told& news : told) {
      for (const Listener& listener : g_listeners) {
        if (listener.id == news.id && listener.plug == news.plug && news.serial > listener.since) {
          listener.callback->OnNotify(&news.data);
        }
      }
    }
    LeaveCriticalSection(&g_lock);
  }
  return 0;
}

void StartTelling() {
  if (g_signal == nullptr) {
    InitializeCriticalSection(&g_lock);
    g_signal = CreateEventA(nullptr, FALSE, FALSE, "tacetto-sound-news");
    CloseHandle(CreateThread(nullptr, 0, &TellNews, nullptr, 0, nullptr));
  }
}

// Adds `item` to `list`, or with `add` false takes it out; false where it was so already.
template <typename T>
bool Keep(std::vector<T>& list, const T& item, bool add) {
  StartTelling();
  EnterCriticalSection(&g_lock);
  const auto known = std::find(list.begin(), list.end(), item);
  const bool done = add == (known == list.end());
  if (done && add) {
    list.push_back(item);
  } else if (done) {
    list.erase(known);
  }
  LeaveCriticalSection(&g_lock);
  return done;
}

}  // namespace

bool Listen(bool add, const void* volume, const std::string& id, uint32_t plug, uint32_t since,
            IAudioEndpointVolumeCallback* callback) {
  return Keep(g_listeners, {volume, id, plug, since, callback}, add);
}

bool ListenForDevices(bool add, IMMNotificationClient* client) {
  const bool done = Keep(g_clients, client, add);
  SetEvent(g_signal);  // the endpoints as they are now are what later changes are told against
  return done;
}

void AddNews(SoundCall& call, const SoundWaveIn& in, LPCGUID context) {
  StartTelling();
  call.sound.AddNews(in, context);
  SetEvent(g_signal);  // the thread takes the entry once the call has let sound.txt go
}
