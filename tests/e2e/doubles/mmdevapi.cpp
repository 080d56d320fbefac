// The capture-endpoint side of the test doubles: the device enumerator, the devices of the wave
// inputs of sound.txt and their endpoint volume (master scalar and mute flag).
#include <windows.h>
// windows.h first
#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <cstring>

#include "tacetto/win32/core_audio_ids.h"
#include "tests/e2e/doubles/sound_state.h"

namespace {

constexpr HRESULT kNotFound = HRESULT(0x80070490);     // HRESULT_FROM_WIN32(ERROR_NOT_FOUND)
constexpr HRESULT kInvalidated = HRESULT(0x88890004);  // AUDCLNT_E_DEVICE_INVALIDATED
LONG g_objects = 0;

// A method the mute tool never calls.
#define NOT_IMPLEMENTED(method, ...)                       \
  HRESULT STDMETHODCALLTYPE method(__VA_ARGS__) override { \
    return E_NOTIMPL;                                      \
  }

// Reference counting, and "release <name>" in the log when the last reference goes.
template <typename Interface>
class Object : public Interface {
 public:
  Object(const char* name, const IID& iid) : name_(name), iid_(iid) {
    InterlockedIncrement(&g_objects);
  }
  virtual ~Object() { InterlockedDecrement(&g_objects); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) {
      return E_POINTER;
    }
    *out = iid == IID_IUnknown || iid == iid_ ? this : nullptr;
    if (*out == nullptr) {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
      if (name_ != nullptr) {
        SoundCall("release").Log("release %s", name_);
      }
      delete this;
    }
    return ULONG(left);
  }

 private:
  const char* name_;
  const IID& iid_;
  LONG references_ = 1;
};

// The endpoint volume of wave input `waveIn`.
class Volume : public Object<IAudioEndpointVolume> {
 public:
  explicit Volume(uint32_t waveIn) : Object("volume", kEndpointVolumeInterface), waveIn_(waveIn) {}

  HRESULT STDMETHODCALLTYPE GetMasterVolumeLevelScalar(float* scalar) override {
    SoundCall call("GetMasterVolumeLevelScalar");
    const HRESULT result = Check(call, scalar);
    if (result == S_OK) {
      memcpy(scalar, &call.sound.waveIns[waveIn_].scalarBits, sizeof *scalar);
      call.Log("GetMasterVolumeLevelScalar -> 0x00000000 %08x",
               unsigned(call.sound.waveIns[waveIn_].scalarBits));
    } else {
      call.Log("GetMasterVolumeLevelScalar -> 0x%08x -", unsigned(result));
    }
    return result;
  }
  HRESULT STDMETHODCALLTYPE SetMasterVolumeLevelScalar(float scalar, LPCGUID) override {
    SoundCall call("SetMasterVolumeLevelScalar");
    uint32_t bits = 0;
    memcpy(&bits, &scalar, sizeof bits);
    HRESULT result = Check(call, &scalar);
    if (result == S_OK && !(scalar >= 0.0f && scalar <= 1.0f)) {
      result = E_INVALIDARG;
    } else if (result == S_OK) {
      call.sound.waveIns[waveIn_].scalarBits = bits;
    }
    call.Log("SetMasterVolumeLevelScalar %08x -> 0x%08x", unsigned(bits), unsigned(result));
    return result;
  }
  HRESULT STDMETHODCALLTYPE GetMute(BOOL* mute) override {
    SoundCall call("GetMute");
    const HRESULT result = Check(call, mute);
    if (result == S_OK) {
      *mute = call.sound.waveIns[waveIn_].mute;
      call.Log("GetMute -> 0x00000000 %d", *mute);
    } else {
      call.Log("GetMute -> 0x%08x -", unsigned(result));
    }
    return result;
  }
  HRESULT STDMETHODCALLTYPE SetMute(BOOL mute, LPCGUID) override {
    SoundCall call("SetMute");
    HRESULT result = Check(call, &mute);
    if (result == S_OK) {
      bool& flag = call.sound.waveIns[waveIn_].mute;
      result = flag == (mute != 0) ? S_FALSE : S_OK;
      flag = mute != 0;
    }
    call.Log("SetMute %d -> 0x%08x", mute != 0, unsigned(result));
    return result;
  }
  NOT_IMPLEMENTED(RegisterControlChangeNotify, IAudioEndpointVolumeCallback*)
  NOT_IMPLEMENTED(UnregisterControlChangeNotify, IAudioEndpointVolumeCallback*)
  NOT_IMPLEMENTED(GetChannelCount, UINT*)
  NOT_IMPLEMENTED(SetMasterVolumeLevel, float, LPCGUID)
  NOT_IMPLEMENTED(GetMasterVolumeLevel, float*)
  NOT_IMPLEMENTED(SetChannelVolumeLevel, UINT, float, LPCGUID)
  NOT_IMPLEMENTED(SetChannelVolumeLevelScalar, UINT, float, LPCGUID)
  NOT_IMPLEMENTED(GetChannelVolumeLevel, UINT, float*)
  NOT_IMPLEMENTED(GetChannelVolumeLevelScalar, UINT, float*)
  NOT_IMPLEMENTED(GetVolumeStepInfo, UINT*, UINT*)
  NOT_IMPLEMENTED(VolumeStepUp, LPCGUID)
  NOT_IMPLEMENTED(VolumeStepDown, LPCGUID)
  NOT_IMPLEMENTED(QueryHardwareSupport, DWORD*)
  NOT_IMPLEMENTED(GetVolumeRange, float*, float*, float*)

 private:
  // A scheduled failure, a missing pointer, or a wave input no longer in sound.txt.
  HRESULT Check(const SoundCall& call, const void* pointer) const {
    if (call.failed) {
      return HRESULT(call.code);
    }
    if (pointer == nullptr) {
      return E_POINTER;
    }
    return waveIn_ < call.sound.waveIns.size() ? S_OK : kInvalidated;
  }

  uint32_t waveIn_;
};

class Device : public Object<IMMDevice> {
 public:
  explicit Device(uint32_t waveIn) : Object("device", __uuidof(IMMDevice)), waveIn_(waveIn) {}

  HRESULT STDMETHODCALLTYPE Activate(REFIID iid, DWORD, PROPVARIANT*, void** out) override {
    SoundCall call("Activate");
    HRESULT result = call.failed ? HRESULT(call.code) : out == nullptr ? E_POINTER : E_NOINTERFACE;
    if (!call.failed && out != nullptr && iid == kEndpointVolumeInterface) {
      *out = static_cast<IAudioEndpointVolume*>(new Volume(waveIn_));
      result = S_OK;
    }
    call.Log("Activate -> 0x%08x", unsigned(result));
    return result;
  }
  NOT_IMPLEMENTED(OpenPropertyStore, DWORD, IPropertyStore**)
  NOT_IMPLEMENTED(GetId, LPWSTR*)
  NOT_IMPLEMENTED(GetState, DWORD*)

 private:
  uint32_t waveIn_;
};

class Enumerator : public Object<IMMDeviceEnumerator> {
 public:
  Enumerator() : Object("enumerator", kDeviceEnumeratorInterface) {}

  HRESULT STDMETHODCALLTYPE GetDevice(LPCWSTR id, IMMDevice** device) override {
    SoundCall call("GetDevice");
    uint32_t waveIn = 0;
    HRESULT result = call.failed                          ? HRESULT(call.code)
                     : id == nullptr || device == nullptr ? E_POINTER
                                                          : kNotFound;
    if (!call.failed && result == kNotFound && WaveInOfEndpointId(id, waveIn) &&
        waveIn < call.sound.waveIns.size()) {
      *device = new Device(waveIn);
      result = S_OK;
    }
    call.Log("GetDevice -> 0x%08x", unsigned(result));
    return result;
  }
  NOT_IMPLEMENTED(EnumAudioEndpoints, EDataFlow, DWORD, IMMDeviceCollection**)
  NOT_IMPLEMENTED(GetDefaultAudioEndpoint, EDataFlow, ERole, IMMDevice**)
  NOT_IMPLEMENTED(RegisterEndpointNotificationCallback, IMMNotificationClient*)
  HRESULT STDMETHODCALLTYPE
  UnregisterEndpointNotificationCallback(IMMNotificationClient*) override {
    return E_NOTIMPL;
  }
};

class Factory : public Object<IClassFactory> {
 public:
  Factory() : Object(nullptr, IID_IClassFactory) {}

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    SoundCall call("CoCreateInstance");
    HRESULT result = call.failed      ? HRESULT(call.code)
                     : out == nullptr ? E_POINTER
                                      : CLASS_E_NOAGGREGATION;
    if (!call.failed && out != nullptr) {
      *out = nullptr;
      if (outer == nullptr) {
        Enumerator* enumerator = new Enumerator;
        result = enumerator->QueryInterface(iid, out);
        enumerator->Release();
      }
    }
    call.Log("CoCreateInstance -> 0x%08x", unsigned(result));
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

}  // namespace

DOUBLE_EXPORT HRESULT WINAPI DllGetClassObject(REFCLSID id, REFIID iid, void** out) {
  if (id != kDeviceEnumeratorClass) {
    return CLASS_E_CLASSNOTAVAILABLE;
  }
  Factory* factory = new Factory;
  const HRESULT result = factory->QueryInterface(iid, out);
  factory->Release();
  return result;
}

DOUBLE_EXPORT HRESULT WINAPI DllCanUnloadNow() {
  return g_objects == 0 ? S_OK : S_FALSE;
}
