// The platform work of the mute tool, in the same order and through the same functions, with the
// least code of its own: the floor its figures are compared against.
#include "bench/same_work.h"

#include <windows.h>
// after windows.h
#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <mmsystem.h>
#include <objbase.h>

#include "common/text.h"
#include "tacetto/win32/core_audio_ids.h"
#include "tacetto/win32/winmm_library.h"

namespace {

constexpr UINT kQueryEndpointIdSize = 0x0800 + 18;  // DRV_QUERYFUNCTIONINSTANCEIDSIZE
constexpr UINT kQueryEndpointId = 0x0800 + 17;      // DRV_QUERYFUNCTIONINSTANCEID
constexpr int kReadOnly = -1;
constexpr int kRestore = -2;

// The winmm functions, loaded as the mute tool loads them.
const WinmmFunctions* g_mm = nullptr;
int g_cfg[6];  // device, line, hotkey, start level, lock key, inverted lock key
int g_unmuted = 0;
int g_current = 0;
bool g_endpoint = false;
BOOL g_muteAtStart = -1;  // the endpoint's mute flag as first read
IMMDeviceEnumerator* g_enumerator = nullptr;
// The endpoint held for the run, registered for its change notifications, and the run's context.
IMMDevice* g_device = nullptr;
IAudioEndpointVolume* g_volume = nullptr;
GUID g_context = {};
HWND g_window = nullptr;

// A callback of the run's whole life: every interface is itself, no references counted.
template <typename Interface>
class Static : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

// The tool's news of changes made elsewhere: a message to the window, the tool's own writes left.
class News final : public Static<IAudioEndpointVolumeCallback> {
 public:
  HRESULT STDMETHODCALLTYPE OnNotify(AUDIO_VOLUME_NOTIFICATION_DATA* data) override {
    if (!IsEqualGUID(data->guidEventContext, g_context)) {
      PostMessageA(g_window, WM_APP + 1, 0, 0);
    }
    return S_OK;
  }
} g_news;

// The tool's news of the device's state: a message to the window.
class DeviceNews final : public Static<IMMNotificationClient> {
 public:
  HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override {
    PostMessageA(g_window, WM_APP + 1, 1, 0);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow, ERole, LPCWSTR) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override {
    return S_OK;
  }
} g_deviceNews;

// The six numbers of tacetto.cfg, one a line, in one read of the tool's buffer size.
bool ReadSixLines() {
  HANDLE file = CreateFileA("tacetto.cfg", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  char text[512];
  DWORD size = 0;
  ReadFile(file, text, sizeof text, &size, nullptr);
  CloseHandle(file);
  DWORD at = 0;
  for (int& value : g_cfg) {
    for (value = 0; at < size && text[at] >= '0' && text[at] <= '9'; ++at) {
      value = value * 10 + (text[at] - '0');
    }
    while (at < size && text[at++] != '\n') {
    }
  }
  return true;
}

// The lock light as the tool reads it: the key input waiting for the thread taken first and
// posted back.
int Light(BYTE key) {
  MSG message;
  for (int look = 0; look < 1000 && (HIWORD(GetQueueStatus(QS_KEY)) & QS_KEY) != 0; ++look) {
    if (PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE | PM_QS_INPUT)) {
      PostMessageA(message.hwnd, message.message, message.wParam, message.lParam);
    }
  }
  return GetKeyState(key) & 1;
}

// The key struck only when its light does not show the state, then the light waited for.
void StrikeLockKey(int muted) {
  const BYTE key = g_cfg[4] == 0 ? VK_NUMLOCK : VK_SCROLL;
  const int light = Light(key);
  if (light != (g_cfg[5] == 1 ? 1 - muted : muted)) {
    keybd_event(key, 0, KEYEVENTF_EXTENDEDKEY, 0);
    keybd_event(key, 0, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
    for (const DWORD start = GetTickCount(); Light(key) == light && GetTickCount() - start < 100;) {
      Sleep(1);
    }
  }
}

// The capture endpoint's id: that of the configured device's wave input, found at the first
// switch and kept for the run, as the tool keeps it.
WCHAR g_endpointId[256];

bool FindEndpointId() {
  UINT waveIn = 0;
  const UINT count = g_mm->waveInGetNumDevs();
  for (UINT mixer = 0; waveIn < count; ++waveIn) {
    HMIXEROBJ object = reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(waveIn));
    if (g_mm->mixerGetID(object, &mixer, MIXER_OBJECTF_WAVEIN) == 0 &&
        mixer == static_cast<UINT>(g_cfg[0])) {
      break;
    }
  }
  HWAVEIN wave = reinterpret_cast<HWAVEIN>(static_cast<UINT_PTR>(waveIn));
  DWORD_PTR bytes = 0;
  return waveIn < count &&
         g_mm->waveInMessage(wave, kQueryEndpointIdSize, reinterpret_cast<DWORD_PTR>(&bytes), 0) ==
             0 &&
         g_mm->waveInMessage(wave, kQueryEndpointId, reinterpret_cast<DWORD_PTR>(g_endpointId),
                             sizeof g_endpointId) == 0;
}

// The endpoint by its id, or nullptr.
IAudioEndpointVolume* OpenEndpoint(IMMDevice*& device) {
  IAudioEndpointVolume* volume = nullptr;
  if ((g_enumerator == nullptr &&
       FAILED(CoCreateInstance(kDeviceEnumeratorClass, nullptr, CLSCTX_ALL,
                               kDeviceEnumeratorInterface,
                               reinterpret_cast<void**>(&g_enumerator)))) ||
      FAILED(g_enumerator->GetDevice(g_endpointId, &device)) ||
      FAILED(device->Activate(kEndpointVolumeInterface, CLSCTX_ALL, nullptr,
                              reinterpret_cast<void**>(&volume)))) {
    return nullptr;
  }
  return volume;
}

// The tool's switch: read the level; unless only reading, mute, unmute or restore it. The mixer
// is opened for every switch, on the endpoint path only until the endpoint's id is known.
// Returns the level in percent, -1 when a call fails.
int Switch(int request) {
  HMIXER mixer = nullptr;
  MIXERLINEA line = {};
  line.cbStruct = sizeof line;
  line.dwComponentType =
      g_cfg[1] == 0 ? MIXERLINE_COMPONENTTYPE_SRC_LINE : MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
  MIXERCONTROLA control = {};
  MIXERLINECONTROLSA controls = {};
  controls.cbStruct = sizeof controls;
  controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
  controls.cControls = 1;
  controls.cbmxctrl = sizeof control;
  controls.pamxctrl = &control;
  MIXERCONTROLDETAILS_UNSIGNED value = {};
  MIXERCONTROLDETAILS details = {};
  details.cbStruct = sizeof details;
  details.cChannels = 1;
  details.cbDetails = sizeof value;
  details.paDetails = &value;
  float scalar = 0;
  bool ok = true;
  if (!g_endpoint || g_endpointId[0] == 0) {
    ok = g_mm->mixerOpen(&mixer, static_cast<UINT>(g_cfg[0]), 0, 0, 0) == 0;
    HMIXEROBJ object = reinterpret_cast<HMIXEROBJ>(mixer);
    ok = ok && g_mm->mixerGetLineInfoA(object, &line, MIXER_GETLINEINFOF_COMPONENTTYPE) == 0;
    controls.dwLineID = line.dwLineID;
    ok =
        ok && g_mm->mixerGetLineControlsA(object, &controls, MIXER_GETLINECONTROLSF_ONEBYTYPE) == 0;
    details.dwControlID = control.dwControlID;
    ok = ok && (!g_endpoint || FindEndpointId());
  }
  HMIXEROBJ object = reinterpret_cast<HMIXEROBJ>(mixer);
  if (g_endpoint) {
    if (ok && g_volume == nullptr) {
      g_volume = OpenEndpoint(g_device);
    }
    IAudioEndpointVolume* volume = g_volume;
    ok = ok && volume != nullptr && SUCCEEDED(volume->GetMasterVolumeLevelScalar(&scalar)) &&
         (g_muteAtStart != -1 || SUCCEEDED(volume->GetMute(&g_muteAtStart)));
    value.dwValue = static_cast<DWORD>(scalar * 65535 + 0.5f);
  } else {
    ok = ok && g_mm->mixerGetControlDetailsA(object, &details, MIXER_GETCONTROLDETAILSF_VALUE) == 0;
  }
  if (ok && request == kReadOnly) {
    StrikeLockKey(0);
  } else if (ok) {
    const bool mute = request == g_current;
    value.dwValue = mute ? 0 : (request == kRestore ? g_unmuted : request) * 65535 / 100;
    StrikeLockKey(mute ? 1 : 0);
    ok = g_endpoint
             ? SUCCEEDED(g_volume->SetMasterVolumeLevelScalar(
                   static_cast<float>(value.dwValue) / 65535, &g_context)) &&
                   SUCCEEDED(g_volume->SetMute(
                       request == kRestore ? g_muteAtStart : (mute ? TRUE : FALSE), &g_context))
             : g_mm->mixerSetControlDetails(object, &details, MIXER_SETCONTROLDETAILSF_VALUE) == 0;
  }
  if (mixer != nullptr) {
    g_mm->mixerClose(mixer);
  }
  return ok ? static_cast<int>((value.dwValue * 100 + 32767) / 65535) : -1;
}

}  // namespace

int SameWorkStart() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  g_endpoint = (GetVersion() & 0xFF) >= 6;
  CoCreateGuid(&g_context);
  if (!ReadSixLines() || (g_mm = Winmm()) == nullptr) {
    return -1;
  }
  g_unmuted = g_current = Switch(g_cfg[3]);
  return g_current < 0 ? -1 : g_cfg[2];
}

void SameWorkFollow(HWND window) {
  g_window = window;
  if (g_volume != nullptr) {
    g_volume->RegisterControlChangeNotify(&g_news);
    g_enumerator->RegisterEndpointNotificationCallback(&g_deviceNews);
  }
}

void SameWorkPress(HWND window, int labelId) {
  ShowWindow(window, SW_SHOWNORMAL);
  DWORD state = 0;
  if (g_device != nullptr) {  // the endpoint path: the device's state first
    g_device->GetState(&state);
  }
  g_current = Switch(g_unmuted);
  char label[48] = "Mikrofon/Line-Volume: ";
  lstrcpyA(AppendDecimal(label + 22, g_current), "%");
  SetWindowTextA(GetDlgItem(window, labelId), label);
}

void SameWorkNews(bool device) {
  DWORD state = DEVICE_STATE_ACTIVE;
  IMMDevice* now = nullptr;
  if (device && SUCCEEDED(g_enumerator->GetDevice(g_endpointId, &now))) {
    now->GetState(&state);
    now->Release();
  }
  if (device && g_volume != nullptr) {  // the endpoint held is let go, and taken anew if it is back
    g_volume->UnregisterControlChangeNotify(&g_news);
    g_volume->Release();
    g_device->Release();
    g_volume = nullptr;
    g_device = nullptr;
  }
  if (device && state == DEVICE_STATE_ACTIVE && (g_volume = OpenEndpoint(g_device)) != nullptr) {
    g_volume->RegisterControlChangeNotify(&g_news);
  }
  float scalar = 0;
  BOOL muted = FALSE;
  StrikeLockKey(g_volume != nullptr && SUCCEEDED(g_volume->GetMasterVolumeLevelScalar(&scalar)) &&
                SUCCEEDED(g_volume->GetMute(&muted)) &&
                SUCCEEDED(g_volume->GetMasterVolumeLevelScalar(&scalar)) && muted);
}

void SameWorkEnd() {
  if (g_volume != nullptr) {
    g_volume->UnregisterControlChangeNotify(&g_news);
    g_enumerator->UnregisterEndpointNotificationCallback(&g_deviceNews);
  }
  g_window = nullptr;
  Switch(kRestore);
  if (g_volume != nullptr) {
    g_volume->Release();
    g_device->Release();
  }
  if (g_enumerator != nullptr) {
    g_enumerator->Release();
  }
  CoUninitialize();
}
