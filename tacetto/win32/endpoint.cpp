#include "tacetto/win32/endpoint.h"

// after windows.h
#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <objbase.h>

#include <atomic>

#include "tacetto/level_scale.h"
#include "tacetto/win32/core_audio_ids.h"
#include "tacetto/win32/globals.h"
#include "tacetto/win32/winmm_library.h"

int32_t EndpointMuteAtStart = 0;

namespace {

constexpr DWORD kFirstEndpointWindows = 6;  // Windows Vista
// Driver messages of the wave devices (mmddk.h).
constexpr UINT kQueryFunctionInstanceId = 0x0800 + 17;
constexpr UINT kQueryFunctionInstanceIdSize = 0x0800 + 18;
constexpr int32_t kMuteNotRead = 0;
constexpr int32_t kMuteWasOff = 1;
constexpr int32_t kMuteWasOn = 2;

// The endpoint of the run, a short string such as "{0.0.1.00000000}.{<guid>}"; empty until the
// first switch has found it.
wchar_t g_endpointId[256];
// Created at the first switch and kept: the class lookup behind it reads the registry, which a
// hotkey press should not wait for.
IMMDeviceEnumerator* g_enumerator = nullptr;
// The endpoint's device and volume, held so that its change notifications can come through them.
IMMDevice* g_device = nullptr;
IAudioEndpointVolume* g_volume = nullptr;

// S_OK and S_FALSE both succeed; the code of a failure is its HRESULT.
uint32_t Code(HRESULT result) {
  return SUCCEEDED(result) ? 0 : static_cast<uint32_t>(result);
}

template <typename T>
void ReleaseInterface(T*& pointer) {
  if (pointer != nullptr) {
    pointer->Release();
    pointer = nullptr;
  }
}

// The run's own context, passed with every write: made at the first look-up, before any
// registration, and then only read, also by the system's thread that tells the news.
GUID g_runContext = {};
// The window told of another program's changes; read by the system's thread.
std::atomic<HWND> g_newsWindow{nullptr};
bool g_registered = false;

// Told of every change of the endpoint, on a thread of the system's: it only posts a message to
// the window, unless the change is one of the tool's own. A static object, so no counting.
class EndpointNews final : public IAudioEndpointVolumeCallback {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) {
      return E_POINTER;
    }
    const bool known =
        IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, kEndpointVolumeCallbackInterface);
    *out = known ? this : nullptr;
    return known ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE OnNotify(AUDIO_VOLUME_NOTIFICATION_DATA* data) override {
    if (data != nullptr && !IsEqualGUID(data->guidEventContext, g_runContext)) {
      PostMessageA(g_newsWindow.load(), kEndpointNews, 0, 0);
    }
    return S_OK;
  }
};
EndpointNews g_news;

void RegisterForNews() {
  g_registered = SUCCEEDED(g_volume->RegisterControlChangeNotify(&g_news));
}

void StopNews() {
  if (g_registered && g_volume != nullptr) {
    g_volume->UnregisterControlChangeNotify(&g_news);
    g_registered = false;
  }
}

// The volume and the device held, released; no news comes through them any more.
void DropVolume() {
  StopNews();
  ReleaseInterface(g_volume);
  ReleaseInterface(g_device);
}

// The volume of the endpoint of the run, by its id; followed again if the window follows it.
HRESULT LookUpVolume(const char*& call) {
  HRESULT result = S_OK;
  if (g_enumerator == nullptr) {
    // Different in every run; should no GUID be made, the process and the time tell runs apart,
    // and the context is never the zero GUID that other programs' writes without one carry.
    if (FAILED(CoCreateGuid(&g_runContext))) {
      g_runContext.Data1 = GetCurrentProcessId();
      g_runContext.Data2 = static_cast<WORD>(GetTickCount() | 1);
    }
    call = "cocreateinstance()";
    result = CoCreateInstance(kDeviceEnumeratorClass, nullptr, CLSCTX_ALL,
                              kDeviceEnumeratorInterface, reinterpret_cast<void**>(&g_enumerator));
  }
  if (SUCCEEDED(result)) {
    call = "getdevice()";
    result = g_enumerator->GetDevice(g_endpointId, &g_device);
  }
  if (SUCCEEDED(result)) {
    call = "activate()";
    result = g_device->Activate(kEndpointVolumeInterface, CLSCTX_ALL, nullptr,
                                reinterpret_cast<void**>(&g_volume));
  }
  if (SUCCEEDED(result) && g_newsWindow.load() != nullptr) {
    RegisterForNews();
  }
  return result;
}

}  // namespace

bool UseEndpoint() {
  return (GetVersion() & 0xFF) >= kFirstEndpointWindows;
}

bool EndpointChosen() {
  return g_endpointId[0] != L'\0';
}

uint32_t ChooseEndpoint(UINT device, const char*& call) {
  const WinmmFunctions* winmm = Winmm();
  // A wave input whose mixerGetID fails is passed over; when none belongs to the device, the box
  // shows the first such failure's own code, else MMSYSERR_BADDEVICEID.
  const UINT count = winmm->waveInGetNumDevs();
  MMRESULT firstFailure = MMSYSERR_NOERROR;
  UINT waveIn = 0;
  for (; waveIn < count; ++waveIn) {
    UINT mixer = 0;
    const MMRESULT result = winmm->mixerGetID(
        reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(waveIn)), &mixer, MIXER_OBJECTF_WAVEIN);
    if (result == MMSYSERR_NOERROR && mixer == device) {
      break;
    }
    if (firstFailure == MMSYSERR_NOERROR) {
      firstFailure = result;
    }
  }
  if (waveIn == count) {
    call = "mixergetid()";
    return firstFailure != MMSYSERR_NOERROR ? firstFailure : MMSYSERR_BADDEVICEID;
  }
  call = "waveinmessage()";
  HWAVEIN handle = reinterpret_cast<HWAVEIN>(static_cast<UINT_PTR>(waveIn));
  // Documented as a ULONG, but some implementations write a full pointer-sized value: a zeroed
  // DWORD_PTR holds the size either way.
  DWORD_PTR bytes = 0;
  MMRESULT result = winmm->waveInMessage(handle, kQueryFunctionInstanceIdSize,
                                         reinterpret_cast<DWORD_PTR>(&bytes), 0);
  if (result == MMSYSERR_NOERROR && bytes >= sizeof g_endpointId) {
    result = MMSYSERR_NOMEM;
  }
  if (result == MMSYSERR_NOERROR) {
    result = winmm->waveInMessage(handle, kQueryFunctionInstanceId,
                                  reinterpret_cast<DWORD_PTR>(g_endpointId), sizeof g_endpointId);
  }
  // Left empty unless the whole id was read, so that EndpointChosen is true only for one.
  if (result == MMSYSERR_NOERROR) {
    g_endpointId[sizeof g_endpointId / sizeof *g_endpointId - 1] = L'\0';
  } else {
    g_endpointId[0] = L'\0';
  }
  return result;
}

uint32_t ReadEndpoint(uint32_t& level, const char*& call) {
  float scalar = 0.0f;
  call = "getmastervolumelevelscalar()";
  HRESULT result = E_FAIL;
  if (g_volume != nullptr) {
    result = g_volume->GetMasterVolumeLevelScalar(&scalar);
  }
  if (FAILED(result)) {
    DropVolume();
    result = LookUpVolume(call);
    if (SUCCEEDED(result)) {
      call = "getmastervolumelevelscalar()";
      result = g_volume->GetMasterVolumeLevelScalar(&scalar);
    }
  }
  if (SUCCEEDED(result) && EndpointMuteAtStart == kMuteNotRead) {
    BOOL muted = FALSE;
    call = "getmute()";
    result = g_volume->GetMute(&muted);
    if (SUCCEEDED(result)) {
      EndpointMuteAtStart = muted != FALSE ? kMuteWasOn : kMuteWasOff;
    }
  }
  level = LevelFromScalar(scalar);
  return Code(result);
}

uint32_t WriteEndpoint(uint32_t level, MuteFlag flag, const char*& call) {
  call = "setmastervolumelevelscalar()";
  HRESULT result = g_volume->SetMasterVolumeLevelScalar(ScalarFromLevel(level), &g_runContext);
  if (SUCCEEDED(result)) {
    // The level alone does not hold: a call program's gain control raises a level of 0 when it
    // starts capturing, but leaves the mute flag alone.
    const BOOL muted =
        flag == MuteFlag::kAsAtStart ? EndpointMuteAtStart == kMuteWasOn : flag == MuteFlag::kSet;
    call = "setmute()";
    result = g_volume->SetMute(muted, &g_runContext);  // S_FALSE: the flag had that state already
  }
  return Code(result);
}

bool EndpointFoundMuted() {
  return EndpointMuteAtStart == kMuteWasOn;
}

void FollowEndpoint(HWND window) {
  if (window == nullptr) {
    StopNews();
  }
  g_newsWindow.store(window);
  if (window != nullptr && g_volume != nullptr && !g_registered) {
    RegisterForNews();
  }
}

bool ReadFollowedEndpoint(bool& muted, uint32_t& level) {
  float scalar = 0.0f;
  BOOL flag = FALSE;
  if (!g_registered || FAILED(g_volume->GetMasterVolumeLevelScalar(&scalar)) ||
      FAILED(g_volume->GetMute(&flag))) {
    return false;
  }
  muted = flag != FALSE;
  level = LevelFromScalar(scalar);
  return true;
}

void ReleaseEndpoint() {
  DropVolume();
  ReleaseInterface(g_enumerator);
}
