// The change notifications of the doubles' endpoint volumes: the callbacks registered on each
// volume object, told of every change from a thread of the doubles' own, as Windows tells them
// from a thread of its own.
#pragma once

#include <windows.h>
// windows.h first
#include <endpointvolume.h>

#include <cstdint>
#include <string>

// Registers `callback` on `volume`, an object of endpoint `id` made while it was plugged in for
// the `plug`th time, or with `add` false unregisters it; false where it was so already.
bool Listen(bool add, const void* volume, const std::string& id, uint32_t plug,
            IAudioEndpointVolumeCallback* callback);

// A program's write to endpoint `id`, plugged in for the `plug`th time, in its context (null:
// none), with the state after it: told to the callbacks registered on objects of that plug-in.
void TellListeners(const std::string& id, uint32_t plug, LPCGUID context, bool mute,
                   uint32_t scalarBits);
