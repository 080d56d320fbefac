#include "tacetto/win32/endpoint.h"

// after windows.h
#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <objbase.h>

#include "tacetto/level_scale.h"
#include "tacetto/win32/core_audio_ids.h"
#include "tacetto/win32/endpoint_news.h"
#include "tacetto/win32/globals.h"

int32_t EndpointMuteAtStart = 0;

namespace {

constexpr HRESULT kDeviceInvalidated = HRESULT(0x88890004);  // AUDCLNT_E_DEVICE_INVALIDATED
constexpr HRESULT kNotFound = HRESULT(0x80070490);           // E_NOTFOUND: the device removed
constexpr int32_t kMuteNotRead = 0;
constexpr int32_t kMuteWasOff = 1;
constexpr int32_t kMuteWasOn = 2;

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
// The mute flag as the tool last wrote or read it, and whether the first read found it set.
bool g_flag = false;
bool g_foundMuted = false;
// Who changed the endpoint last. The flag and the level the tool last wrote (the flag: or found
// at start), and whether since then a change made elsewhere reported another one. Windows tells
// changes in no set order, so it is the values told that count, not the order they came in.
bool g_ownFlag = false;
bool g_flagElsewhere = false;
uint32_t g_ownLevel = 0;
bool g_levelWritten = false;
bool g_levelElsewhere = false;

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

// The volume of the endpoint of the run, as held or looked up by its id, registered for its news
// if it is followed. With `active`, only while its device is active: in any other state
// (unplugged, disabled, not present) the device is away, and its volume, which may still answer
// on the stored settings, is no line a user records from. A lookup that fails on the enumerator
// held from before is made once more on a new one: the system's audio service may have been
// restarted since.
HRESULT HeldVolume(bool active, const char*& call) {
  HRESULT result = S_OK;
  const bool held = g_volume != nullptr;
  for (bool again = g_enumerator != nullptr;; again = false) {
    if (g_enumerator == nullptr) {
      RunContext();  // before anything can be registered
      call = "cocreateinstance()";
      result =
          CoCreateInstance(kDeviceEnumeratorClass, nullptr, CLSCTX_ALL, kDeviceEnumeratorInterface,
                           reinterpret_cast<void**>(&g_enumerator));
    }
    if (SUCCEEDED(result) && g_device == nullptr) {
      call = "getdevice()";
      result = g_enumerator->GetDevice(EndpointOfRun(), &g_device);
    }
    DWORD state = DEVICE_STATE_ACTIVE;
    if (SUCCEEDED(result) && active) {
      call = "getstate()";
      result = g_device->GetState(&state);
    }
    if (SUCCEEDED(result) && state != DEVICE_STATE_ACTIVE) {
      call = "activate()";  // the text of every kind of away
      return kDeviceInvalidated;
    }
    if (SUCCEEDED(result) && g_volume == nullptr) {
      call = "activate()";
      result = g_device->Activate(kEndpointVolumeInterface, CLSCTX_ALL, nullptr,
                                  reinterpret_cast<void**>(&g_volume));
    }
    if (SUCCEEDED(result) || !again) {
      if (!held) {  // a registration refused is not asked again at every press
        Register();
      }
      if (active && result == kNotFound) {  // removed, and no longer held: away as any other kind
        call = "activate()";
        return kDeviceInvalidated;
      }
      return result;
    }
    DropEnumerator();
  }
}

// The master scalar, read from the volume held; where that does not answer (its device went
// away and its objects stay dead), from the volume looked up anew, once.
HRESULT ReadScalar(bool active, float& scalar, const char*& call) {
  bool held = g_volume != nullptr;
  HRESULT result = HeldVolume(active, call);
  for (; SUCCEEDED(result); held = false) {
    call = "getmastervolumelevelscalar()";
    result = g_volume->GetMasterVolumeLevelScalar(&scalar);
    if (SUCCEEDED(result) || !held) {
      break;
    }
    DropVolume();
    result = HeldVolume(active, call);
  }
  return result;
}

}  // namespace

uint32_t ReadEndpoint(uint32_t& level, bool restore, const char*& call) {
  float scalar = 0.0f;
  // Only a restore may reach a device that is away: a headset muted by the tool must not come
  // back muted after the tool is gone.
  HRESULT result = ReadScalar(!restore && EndpointMuteAtStart != kMuteNotRead, scalar, call);
  level = LevelFromScalar(scalar);
  if (SUCCEEDED(result) && EndpointMuteAtStart == kMuteNotRead) {
    BOOL muted = FALSE;
    call = "getmute()";
    result = g_volume->GetMute(&muted);
    if (SUCCEEDED(result)) {
      g_foundMuted = g_flag = g_ownFlag = muted != FALSE;
      EndpointMuteAtStart = g_foundMuted && level != 0 ? kMuteWasOn : kMuteWasOff;
    }
  } else if (SUCCEEDED(result) && restore) {
    // The exit goes by the device as it is now: news missed while the volume held was dead, or a
    // read after news cut short by the device going, show here. A flag or a level other than the
    // tool's own was set by another program.
    BOOL muted = FALSE;
    if (FAILED(g_volume->GetMute(&muted))) {
      muted = g_flag ? TRUE : FALSE;  // as last known
    }
    NoteChangeElsewhere(muted != FALSE, level);
  }
  return Code(result);
}

uint32_t WriteEndpoint(uint32_t level, MuteFlag flag, const char*& call) {
  call = "setmastervolumelevelscalar()";
  HRESULT result = g_volume->SetMasterVolumeLevelScalar(ScalarFromLevel(level), &RunContext());
  if (SUCCEEDED(result)) {
    g_ownLevel = level;
    g_levelWritten = true;
    g_levelElsewhere = false;
  }
  if (SUCCEEDED(result) && flag != MuteFlag::kLeave) {
    // The level alone does not hold: a call program's gain control raises a level of 0 when it
    // starts capturing, but leaves the mute flag alone.
    const BOOL muted =
        flag == MuteFlag::kAsAtStart ? EndpointMuteAtStart == kMuteWasOn : flag == MuteFlag::kSet;
    call = "setmute()";
    result = g_volume->SetMute(muted, &RunContext());  // S_FALSE: the flag had that state already
    if (SUCCEEDED(result)) {
      g_flag = g_ownFlag = muted != FALSE;
      g_flagElsewhere = false;
    }
  }
  return Code(result);
}

int32_t EndpointHoldsMute() {
  BOOL muted = FALSE;
  if (g_volume == nullptr || FAILED(g_volume->GetMute(&muted))) {
    return 0;  // a device that does not answer mutes nothing the tool could show
  }
  g_flag = muted != FALSE;
  return g_flag ? 1 : 0;
}

bool EndpointFoundMuted() {
  return g_foundMuted;
}

void NoteChangeElsewhere(bool muted, uint32_t level) {
  g_flag = muted;  // read again after the news, where the device answers
  g_flagElsewhere = g_flagElsewhere || muted != g_ownFlag;
  g_levelElsewhere = g_levelElsewhere || level != g_ownLevel;
}

bool EndpointMutedElsewhere() {
  return g_flag && g_flagElsewhere;
}

bool EndpointLevelOwn() {
  return g_levelWritten && !g_levelElsewhere;
}

void FollowEndpoint(HWND window) {
  g_follower = window;
  PostNewsTo(window, EndpointOfRun());
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
    if (SUCCEEDED(g_enumerator->GetDevice(EndpointOfRun(), &device))) {
      device->GetState(&state);
      device->Release();
    }
    if (state != DEVICE_STATE_ACTIVE) {
      return EndpointNow::kGone;
    }
  }
  // The level read again after the flag: a change made between the two reads would mix an old
  // level with a new flag, and is read anew. A volume that no longer answers is looked up again
  // (a device back whose objects stay dead); one that cannot be had any more is gone. The device's
  // state was asked above where it may have changed: a change of the level or the flag asks no
  // more than the reads.
  float scalar = 0.0f;
  float after = 0.0f;
  BOOL flag = FALSE;
  const char* call = nullptr;
  for (int reads = 0; reads == 0 || (reads < 3 && LevelFromScalar(scalar) != level); ++reads) {
    const HRESULT result = ReadScalar(false, scalar, call);
    if (result == kDeviceInvalidated || result == kNotFound) {
      return EndpointNow::kGone;
    }
    if (FAILED(result) || FAILED(g_volume->GetMute(&flag)) ||
        FAILED(g_volume->GetMasterVolumeLevelScalar(&after))) {
      return EndpointNow::kNotKnown;
    }
    level = LevelFromScalar(after);
  }
  muted = g_flag = flag != FALSE;
  return EndpointNow::kPresent;
}

void ReleaseEndpoint() {
  DropEnumerator();
}
