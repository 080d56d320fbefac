#include "tacetto/win32/endpoint_news.h"

// after windows.h
#include <objbase.h>

#include <atomic>
#include <cwchar>

#include "tacetto/level_scale.h"
#include "tacetto/win32/core_audio_ids.h"

namespace {

GUID g_runContext = {};
bool g_contextMade = false;
// Read by the system's threads.
std::atomic<HWND> g_window{nullptr};
std::atomic<const wchar_t*> g_endpointId{L""};

void Post(WPARAM what, LPARAM told) {
  PostMessageA(g_window.load(), kEndpointNews, what, told);
}

template <typename Interface>
class StaticCallback : public Interface {
 public:
  explicit StaticCallback(const IID& iid) : iid_(iid) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) {
      return E_POINTER;
    }
    const bool known = IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, iid_);
    *out = known ? this : nullptr;
    return known ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

 private:
  const IID& iid_;
};

// Every change of the level or the mute flag, but the tool's own, with the flag and the level as
// that change left them.
class VolumeCallback final : public StaticCallback<IAudioEndpointVolumeCallback> {
 public:
  VolumeCallback() : StaticCallback(kEndpointVolumeCallbackInterface) {}
  HRESULT STDMETHODCALLTYPE OnNotify(AUDIO_VOLUME_NOTIFICATION_DATA* data) override {
    if (data != nullptr && !IsEqualGUID(data->guidEventContext, g_runContext)) {
      Post(0, NewsOf(data->bMuted != FALSE, LevelFromScalar(data->fMasterVolume)));
    }
    return S_OK;
  }
};

// The state of the endpoint's device; the other endpoints and the defaults are none of the tool's
// business.
class DeviceCallback final : public StaticCallback<IMMNotificationClient> {
 public:
  DeviceCallback() : StaticCallback(kNotificationClientInterface) {}
  HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR id, DWORD) override { return Tell(id); }
  HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR id) override { return Tell(id); }
  HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR id) override { return Tell(id); }
  HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow, ERole, LPCWSTR) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override {
    return S_OK;
  }

 private:
  static HRESULT Tell(LPCWSTR id) {
    if (id != nullptr && wcscmp(id, g_endpointId.load()) == 0) {
      Post(kDeviceNews, 0);
    }
    return S_OK;
  }
};

VolumeCallback g_volumeNews;
DeviceCallback g_deviceNews;

}  // namespace

const GUID& RunContext() {
  if (!g_contextMade) {
    g_contextMade = true;
    // Different in every run; should no GUID be made, the process and the time tell runs apart,
    // and the context is never the zero GUID that other programs' writes without one carry.
    if (FAILED(CoCreateGuid(&g_runContext))) {
      g_runContext.Data1 = GetCurrentProcessId();
      g_runContext.Data2 = static_cast<WORD>(GetTickCount() | 1);
    }
  }
  return g_runContext;
}

void PostNewsTo(HWND window, const wchar_t* endpointId) {
  g_endpointId.store(endpointId);
  g_window.store(window);
}

IAudioEndpointVolumeCallback* VolumeNews() {
  return &g_volumeNews;
}

IMMNotificationClient* DeviceNews() {
  return &g_deviceNews;
}
