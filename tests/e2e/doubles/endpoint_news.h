// The change notifications of the doubles' endpoint volumes and devices. Every change of an
// endpoint, a program's write or one the driver makes elsewhere, is a "news" entry of sound.txt,
// signalled by the event "tacetto-sound-news"; a thread of the doubles' own tells it to the
// callbacks registered on the endpoint's volume objects, as Windows tells them from a thread of its
// own.
#pragma once

#include <windows.h>
// windows.h first
#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <cstdint>
#include <string>

#include "tests/e2e/doubles/sound_state.h"

// Registers `callback` on `volume`, an object of endpoint `id` made while it was plugged in for
// the `plug`th time, or with `add` false unregisters it; false where it was so already.
bool Listen(bool add, const void* volume, const std::string& id, uint32_t plug, uint32_t since,
            IAudioEndpointVolumeCallback* callback);

// Registers `client` for the state changes of the endpoints, or with `add` false unregisters it;
// false where it was so already. A change is told when a signal finds an endpoint plugged in or
// out since the last one.
bool ListenForDevices(bool add, IMMNotificationClient* client);

// The news of a program's write to the endpoint of `in`, in the program's context (null: none).
void AddNews(SoundCall& call, const SoundWaveIn& in, LPCGUID context);
