// The mixer library of the test doubles: the mixer and wave-input calls of the mute tool on the
// devices of sound.txt. Line n of a device has the id 0x100 + n, its volume control 0x200 + n.
// Each call refuses what Windows refuses, in Windows' order, and changes nothing then.
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
  const UINT_PTR value = reinterpret_cast<UINT_PTR>(object), slot = value - kFirstHandle;
  const DWORD type = flags & kObjectMask;
  const bool handle = slot < std::size(g_openDevice);
  device = handle ? uint32_t(g_openDevice[slot] - 1) : uint32_t(value);
  return (flags & ~(kObjectMask | 0xF)) != 0 || (flags & 0xF) > lastQuery    ? MMSYSERR_INVALFLAG
         : type != MIXER_OBJECTF_MIXER && type != MIXER_OBJECTF_HMIXER       ? MMSYSERR_NOTSUPPORTED
         : (handle ? g_openDevice[slot] == 0 : type == MIXER_OBJECTF_HMIXER) ? MMSYSERR_INVALHANDLE
         : device < sound.devices.size()                                     ? MMSYSERR_NOERROR
                                                                             : MMSYSERR_BADDEVICEID;
}

// A volume control's value read (`set` false) or written: the control a details record names.
MMRESULT Details(const char* name, HMIXEROBJ object, const MIXERCONTROLDETAILS* d, DWORD flags,
                 bool set) {
  SoundCall call(name);
  uint32_t device = 0;
  MMRESULT result = call.failed ? call.code : DeviceOf(call.sound, object, flags, 1, device);
  auto* value = d != nullptr ? static_cast<MIXERCONTROLDETAILS_UNSIGNED*>(d->paDetails) : nullptr;
  SoundLine* line = nullptr;
  if (!call.failed && result == MMSYSERR_NOERROR) {
    std::vector<SoundLine>& lines = call.sound.devices[device].lines;
    const DWORD index = d != nullptr ? d->dwControlID - kFirstControl : 0;
    line = index < lines.size() && lines[index].hasVolume ? &lines[index] : nullptr;
    result = d == nullptr || d->cbStruct < sizeof *d || value == nullptr ||
                     d->cbDetails != sizeof *value || d->cChannels != 1 || d->cMultipleItems != 0
                 ? MMSYSERR_INVALPARAM
             : (flags & 0xF) != MIXER_GETCONTROLDETAILSF_VALUE ? MMSYSERR_NOTSUPPORTED  // texts
             : line == nullptr                                 ? MIXERR_INVALCONTROL
                                                               : MMSYSERR_NOERROR;
  }
  if (set) {
    call.NoteLights();
    if (result == MMSYSERR_NOERROR && line != nullptr) {
      line->level = value->dwValue;
    }
    call.Log("mixerSetControlDetails %lu %lu -> %u", flags, value ? value->dwValue : 0, result);
  } else if (result == MMSYSERR_NOERROR && line != nullptr) {
    value->dwValue = line->level;
    call.Log("mixerGetControlDetailsA %lu -> 0 %u", flags, unsigned(line->level));
  } else {
    call.Log("mixerGetControlDetailsA %lu -> %u -", flags, result);
  }
  return result;
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
  const MMRESULT result = call.failed ? call.code
                          : caps == nullptr || size == 0
                              ? MMSYSERR_INVALPARAM
                              : DeviceOf(call.sound, HMIXEROBJ(id), 0, 0, device);
  if (!call.failed && result == MMSYSERR_NOERROR) {
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
  // A device number only; no callback function, event or thread.
  const MMRESULT result = call.failed                                          ? call.code
                          : flags != CALLBACK_NULL && flags != CALLBACK_WINDOW ? MMSYSERR_INVALFLAG
                          : mixer == nullptr                                   ? MMSYSERR_INVALPARAM
                          : id >= call.sound.devices.size() ? MMSYSERR_BADDEVICEID
                          : slot == std::end(g_openDevice)  ? MMSYSERR_NOMEM
                                                            : MMSYSERR_NOERROR;
  if (!call.failed && result == MMSYSERR_NOERROR) {
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
  const MMRESULT result = call.failed ? call.code
                          : slot >= std::size(g_openDevice) || g_openDevice[slot] == 0
                              ? MMSYSERR_INVALHANDLE
                              : MMSYSERR_NOERROR;
  if (!call.failed && result == MMSYSERR_NOERROR) {
    g_openDevice[slot] = 0;
  }
  call.Log("mixerClose -> %u", result);
  return result;
}

DOUBLE_EXPORT MMRESULT WINAPI mixerGetLineInfoA(HMIXEROBJ object, LPMIXERLINEA line, DWORD flags) {
  SoundCall call("mixerGetLineInfoA");
  const DWORD type = line != nullptr ? line->dwComponentType : 0;
  uint32_t device = 0;
  MMRESULT result =
      call.failed ? call.code
      : line == nullptr || line->cbStruct < sizeof *line
          ? MMSYSERR_INVALPARAM
          : DeviceOf(call.sound, object, flags, MIXER_GETLINEINFOF_TARGETTYPE, device);
  if (!call.failed && result == MMSYSERR_NOERROR) {
    // By component type only: not by destination, source, line id or target.
    const std::vector<SoundLine>& lines = call.sound.devices[device].lines;
    const auto at = std::find_if(lines.begin(), lines.end(),
                                 [&](const SoundLine& l) { return l.type == type; });
    const DWORD index = DWORD(at - lines.begin());
    result = (flags & 0xF) != MIXER_GETLINEINFOF_COMPONENTTYPE ? MMSYSERR_NOTSUPPORTED
             : at == lines.end()                               ? MIXERR_INVALLINE
                                                               : MMSYSERR_NOERROR;
    if (result == MMSYSERR_NOERROR) {
      *line = {};
      line->cbStruct = sizeof *line;
      line->dwSource = index;
      line->dwLineID = kFirstLine + index;
      line->fdwLine = MIXERLINE_LINEF_ACTIVE | MIXERLINE_LINEF_SOURCE;
      line->dwComponentType = type;
      line->cChannels = 1;
      line->cControls = at->hasVolume ? 1 : 0;
      CopyName(line->szName, "Line " + std::to_string(index));
      CopyName(line->Target.szPname, call.sound.devices[device].name);
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
  MMRESULT result =
      call.failed ? call.code
      : controls == nullptr || controls->cbStruct < sizeof *controls ||
              controls->cbmxctrl != sizeof(MIXERCONTROLA) || controls->pamxctrl == nullptr
          ? MMSYSERR_INVALPARAM
          : DeviceOf(call.sound, object, flags, MIXER_GETLINECONTROLSF_ONEBYTYPE, device);
  if (!call.failed && result == MMSYSERR_NOERROR) {
    // One control by its type only: not all controls, nor one by its id.
    const std::vector<SoundLine>& lines = call.sound.devices[device].lines;
    const DWORD index = controls->dwLineID - kFirstLine;
    result = (flags & 0xF) != MIXER_GETLINECONTROLSF_ONEBYTYPE ? MMSYSERR_NOTSUPPORTED
             : index >= lines.size()                           ? MIXERR_INVALLINE
             : type != MIXERCONTROL_CONTROLTYPE_VOLUME || !lines[index].hasVolume
                 ? MIXERR_INVALCONTROL
                 : MMSYSERR_NOERROR;
    if (result == MMSYSERR_NOERROR) {
      MIXERCONTROLA& control = *controls->pamxctrl;
      control = {};
      control.cbStruct = sizeof control;
      control.dwControlID = kFirstControl + index;
      control.dwControlType = type;
      CopyName(control.szName, "Volume");
      control.Bounds.dwMaximum = 0xFFFF;
    }
  }
  call.Log("mixerGetLineControlsA %lu 0x%lx -> %u", flags, type, result);
  return result;
}

DOUBLE_EXPORT MMRESULT WINAPI mixerGetControlDetailsA(HMIXEROBJ object,
                                                      LPMIXERCONTROLDETAILS details, DWORD flags) {
  return Details("mixerGetControlDetailsA", object, details, flags, false);
}

DOUBLE_EXPORT MMRESULT WINAPI mixerSetControlDetails(HMIXEROBJ object,
                                                     LPMIXERCONTROLDETAILS details, DWORD flags) {
  return Details("mixerSetControlDetails", object, details, flags, true);
}

DOUBLE_EXPORT UINT WINAPI waveInGetNumDevs() {
  SoundCall call("waveInGetNumDevs");
  const UINT count = call.failed ? call.code : UINT(call.sound.PluggedWaveIns().size());
  call.Log("waveInGetNumDevs -> %u", count);
  return count;
}

DOUBLE_EXPORT MMRESULT WINAPI mixerGetID(HMIXEROBJ object, UINT* mixerId, DWORD flags) {
  SoundCall call("mixerGetID");
  const UINT_PTR value = reinterpret_cast<UINT_PTR>(object);
  const std::vector<const SoundWaveIn*> waveIns = call.sound.PluggedWaveIns();
  const MMRESULT result = call.failed                     ? call.code
                          : (flags & ~kObjectMask) != 0   ? MMSYSERR_INVALFLAG
                          : mixerId == nullptr            ? MMSYSERR_INVALPARAM
                          : flags != MIXER_OBJECTF_WAVEIN ? MMSYSERR_NOTSUPPORTED
                          : value >= waveIns.size()       ? MMSYSERR_BADDEVICEID
                                                          : MMSYSERR_NOERROR;
  if (!call.failed && result == MMSYSERR_NOERROR) {
    *mixerId = waveIns[value]->mixer;
    call.Log("mixerGetID %u 0x%lx -> 0 %u", unsigned(value), flags, *mixerId);
  } else {
    call.Log("mixerGetID %u 0x%lx -> %u -", unsigned(value), flags, result);
  }
  return result;
}

// The capture endpoint id of a wave input: its size (DRV_QUERYFUNCTIONINSTANCEIDSIZE) and text.
DOUBLE_EXPORT MMRESULT WINAPI waveInMessage(HWAVEIN waveIn, UINT message, DWORD_PTR first,
                                            DWORD_PTR second) {
  SoundCall call("waveInMessage");
  const UINT_PTR value = reinterpret_cast<UINT_PTR>(waveIn);
  const std::vector<const SoundWaveIn*> waveIns = call.sound.PluggedWaveIns();
  const std::string text = value < waveIns.size() ? EndpointIdOf(*waveIns[value]) : "";
  const std::wstring id(text.begin(), text.end());
  const ULONG bytes = ULONG((id.size() + 1) * sizeof(wchar_t));
  const MMRESULT result = call.failed                            ? call.code
                          : value >= waveIns.size()              ? MMSYSERR_BADDEVICEID
                          : message != 0x811 && message != 0x812 ? MMSYSERR_NOTSUPPORTED
                          : first == 0                           ? MMSYSERR_INVALPARAM
                          : message == 0x811 && second < bytes   ? MMSYSERR_MOREDATA
                                                                 : MMSYSERR_NOERROR;
  if (!call.failed && result == MMSYSERR_NOERROR) {
    memcpy(reinterpret_cast<void*>(first),
           message == 0x812 ? static_cast<const void*>(&bytes) : id.c_str(),
           message == 0x812 ? sizeof bytes : bytes);
  }
  call.Log("waveInMessage %u 0x%x -> %u", unsigned(value), message, result);
  return result;
}
