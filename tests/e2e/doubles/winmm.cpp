// The mixer library of the test doubles: the mixer and wave-input calls of the mute tool on the
// devices of sound.txt.
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
constexpr DWORD kFirstLine = 0x100;     // line n of a device has this id + n
constexpr DWORD kFirstControl = 0x200;  // and its volume control this one + n
constexpr UINT kQueryInstanceId = 0x811;
constexpr UINT kQueryInstanceIdSize = 0x812;
int g_openDevice[16];  // per handle of this process: its device + 1, 0 when closed

template <size_t N>
void CopyName(char (&to)[N], const std::string& from) {
  memcpy(to, from.c_str(), std::min(from.size() + 1, N - 1));
}

// The device a mixer object names: an open handle, or for MIXER_OBJECTF_MIXER a device number.
MMRESULT DeviceOf(const Sound& sound, HMIXEROBJ object, DWORD flags, uint32_t& device) {
  const UINT_PTR value = reinterpret_cast<UINT_PTR>(object);
  const DWORD type = flags & kObjectMask;
  if (type != MIXER_OBJECTF_MIXER && type != MIXER_OBJECTF_HMIXER) {
    return MMSYSERR_NOTSUPPORTED;
  }
  if (value - kFirstHandle < std::size(g_openDevice)) {
    if (g_openDevice[value - kFirstHandle] == 0) {
      return MMSYSERR_INVALHANDLE;
    }
    device = g_openDevice[value - kFirstHandle] - 1;
  } else if (type == MIXER_OBJECTF_HMIXER) {
    return MMSYSERR_INVALHANDLE;
  } else {
    device = uint32_t(value);
  }
  return device < sound.devices.size() ? MMSYSERR_NOERROR : MMSYSERR_BADDEVICEID;
}

// Flags of a query type up to `lastQuery` and an object type, nothing else.
bool FlagsValid(DWORD flags, DWORD lastQuery) {
  return (flags & ~(kObjectMask | 0xF)) == 0 && (flags & 0xF) <= lastQuery;
}

// The volume control of a details record and its checks, for reading and writing.
MMRESULT ControlOf(Sound& sound, HMIXEROBJ object, const MIXERCONTROLDETAILS* details, DWORD flags,
                   SoundLine*& line) {
  uint32_t device = 0;
  if (!FlagsValid(flags, 1)) {
    return MMSYSERR_INVALFLAG;
  }
  if ((flags & 0xF) != MIXER_GETCONTROLDETAILSF_VALUE) {
    return MMSYSERR_NOTSUPPORTED;
  }
  if (details == nullptr || details->cbStruct < sizeof *details || details->paDetails == nullptr ||
      details->cbDetails != sizeof(MIXERCONTROLDETAILS_UNSIGNED) || details->cChannels != 1 ||
      details->cMultipleItems != 0) {
    return MMSYSERR_INVALPARAM;
  }
  if (const MMRESULT result = DeviceOf(sound, object, flags, device)) {
    return result;
  }
  std::vector<SoundLine>& lines = sound.devices[device].lines;
  const DWORD index = details->dwControlID - kFirstControl;
  if (index >= lines.size() || !lines[index].hasVolume) {
    return MIXERR_INVALCONTROL;
  }
  line = &lines[index];
  return MMSYSERR_NOERROR;
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
  if (!call.failed) {
    result = caps == nullptr || size == 0 ? MMSYSERR_INVALPARAM
                                          : DeviceOf(call.sound, reinterpret_cast<HMIXEROBJ>(id),
                                                     MIXER_OBJECTF_MIXER, device);
  }
  if (!call.failed && result == MMSYSERR_NOERROR) {
    MIXERCAPSA all = {};
    all.wMid = 1;
    all.wPid = 1;
    all.vDriverVersion = 0x100;
    CopyName(all.szPname, call.sound.devices[device].name);
    all.cDestinations = 1;
    memcpy(caps, &all, std::min<size_t>(size, sizeof all));
  }
  call.Log("mixerGetDevCapsA %u -> %u", unsigned(id), result);
  return result;
}

DOUBLE_EXPORT MMRESULT WINAPI mixerOpen(LPHMIXER mixer, UINT id, DWORD_PTR callback,
                                        DWORD_PTR instance, DWORD flags) {
  SoundCall call("mixerOpen");
  MMRESULT result = call.code;
  if (call.failed) {
  } else if (flags != CALLBACK_NULL && flags != CALLBACK_WINDOW) {
    result = MMSYSERR_INVALFLAG;
  } else if (mixer == nullptr) {
    result = MMSYSERR_INVALPARAM;
  } else if (id >= call.sound.devices.size()) {
    result = MMSYSERR_BADDEVICEID;
  } else {
    int* slot = std::find(std::begin(g_openDevice), std::end(g_openDevice), 0);
    result = slot == std::end(g_openDevice) ? MMSYSERR_NOMEM : MMSYSERR_NOERROR;
    if (result == MMSYSERR_NOERROR) {
      *slot = int(id) + 1;
      *mixer = reinterpret_cast<HMIXER>(kFirstHandle + UINT_PTR(slot - g_openDevice));
    }
  }
  call.Log("mixerOpen %u %llu %llu %lu -> %u", id, static_cast<unsigned long long>(callback),
           static_cast<unsigned long long>(instance), flags, result);
  return result;
}

DOUBLE_EXPORT MMRESULT WINAPI mixerClose(HMIXER mixer) {
  SoundCall call("mixerClose");
  const UINT_PTR slot = reinterpret_cast<UINT_PTR>(mixer) - kFirstHandle;
  MMRESULT result = call.code;
  if (!call.failed) {
    result = slot < std::size(g_openDevice) && g_openDevice[slot] != 0 ? MMSYSERR_NOERROR
                                                                       : MMSYSERR_INVALHANDLE;
    if (result == MMSYSERR_NOERROR) {
      g_openDevice[slot] = 0;
    }
  }
  call.Log("mixerClose -> %u", result);
  return result;
}

DOUBLE_EXPORT MMRESULT WINAPI mixerGetLineInfoA(HMIXEROBJ object, LPMIXERLINEA line, DWORD flags) {
  SoundCall call("mixerGetLineInfoA");
  const DWORD query = flags & MIXER_GETLINEINFOF_QUERYMASK;
  const DWORD type = line != nullptr ? line->dwComponentType : 0;
  uint32_t device = 0;
  MMRESULT result = call.code;
  if (call.failed) {
  } else if (!FlagsValid(flags, MIXER_GETLINEINFOF_TARGETTYPE)) {
    result = MMSYSERR_INVALFLAG;
  } else if (line == nullptr || line->cbStruct < sizeof *line) {
    result = MMSYSERR_INVALPARAM;
  } else if ((result = DeviceOf(call.sound, object, flags, device)) != MMSYSERR_NOERROR) {
  } else if (query != MIXER_GETLINEINFOF_COMPONENTTYPE && query != MIXER_GETLINEINFOF_LINEID) {
    result = MMSYSERR_NOTSUPPORTED;
  } else {
    const SoundDevice& found = call.sound.devices[device];
    DWORD index = line->dwLineID - kFirstLine;
    if (query == MIXER_GETLINEINFOF_COMPONENTTYPE) {
      index = DWORD(std::find_if(found.lines.begin(), found.lines.end(),
                                 [&](const SoundLine& l) { return l.type == type; }) -
                    found.lines.begin());
    }
    result = index < found.lines.size() ? MMSYSERR_NOERROR : MIXERR_INVALLINE;
    if (result == MMSYSERR_NOERROR) {
      memset(line, 0, sizeof *line);
      line->cbStruct = sizeof *line;
      line->dwSource = index;
      line->dwLineID = kFirstLine + index;
      line->fdwLine = MIXERLINE_LINEF_ACTIVE | MIXERLINE_LINEF_SOURCE;
      line->dwComponentType = found.lines[index].type;
      line->cChannels = 1;
      line->cControls = found.lines[index].hasVolume ? 1 : 0;
      CopyName(line->szShortName, "Line " + std::to_string(index));
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
  const DWORD query = flags & MIXER_GETLINECONTROLSF_QUERYMASK;
  const DWORD type = controls != nullptr ? controls->dwControlType : 0;  // or the control's id
  uint32_t device = 0;
  MMRESULT result = call.code;
  if (call.failed) {
  } else if (!FlagsValid(flags, MIXER_GETLINECONTROLSF_ONEBYTYPE)) {
    result = MMSYSERR_INVALFLAG;
  } else if (controls == nullptr || controls->cbStruct < sizeof *controls ||
             controls->cbmxctrl != sizeof(MIXERCONTROLA) || controls->pamxctrl == nullptr) {
    result = MMSYSERR_INVALPARAM;
  } else if ((result = DeviceOf(call.sound, object, flags, device)) == MMSYSERR_NOERROR) {
    const std::vector<SoundLine>& lines = call.sound.devices[device].lines;
    const DWORD index = query == MIXER_GETLINECONTROLSF_ONEBYID ? type - kFirstControl
                                                                : controls->dwLineID - kFirstLine;
    if (index >= lines.size()) {
      result = query == MIXER_GETLINECONTROLSF_ONEBYID ? MIXERR_INVALCONTROL : MIXERR_INVALLINE;
    } else if (query == MIXER_GETLINECONTROLSF_ALL) {
      result = controls->cControls == (lines[index].hasVolume ? 1u : 0u) ? MMSYSERR_NOERROR
                                                                         : MMSYSERR_INVALPARAM;
    } else if (!lines[index].hasVolume || (query == MIXER_GETLINECONTROLSF_ONEBYTYPE &&
                                           type != MIXERCONTROL_CONTROLTYPE_VOLUME)) {
      result = MIXERR_INVALCONTROL;
    }
    if (result == MMSYSERR_NOERROR && lines[index].hasVolume) {
      MIXERCONTROLA& control = *controls->pamxctrl;
      memset(&control, 0, sizeof control);
      control.cbStruct = sizeof control;
      control.dwControlID = kFirstControl + index;
      control.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
      CopyName(control.szShortName, "Volume");
      CopyName(control.szName, "Volume");
      control.Bounds.dwMaximum = 0xFFFF;
      control.Metrics.cSteps = 0xFFFF;
      controls->dwLineID = kFirstLine + index;
    }
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
  if (result == MMSYSERR_NOERROR && !call.failed) {
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
  if (result == MMSYSERR_NOERROR && !call.failed) {
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
  const DWORD type = flags & kObjectMask;
  uint32_t id = 0;
  MMRESULT result = call.code;
  if (call.failed) {
  } else if ((flags & ~kObjectMask) != 0) {
    result = MMSYSERR_INVALFLAG;
  } else if (mixerId == nullptr) {
    result = MMSYSERR_INVALPARAM;
  } else if (type == MIXER_OBJECTF_MIXER || type == MIXER_OBJECTF_HMIXER) {
    result = DeviceOf(call.sound, object, flags, id);
  } else if (type == MIXER_OBJECTF_WAVEIN && value < call.sound.waveIns.size()) {
    id = call.sound.waveIns[value].mixer;
  } else {  // no wave input of that number, no open wave devices, no other kinds of device
    result = (type & MIXER_OBJECTF_HANDLE) != 0 ? MMSYSERR_INVALHANDLE : MMSYSERR_BADDEVICEID;
  }
  if (result == MMSYSERR_NOERROR && !call.failed) {
    *mixerId = id;
    call.Log("mixerGetID %u 0x%lx -> 0 %u", unsigned(value), flags, unsigned(id));
  } else {
    call.Log("mixerGetID %u 0x%lx -> %u -", unsigned(value), flags, result);
  }
  return result;
}

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
  } else if (message != kQueryInstanceId && message != kQueryInstanceIdSize) {
    result = MMSYSERR_NOTSUPPORTED;
  } else if (first == 0) {
    result = MMSYSERR_INVALPARAM;
  } else if (message == kQueryInstanceIdSize) {
    *reinterpret_cast<ULONG*>(first) = bytes;
  } else if (second < bytes) {
    result = MMSYSERR_MOREDATA;
  } else {
    memcpy(reinterpret_cast<void*>(first), id.c_str(), bytes);
  }
  call.Log("waveInMessage %u 0x%x -> %u", unsigned(value), message, result);
  return result;
}
