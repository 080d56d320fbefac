// The capture-endpoint side of the test doubles: the device enumerator, the endpoints of the wave
// inputs of sound.txt by their ids, and their volume (master scalar and mute flag). An endpoint
// away (unplugged, disabled, removed) is found by GetDevice in its state, unless the walk drew
// E_NOTFOUND for a removed one; its volume can be activated unless the walk drew a refusal, and
// works on its stored settings. Objects handed out before their endpoint's count was bumped
// answer AUDCLNT_E_DEVICE_INVALIDATED (docs/end-to-end-tests.md: what Windows documents).
#include <windows.h>
// windows.h first
#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tacetto/win32/core_audio_ids.h"
#include "tests/e2e/doubles/endpoint_news.h"
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
    return *out == nullptr ? E_NOINTERFACE : (AddRef(), S_OK);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0 && name_ != nullptr) {
      SoundCall("release").Log("release %s", name_);
    }
    if (left == 0) {
      delete this;
    }
    return ULONG(left);
  }

 private:
  const char* name_;
  const IID& iid_;
  LONG references_ = 1;
};

// The volume of endpoint `id_`, made while its count was `plug_`. Each call fails as scheduled,
// without a pointer (E_POINTER), or once the endpoint is gone from sound.txt or its count bumped
// since (device invalidated). Each write that changes the endpoint is told
// to its registered callbacks.
class Volume : public Object<IAudioEndpointVolume> {
 public:
  Volume(const std::string& id, uint32_t plug)
      : Object("volume", kEndpointVolumeInterface), id_(id), plug_(plug) {}

  HRESULT STDMETHODCALLTYPE GetMasterVolumeLevelScalar(float* scalar) override {
    SoundCall call("GetMasterVolumeLevelScalar");
    SoundWaveIn* in = nullptr;
    const HRESULT result = Check(call, scalar, in);
    char bits[16] = "-";
    if (result == S_OK) {
      memcpy(scalar, &in->scalarBits, sizeof *scalar);
      snprintf(bits, sizeof bits, "%08x", unsigned(in->scalarBits));
    }
    call.Log("GetMasterVolumeLevelScalar -> 0x%08x %s", unsigned(result), bits);
    return result;
  }
  HRESULT STDMETHODCALLTYPE SetMasterVolumeLevelScalar(float scalar, LPCGUID context) override {
    SoundCall call("SetMasterVolumeLevelScalar");
    call.NoteLights();
    uint32_t bits = 0;
    memcpy(&bits, &scalar, sizeof bits);
    SoundWaveIn* in = nullptr;
    HRESULT result = Check(call, &scalar, in);
    if (result == S_OK && !(scalar >= 0.0f && scalar <= 1.0f)) {
      result = E_INVALIDARG;
    } else if (result == S_OK) {
      in->scalarBits = bits;
      AddNews(call, *in, context);
    }
    call.Log("SetMasterVolumeLevelScalar %08x -> 0x%08x", unsigned(bits), unsigned(result));
    return result;
  }
  HRESULT STDMETHODCALLTYPE GetMute(BOOL* mute) override {
    SoundCall call("GetMute");
    SoundWaveIn* in = nullptr;
    const HRESULT result = Check(call, mute, in);
    if (result == S_OK) {
      *mute = in->mute;
    }
    call.Log("GetMute -> 0x%08x %s", unsigned(result), result != S_OK ? "-" : *mute ? "1" : "0");
    return result;
  }
  HRESULT STDMETHODCALLTYPE SetMute(BOOL mute, LPCGUID context) override {
    SoundCall call("SetMute");
    SoundWaveIn* in = nullptr;
    HRESULT result = Check(call, &mute, in);
    if (result == S_OK) {
      result = in->mute == (mute != 0) ? S_FALSE : S_OK;  // S_FALSE: the flag had that state
      in->mute = mute != 0;
    }
    if (result == S_OK) {
      AddNews(call, *in, context);
    }
    call.Log("SetMute %d -> 0x%08x", mute != 0, unsigned(result));
    return result;
  }
  HRESULT STDMETHODCALLTYPE
  RegisterControlChangeNotify(IAudioEndpointVolumeCallback* callback) override {
    SoundCall call("RegisterControlChangeNotify");
    SoundWaveIn* in = nullptr;
    HRESULT result = Check(call, callback, in);
    if (result == S_OK &&
        !Listen(true, this, id_, plug_, call.sound.counts["newsmade"], callback)) {
      result = E_INVALIDARG;
    }
    call.Log("RegisterControlChangeNotify -> 0x%08x", unsigned(result));
    return result;
  }
  HRESULT STDMETHODCALLTYPE
  UnregisterControlChangeNotify(IAudioEndpointVolumeCallback* callback) override {
    SoundCall call("UnregisterControlChangeNotify");
    const HRESULT result = call.failed                                    ? HRESULT(call.code)
                           : callback == nullptr                          ? E_POINTER
                           : Listen(false, this, id_, plug_, 0, callback) ? S_OK
                                                                          : E_INVALIDARG;
    call.Log("UnregisterControlChangeNotify -> 0x%08x", unsigned(result));
    return result;
  }
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
  HRESULT Check(SoundCall& call, const void* pointer, SoundWaveIn*& in) const {
    in = call.sound.WaveInOfEndpoint(id_);
    return call.failed                          ? HRESULT(call.code)
           : pointer == nullptr                 ? E_POINTER
           : in != nullptr && in->plug == plug_ ? S_OK
                                                : kInvalidated;
  }

  std::string id_;
  uint32_t plug_;
};

class Device : public Object<IMMDevice> {
 public:
  explicit Device(const std::string& id) : Object("device", __uuidof(IMMDevice)), id_(id) {}

  HRESULT STDMETHODCALLTYPE Activate(REFIID iid, DWORD, PROPVARIANT*, void** out) override {
    SoundCall call("Activate");
    const SoundWaveIn* in = call.sound.WaveInOfEndpoint(id_);
    const HRESULT result = call.failed                       ? HRESULT(call.code)
                           : out == nullptr                  ? E_POINTER
                           : iid != kEndpointVolumeInterface ? E_NOINTERFACE
                           : in == nullptr                   ? kInvalidated
                           : !in->plugged && in->Has('a')    ? kInvalidated
                                                             : S_OK;
    if (!call.failed && result == S_OK) {
      *out = static_cast<IAudioEndpointVolume*>(new Volume(id_, in->plug));
    }
    call.Log("Activate -> 0x%08x", unsigned(result));
    return result;
  }
  HRESULT STDMETHODCALLTYPE GetState(DWORD* state) override {
    SoundCall call("GetState");
    const SoundWaveIn* in = call.sound.WaveInOfEndpoint(id_);
    const HRESULT result = call.failed ? HRESULT(call.code) : state == nullptr ? E_POINTER : S_OK;
    if (result == S_OK) {
      *state = in == nullptr ? DEVICE_STATE_NOTPRESENT : in->State();
    }
    call.Log("GetState -> 0x%08x %lu", unsigned(result), result == S_OK ? *state : 0);
    return result;
  }
  NOT_IMPLEMENTED(OpenPropertyStore, DWORD, IPropertyStore**)
  NOT_IMPLEMENTED(GetId, LPWSTR*)

 private:
  std::string id_;
};

class Enumerator : public Object<IMMDeviceEnumerator> {
 public:
  Enumerator() : Object("enumerator", kDeviceEnumeratorInterface) {}

  HRESULT STDMETHODCALLTYPE GetDevice(LPCWSTR id, IMMDevice** device) override {
    SoundCall call("GetDevice");
    const std::string text = id != nullptr ? std::string(id, id + wcslen(id)) : "";
    const SoundWaveIn* in = call.sound.WaveInOfEndpoint(text);
    const HRESULT result = call.failed                          ? HRESULT(call.code)
                           : id == nullptr || device == nullptr ? E_POINTER
                           : in == nullptr                      ? kNotFound
                           : in->State() == DEVICE_STATE_NOTPRESENT && in->Has('n') ? kNotFound
                                                                                    : S_OK;
    if (result == S_OK) {
      *device = new Device(text);
    }
    // The id without the part that all endpoints of the doubles share: "{mic}".
    const size_t shared = text.rfind("}.{");
    call.Log("GetDevice %s -> 0x%08x",
             text.substr(shared == std::string::npos ? 0 : shared + 2).c_str(), unsigned(result));
    return result;
  }
  NOT_IMPLEMENTED(EnumAudioEndpoints, EDataFlow, DWORD, IMMDeviceCollection**)
  NOT_IMPLEMENTED(GetDefaultAudioEndpoint, EDataFlow, ERole, IMMDevice**)
  HRESULT STDMETHODCALLTYPE
  RegisterEndpointNotificationCallback(IMMNotificationClient* client) override {
    return Listen("RegisterEndpointNotificationCallback", true, client);
  }
  HRESULT STDMETHODCALLTYPE
  UnregisterEndpointNotificationCallback(IMMNotificationClient* client) override {
    return Listen("UnregisterEndpointNotificationCallback", false, client);
  }

 private:
  static HRESULT Listen(const char* name, bool add, IMMNotificationClient* client) {
    SoundCall call(name);
    const HRESULT result = call.failed                     ? HRESULT(call.code)
                           : client == nullptr             ? E_POINTER
                           : ListenForDevices(add, client) ? S_OK
                                                           : E_INVALIDARG;
    call.Log("%s -> 0x%08x", name, unsigned(result));
    return result;
  }
};

class Factory : public Object<IClassFactory> {
 public:
  Factory() : Object(nullptr, IID_IClassFactory) {}

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    SoundCall call("CoCreateInstance");
    HRESULT result = call.failed      ? HRESULT(call.code)
                     : out == nullptr ? E_POINTER
                                      : (*out = nullptr, CLASS_E_NOAGGREGATION);
    if (!call.failed && out != nullptr && outer == nullptr) {
      Enumerator* enumerator = new Enumerator;
      result = enumerator->QueryInterface(iid, out);
      enumerator->Release();
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
