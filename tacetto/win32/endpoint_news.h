// The news of the capture endpoint: the system tells the tool, on threads of its own, of every
// change of the endpoint's level and mute flag and of every change of the device's state. The
// callbacks only post kEndpointNews to the window that follows the endpoint; everything else
// happens on the window's thread.
#pragma once

#include <windows.h>
// after windows.h
#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <cstdint>

// Posted to the window that follows the endpoint: wParam 0 when another program has changed its
// level or its mute flag, with lParam the flag and the level that change left (NewsOf);
// kDeviceNews when the device's state has changed (plugged in or out, enabled or disabled, added
// or removed).
constexpr UINT kEndpointNews = WM_APP + 1;
constexpr WPARAM kDeviceNews = 1;
constexpr LPARAM NewsOf(bool muted, uint32_t level) {
  return static_cast<LPARAM>(level << 1 | (muted ? 1 : 0));
}
constexpr bool NewsMuted(LPARAM news) {
  return (news & 1) != 0;
}
constexpr uint32_t NewsLevel(LPARAM news) {
  return static_cast<uint32_t>(news) >> 1;
}

// The run's own context, passed with every write so that its news is not posted: made once,
// before any registration, and then only read.
const GUID& RunContext();

// The window posted to from now on (nullptr: none), and the id of the endpoint whose device news
// is posted; the id stays put while anything is registered.
void PostNewsTo(HWND window, const wchar_t* endpointId);

// The callbacks, static objects that count no references.
IAudioEndpointVolumeCallback* VolumeNews();
IMMNotificationClient* DeviceNews();
