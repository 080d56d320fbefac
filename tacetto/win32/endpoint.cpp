#include "tacetto/win32/endpoint.h"

// after windows.h
#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <objbase.h>

#include "tacetto/level_scale.h"
#include "tacetto/win32/core_audio_ids.h"
#include "tacetto/win32/endpoint_news.h"
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
// The window that follows the endpoint, and the registrations for its news.
HWND g_follower = nullptr;
bool g_volumeRegistered = false;
bool g_deviceRegistered = false;
// The mute flag as the tool last wrote or read it, and whether its last change was another
// program's that muted the endpoint.
bool g_flag = false;
bool g_mutedElsewhere = false;
bool g_foundMuted = false;

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

// The registrations made as far as what they need is held and the endpoint is followed.
void Register() {
  if (g_follower == nullptr) {
    return;
  }
  if (g_volume != nullptr && !g_volumeRegistered) {
    g_volumeRegistered = SUCCEEDED(g_volume->RegisterControlChangeNotify(VolumeNews()));
  }
  if (g_enumerator != nullptr && !g_deviceRegistered) {
    g_deviceRegistered =
        SUCCEEDED(g_enumerator->RegisterEndpointNotificationCallback(DeviceNews()));
  }
}

void StopVolumeNews() {
  if (g_volumeRegistered && g_volume != nullptr) {
    g_volume->UnregisterControlChangeNotify(VolumeNews());
    g_volumeRegistered = false;
  }
}

void StopDeviceNews() {
  if (g_deviceRegistered && g_enumerator != nullptr) {
    g_enumerator->UnregisterEndpointNotificationCallback(DeviceNews());
    g_deviceRegistered = false;
  }
}

// The volume and the device held, released; no news comes through them any more.
void DropVolume() {
  StopVolumeNews();
  ReleaseInterface(g_volume);
  ReleaseInterface(g_device);
}

// The enumerator released after what was held through it.
void DropEnumerator() {
  DropVolume();
  StopDeviceNews();
  ReleaseInterface(g_enumerator);
}

// The volume of the endpoint of the run, by its id, in place of what was held, registered for its
// news if it is followed. A
// lookup that fails on the enumerator held from before is made once more on a new one: the
// system's audio service may have been restarted since.
HRESULT LookUpVolume(const char*& call) {
  DropVolume();
  HRESULT result = S_OK;
  for (bool again = g_enumerator != nullptr;; again = false) {
    if (g_enumerator == nullptr) {
      RunContext();  // before anything can be registered
      call = "cocreateinstance()";
      result =
          CoCreateInstance(kDeviceEnumeratorClass, nullptr, CLSCTX_ALL, kDeviceEnumeratorInterface,
                           reinterpret_cast<void**>(&g_enumerator));
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
    if (SUCCEEDED(result) || !again) {
      Register();
      return result;
    }
    DropEnumerator();
  }
}

// The endpoint's mute flag as read after news: a change from what the tool knew is another
// program's.
void NoteFlagRead(bool muted) {
  if (muted != g_flag) {
    g_mutedElsewhere = muted;
    g_flag = muted;
  }
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
    result = LookUpVolume(call);
    if (SUCCEEDED(result)) {
      call = "getmastervolumelevelscalar()";
      result = g_volume->GetMasterVolumeLevelScalar(&scalar);
    }
  }
  level = LevelFromScalar(scalar);
  if (SUCCEEDED(result) && EndpointMuteAtStart == kMuteNotRead) {
    BOOL muted = FALSE;
    call = "getmute()";
    result = g_volume->GetMute(&muted);
    if (SUCCEEDED(result)) {
      g_foundMuted = g_flag = muted != FALSE;
      EndpointMuteAtStart = g_foundMuted && level != 0 ? kMuteWasOn : kMuteWasOff;
    }
  }
  return Code(result);
}

uint32_t WriteEndpoint(uint32_t level, MuteFlag flag, const char*& call) {
  call = "setmastervolumelevelscalar()";
  HRESULT result = g_volume->SetMasterVolumeLevelScalar(ScalarFromLevel(level), &RunContext());
  if (SUCCEEDED(result)) {
    // The level alone does not hold: a call program's gain control raises a level of 0 when it
    // starts capturing, but leaves the mute flag alone.
    const BOOL muted =
        flag == MuteFlag::kAsAtStart ? EndpointMuteAtStart == kMuteWasOn : flag == MuteFlag::kSet;
    call = "setmute()";
    result = g_volume->SetMute(muted, &RunContext());  // S_FALSE: the flag had that state already
    if (result == S_OK) {
      g_flag = muted != FALSE;
      g_mutedElsewhere = false;
    }
  }
  return Code(result);
}

bool EndpointFoundMuted() {
  return g_foundMuted;
}

bool EndpointMutedElsewhere() {
  return g_mutedElsewhere;
}

void FollowEndpoint(HWND window) {
  g_follower = window;
  PostNewsTo(window, g_endpointId);
  if (window != nullptr) {
    Register();
  } else {
    StopVolumeNews();
    StopDeviceNews();
  }
}

EndpointNow ReadFollowedEndpoint(bool deviceNews, bool& muted, uint32_t& level) {
  if (g_follower == nullptr || g_enumerator == nullptr) {
    return EndpointNow::kNotKnown;
  }
  if (deviceNews) {
    IMMDevice* device = nullptr;
    DWORD state = 0;
    if (SUCCEEDED(g_enumerator->GetDevice(g_endpointId, &device))) {
      device->GetState(&state);
      device->Release();
    }
    if (state != DEVICE_STATE_ACTIVE) {
      DropVolume();
      return EndpointNow::kGone;
    }
    const char* call = nullptr;
    if (g_volume == nullptr && FAILED(LookUpVolume(call))) {
      return EndpointNow::kNotKnown;
    }
  }
  // The level read again after the flag: a change made between the two reads would mix an old
  // level with a new flag, and is read anew.
  float scalar = 0.0f;
  float after = 0.0f;
  BOOL flag = FALSE;
  for (int reads = 0; reads == 0 || (reads < 3 && LevelFromScalar(scalar) != level); ++reads) {
    if (g_volume == nullptr || FAILED(g_volume->GetMasterVolumeLevelScalar(&scalar)) ||
        FAILED(g_volume->GetMute(&flag)) || FAILED(g_volume->GetMasterVolumeLevelScalar(&after))) {
      return EndpointNow::kNotKnown;
    }
    level = LevelFromScalar(after);
  }
  muted = flag != FALSE;
  NoteFlagRead(muted);
  return EndpointNow::kPresent;
}

void ReleaseEndpoint() {
  DropEnumerator();
}
