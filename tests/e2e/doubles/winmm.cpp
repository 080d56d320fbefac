// The mixer library of the test doubles: the mixer and wave-input calls of the mute tool on the
// devices of sound.txt. Line n of a device has the id 0x100 + n, its volume control 0x200 + n.
#define _WINMM_  // defines, rather than imports, the calls below
#include <windows.h>
// windows.h first
#include <mmsystem.h>

#include <algorithm>
#include <cstring>

#include "tests/e2e/doubles/sound_state.h"

namespace {

constexpr DWORD kObjectMask = 0xF0000000;
constexpr UINT_PTR kFirstHandle = 0xA000;
constexpr DWORD kFirstLine = 0x100;
constexpr DWORD kFirstControl = 0x200;
int g_openDevice[16];  // per handle of this process: its device + 1, 0 when closed

template <size_t N>
void CopyName(char (&to)[N], const std::string& from) {
  memcpy(to, from.c_str(), std::min(from.size() + 1, N - 1));
}

// The device an object names: an open handle, or for MIXER_OBJECTF_MIXER a device number;
// checks the flags too: a query type up to `lastQuery`, a mixer object, nothing else.
MMRESULT DeviceOf(const Sound& sound, HMIXEROBJ object, DWORD flags, DWORD lastQuery,
                  uint32_t& device) {
  const UINT_PTR value = reinterpret_cast<UINT_PTR>(object);
  const DWORD type = flags & kObjectMask;
  if ((flags & ~(kObjectMask | 0xF)) != 0 || (flags & 0xF) > lastQuery) {
    return MMSYSERR_INVALFLAG;
  }
  if (type != MIXER_OBJECTF_MIXER && type != MIXER_OBJECTF_HMIXER) {
    return MMSYSERR_NOTSUPPORTED;
  }
  if (value - kFirstHandle < std::size(g_openDevice)) {
    device = g_openDevice[value - kFirstHandle] - 1;
    if (g_openDevice[value - kFirstHandle] == 0) {
      return MMSYSERR_INVALHANDLE;
    }
  } else if (type == MIXER_OBJECTF_HMIXER) {
    return MMSYSERR_INVALHANDLE;
  } else {
    device = uint32_t(value);
  }
  return device < sound.devices.size() ? MMSYSERR_NOERROR : MMSYSERR_BADDEVICEID;
}

// The volume control a details record names, for reading and writing a value.
MMRESULT ControlOf(Sound& sound, HMIXEROBJ object, const MIXERCONTROLDETAILS* details, DWORD flags,
                   SoundLine*& line) {
  uint32_t device = 0;
  if (const MMRESULT result = DeviceOf(sound, object, flags, 1, device)) {
    return result;
  }
  if (details == nullptr || details->cbStruct < sizeof *details || details->paDetails == nullptr ||
      details->cbDetails != sizeof(MIXERCONTROLDETAILS_UNSIGNED) || details->cChannels != 1 ||
      details->cMultipleItems != 0) {
    return MMSYSERR_INVALPARAM;
  }
  if ((flags & 0xF) != MIXER_GETCONTROLDETAILSF_VALUE) {
    return MMSYSERR_NOTSUPPORTED;  // list texts, custom values
  }
  std::vector<SoundLine>& lines = sound.devices[device].lines;
  const DWORD index = details->dwControlID - kFirstControl;
  line = index < lines.size() && lines[index].hasVolume ? &lines[index] : nullptr;
  return line != nullptr ? MMSYSERR_NOERROR : MIXERR_INVALCONTROL;
}

}  // namespace

DOUBLE_EXPORT UINT WINAPI mixerGetNumDevs() {
  SoundCall call("mixerGetNumDevs");
  const UINT count = call.failed ? call.code : UINT(call.sound.devices.size());
  call.Log("mixerGetNumDevs -> %u", count);
  return count;
}

DOUBLE_EXPORT MMRESULT WINAPI mixerGetDevCapsA(UINT_PTR id, LPMIXERCAPSA caps, UINT size) {
  SoundCall call("mixerGetDevCapsA");
  uint32_t device = 0;
  MMRESULT result = call.code;
  if (call.failed) {
  } else if (caps == nullptr || size == 0) {
    result = MMSYSERR_INVALPARAM;
  } else if ((result = DeviceOf(call.sound, HMIXEROBJ(id), 0, 0, device)) == MMSYSERR_NOERROR) {
    MIXERCAPSA all = {};
    CopyName(all.szPname, call.sound.devices[device].name);
    all.cDestinations = 1;
    memcpy(caps, &all, std::min<size_t>(size, sizeof all));  // as much as the caller asks for
  }
  call.Log("mixerGetDevCapsA %u -> %u", unsigned(id), result);
  return result;
}

DOUBLE_EXPORT MMRESULT WINAPI mixerOpen(LPHMIXER mixer, UINT id, DWORD_PTR callback,
                                        DWORD_PTR instance, DWORD flags) {
  SoundCall call("mixerOpen");
  int* slot = std::find(std::begin(g_openDevice), std::end(g_openDevice), 0);
  MMRESULT result = call.code;
  if (call.failed) {
  } else if (flags != CALLBACK_NULL && flags != CALLBACK_WINDOW) {
    result = MMSYSERR_INVALFLAG;  // a device number only; no callback function, event or thread
  } else if (mixer == nullptr) {
    result = MMSYSERR_INVALPARAM;
  } else if (id >= call.sound.devices.size()) {
    result = MMSYSERR_BADDEVICEID;
  } else if (slot == std::end(g_openDevice)) {
    result = MMSYSERR_NOMEM;
  } else {
    *slot = int(id) + 1;
    *mixer = reinterpret_cast<HMIXER>(kFirstHandle + UINT_PTR(slot - g_openDevice));
  }
  call.Log("mixerOpen %u %llu %llu %lu -> %u", id, static_cast<unsigned long long>(callback),
           static_cast<unsigned long long>(instance), flags, result);
  return result;
}

DOUBLE_EXPORT MMRESULT WINAPI mixerClose(HMIXER mixer) {
  SoundCall call("mixerClose");
  const UINT_PTR slot = reinterpret_cast<UINT_PTR>(mixer) - kFirstHandle;
  MMRESULT result = call.code;
  if (call.failed) {
  } else if (slot >= std::size(g_openDevice) || g_openDevice[slot] == 0) {
    result = MMSYSERR_INVALHANDLE;
  } else {
    g_openDevice[slot] = 0;
  }
  call.Log("mixerClose -> %u", result);
  return result;
}

DOUBLE_EXPORT MMRESULT WINAPI mixerGetLineInfoA(HMIXEROBJ object, LPMIXERLINEA line, DWORD flags) {
  SoundCall call("mixerGetLineInfoA");
  const DWORD type = line != nullptr ? line->dwComponentType : 0;
  uint32_t device = 0;
  MMRESULT result = call.code;
  if (call.failed) {
  } else if (line == nullptr || line->cbStruct < sizeof *line) {
    result = MMSYSERR_INVALPARAM;
  } else if ((result = DeviceOf(call.sound, object, flags, MIXER_GETLINEINFOF_TARGETTYPE,
                                device)) != MMSYSERR_NOERROR) {
  } else if ((flags & 0xF) != MIXER_GETLINEINFOF_COMPONENTTYPE) {
    result = MMSYSERR_NOTSUPPORTED;  // by destination, source, line id or target
  } else {
    const SoundDevice& found = call.sound.devices[device];
    const auto at = std::find_if(found.lines.begin(), found.lines.end(),
                                 [&](const SoundLine& l) { return l.type == type; });
    const DWORD index = DWORD(at - found.lines.begin());
    result = at != found.lines.end() ? MMSYSERR_NOERROR : MIXERR_INVALLINE;
    if (result == MMSYSERR_NOERROR) {
      memset(line, 0, sizeof *line);
      line->cbStruct = sizeof *line;
      line->dwSource = index;
      line->dwLineID = kFirstLine + index;
      line->fdwLine = MIXERLINE_LINEF_ACTIVE | MIXERLINE_LINEF_SOURCE;
      line->dwComponentType = type;
      line->cChannels = 1;
      line->cControls = at->hasVolume ? 1 : 0;
      CopyName(line->szName, "Line " + std::to_string(index));
      CopyName(line->Target.szPname, found.name);
    }
  }
  call.Log("mixerGetLineInfoA %lu 0x%lx -> %u", flags, type, result);
  return result;
}

DOUBLE_EXPORT MMRESULT WINAPI mixerGetLineControlsA(HMIXEROBJ object, LPMIXERLINECONTROLSA controls,
                                                    DWORD flags) {
  SoundCall call("mixerGetLineControlsA");
  const DWORD type = controls != nullptr ? controls->dwControlType : 0;
  uint32_t device = 0;
  MMRESULT result = call.code;
  if (call.failed) {
  } else if (controls == nullptr || controls->cbStruct < sizeof *controls ||
             controls->cbmxctrl != sizeof(MIXERCONTROLA) || controls->pamxctrl == nullptr) {
    result = MMSYSERR_INVALPARAM;
  } else if ((result = DeviceOf(call.sound, object, flags, MIXER_GETLINECONTROLSF_ONEBYTYPE,
                                device)) != MMSYSERR_NOERROR) {
  } else if ((flags & 0xF) != MIXER_GETLINECONTROLSF_ONEBYTYPE) {
    result = MMSYSERR_NOTSUPPORTED;  // all controls, or one by its id
  } else if (const DWORD index = controls->dwLineID - kFirstLine;
             index >= call.sound.devices[device].lines.size()) {
    result = MIXERR_INVALLINE;
  } else if (type != MIXERCONTROL_CONTROLTYPE_VOLUME ||
             !call.sound.devices[device].lines[index].hasVolume) {
    result = MIXERR_INVALCONTROL;
  } else {
    MIXERCONTROLA& control = *controls->pamxctrl;
    memset(&control, 0, sizeof control);
    control.cbStruct = sizeof control;
    control.dwControlID = kFirstControl + index;
    control.dwControlType = type;
    CopyName(control.szName, "Volume");
    control.Bounds.dwMaximum = 0xFFFF;
  }
  call.Log("mixerGetLineControlsA %lu 0x%lx -> %u", flags, type, result);
  return result;
}

DOUBLE_EXPORT MMRESULT WINAPI mixerGetControlDetailsA(HMIXEROBJ object,
                                                      LPMIXERCONTROLDETAILS details, DWORD flags) {
  SoundCall call("mixerGetControlDetailsA");
  SoundLine* line = nullptr;
  const MMRESULT result =
      call.failed ? call.code : ControlOf(call.sound, object, details, flags, line);
  if (line != nullptr && !call.failed) {
    static_cast<MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails)->dwValue = line->level;
    call.Log("mixerGetControlDetailsA %lu -> 0 %u", flags, unsigned(line->level));
  } else {
    call.Log("mixerGetControlDetailsA %lu -> %u -", flags, result);
  }
  return result;
}

DOUBLE_EXPORT MMRESULT WINAPI mixerSetControlDetails(HMIXEROBJ object,
                                                     LPMIXERCONTROLDETAILS details, DWORD flags) {
  SoundCall call("mixerSetControlDetails");
  SoundLine* line = nullptr;
  const MMRESULT result =
      call.failed ? call.code : ControlOf(call.sound, object, details, flags, line);
  const DWORD value = details != nullptr && details->paDetails != nullptr
                          ? static_cast<MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails)->dwValue
                          : 0;
  if (line != nullptr && !call.failed) {
    line->level = value;
  }
  call.Log("mixerSetControlDetails %lu %lu -> %u", flags, value, result);
  return result;
}

DOUBLE_EXPORT UINT WINAPI waveInGetNumDevs() {
  SoundCall call("waveInGetNumDevs");
  const UINT count = call.failed ? call.code : UINT(call.sound.waveIns.size());
  call.Log("waveInGetNumDevs -> %u", count);
  return count;
}

DOUBLE_EXPORT MMRESULT WINAPI mixerGetID(HMIXEROBJ object, UINT* mixerId, DWORD flags) {
  SoundCall call("mixerGetID");
  const UINT_PTR value = reinterpret_cast<UINT_PTR>(object);
  MMRESULT result = call.code;
  if (call.failed) {
  } else if ((flags & ~kObjectMask) != 0) {
    result = MMSYSERR_INVALFLAG;
  } else if (mixerId == nullptr) {
    result = MMSYSERR_INVALPARAM;
  } else if (flags != MIXER_OBJECTF_WAVEIN) {
    result = MMSYSERR_NOTSUPPORTED;  // only wave inputs by number
  } else if (value >= call.sound.waveIns.size()) {
    result = MMSYSERR_BADDEVICEID;
  } else {
    *mixerId = call.sound.waveIns[value].mixer;
    call.Log("mixerGetID %u 0x%lx -> 0 %u", unsigned(value), flags, *mixerId);
    return result;
  }
  call.Log("mixerGetID %u 0x%lx -> %u -", unsigned(value), flags, result);
  return result;
}

// The capture endpoint id of a wave input: its size (DRV_QUERYFUNCTIONINSTANCEIDSIZE) and text.
DOUBLE_EXPORT MMRESULT WINAPI waveInMessage(HWAVEIN waveIn, UINT message, DWORD_PTR first,
                                            DWORD_PTR second) {
  SoundCall call("waveInMessage");
  const UINT_PTR value = reinterpret_cast<UINT_PTR>(waveIn);
  const std::wstring id = EndpointIdOfWaveIn(uint32_t(value));
  const ULONG bytes = ULONG((id.size() + 1) * sizeof(wchar_t));
  MMRESULT result = call.code;
  if (call.failed) {
  } else if (value >= call.sound.waveIns.size()) {
    result = MMSYSERR_BADDEVICEID;
  } else if (message != 0x811 && message != 0x812) {
    result = MMSYSERR_NOTSUPPORTED;
  } else if (first == 0) {
    result = MMSYSERR_INVALPARAM;
  } else if (message == 0x812) {
    *reinterpret_cast<ULONG*>(first) = bytes;
  } else if (second < bytes) {
    result = MMSYSERR_MOREDATA;
  } else {
    memcpy(reinterpret_cast<void*>(first), id.c_str(), bytes);
  }
  call.Log("waveInMessage %u 0x%x -> %u", unsigned(value), message, result);
  return result;
}
