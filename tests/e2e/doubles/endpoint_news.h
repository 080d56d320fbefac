// The change notifications of the endpoint volumes of the doubles: the callbacks registered on
// each volume object, told of every change from a thread of the doubles' own, as Windows tells
// them from a thread of its own.
#pragma once

#include <windows.h>
// windows.h first
#include <endpointvolume.h>

#include <cstdint>
#include <string>

// A registration on `volume`, an object of endpoint `id` handed out while it was plugged in for
// the `plug`th time. False for a callback registered there already.
bool AddListener(const void* volume, const std::string& id, uint32_t plug,
                 IAudioEndpointVolumeCallback* callback);
// False for a callback not registered on `volume`.
bool RemoveListener(const void* volume, IAudioEndpointVolumeCallback* callback);

// A write of a program to endpoint `id`, plugged in for the `plug`th time, in its context (null:
// none), with the state after it: told to the listeners of that endpoint.
void TellListeners(const std::string& id, uint32_t plug, LPCGUID context, bool mute,
                   uint32_t scalarBits);
