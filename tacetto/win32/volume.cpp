#include "tacetto/win32/volume.h"

#include <windows.h>
// after windows.h
#include <mmsystem.h>

#include "common/text.h"
#include "common/win32/tool_window.h"
#include "tacetto/level_scale.h"
#include "tacetto/win32/endpoint.h"
#include "tacetto/win32/globals.h"
#include "tacetto/win32/lockkey.h"
#include "tacetto/win32/winmm_library.h"

#if defined(__i386__)
// The record sizes the mixer expects from a 32-bit program.
static_assert(sizeof(MIXERLINEA) == 168, "MIXERLINEA");
static_assert(sizeof(MIXERLINECONTROLSA) == 24, "MIXERLINECONTROLSA");
static_assert(sizeof(MIXERCONTROLA) == 148, "MIXERCONTROLA");
static_assert(sizeof(MIXERCONTROLDETAILS) == 24, "MIXERCONTROLDETAILS");
#endif

int32_t UnmutedVolume = 0;
int32_t CurrentVolume = 0;
int32_t LineMuted = 0;

namespace {

constexpr int32_t kReadOnly = -1;
constexpr int32_t kRestore = -2;

bool g_restored = false;
// Whether the start has taken the line: from then on the light is the tool's to show.
bool g_started = false;

// The volume control of the configured line on mixer device CfgDevice, for one switch: the
// device is opened, the line and its control are looked up, and the device is closed when the
// switch ends. Each call returns the platform's code and names the failing call.
class MixerVolume {
 public:
  MixerVolume() = default;
  ~MixerVolume() {
    if (handle_ != nullptr) {
      Winmm()->mixerClose(handle_);
    }
  }
  MixerVolume(const MixerVolume&) = delete;
  MixerVolume& operator=(const MixerVolume&) = delete;

  uint32_t Open(const char*& call) {
    const WinmmFunctions* winmm = Winmm();
    call = "mixeropen()";
    if (winmm == nullptr) {
      return MMSYSERR_NODRIVER;
    }
    HMIXER handle = nullptr;
    MMRESULT result = winmm->mixerOpen(&handle, static_cast<UINT>(CfgDevice), 0, 0, 0);
    if (result != MMSYSERR_NOERROR) {
      return result;
    }
    handle_ = handle;
    MIXERLINEA line = {};
    line.cbStruct = sizeof line;
    line.dwComponentType =
        CfgLine == 0 ? MIXERLINE_COMPONENTTYPE_SRC_LINE : MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
    call = "mixergetlineinfo()";
    result = winmm->mixerGetLineInfoA(Object(), &line, MIXER_GETLINEINFOF_COMPONENTTYPE);
    if (result != MMSYSERR_NOERROR) {
      return result;
    }
    MIXERCONTROLA control = {};
    MIXERLINECONTROLSA controls = {};
    controls.cbStruct = sizeof controls;
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    call = "mixergetlinecontrols()";
    result = winmm->mixerGetLineControlsA(Object(), &controls, MIXER_GETLINECONTROLSF_ONEBYTYPE);
    // One value for all channels; the same record serves the read and the write.
    details_.cbStruct = sizeof details_;
    details_.dwControlID = control.dwControlID;
    details_.cChannels = 1;
    details_.cMultipleItems = 0;
    details_.cbDetails = sizeof value_;
    details_.paDetails = &value_;
    return result;
  }

  uint32_t Read(uint32_t& level, const char*& call) {
    call = "mixergetcontroldetails()";
    const MMRESULT result =
        Winmm()->mixerGetControlDetailsA(Object(), &details_, MIXER_GETCONTROLDETAILSF_VALUE);
    level = value_.dwValue;
    return result;
  }

  uint32_t Write(uint32_t level, const char*& call) {
    call = "mixersetcontroldetails()";
    value_.dwValue = level;
    return Winmm()->mixerSetControlDetails(Object(), &details_, MIXER_SETCONTROLDETAILSF_VALUE);
  }

 private:
  HMIXEROBJ Object() const { return reinterpret_cast<HMIXEROBJ>(handle_); }

  HMIXER handle_ = nullptr;
  MIXERCONTROLDETAILS_UNSIGNED value_ = {};
  MIXERCONTROLDETAILS details_ = {};
};

// Whether the line has been put back for the end of the run: from then on no press switches it.
// The session's end may come while a switch reads the light, which takes the messages sent to
// the thread.
bool RunEnded(const int32_t& request) {
  return g_restored && request != kRestore;
}

}  // namespace

int32_t SwitchVolume(const int32_t& request) {
  if (RunEnded(request)) {
    return UnmutedVolume;
  }
  const bool viaEndpoint = UseEndpoint();
  MixerVolume mixer;
  const char* call = nullptr;
  uint32_t code = 0;
  // The mixer device is opened for every switch; on Windows Vista and later only until the
  // endpoint of the run is found, which is then the device of every later switch.
  if (!viaEndpoint || !EndpointChosen()) {
    code = mixer.Open(call);
    if (code == 0 && viaEndpoint) {
      code = ChooseEndpoint(static_cast<UINT>(CfgDevice), call);
    }
  }
  uint32_t level = 0;
  if (code == 0) {
    code = viaEndpoint ? ReadEndpoint(level, request == kRestore, call) : mixer.Read(level, call);
  }
  if (code != 0 && viaEndpoint && g_started && request != kRestore) {
    // A press finds the device away, or not answering: nothing is written, and the light shows
    // the line live, as it does while the device is away.
    LineMuted = 0;
    SetLockKey(LineMuted);
  } else if (code == 0 && request == kReadOnly) {
    // The line keeps its level: the light shows it live, whatever it showed before, or muted where
    // the endpoint's mute flag was found set.
    LineMuted = viaEndpoint && EndpointFoundMuted() ? 1 : 0;
    SetLockKey(LineMuted);
  } else if (code == 0 && request == kRestore && viaEndpoint && EndpointMutedElsewhere() &&
             !EndpointLevelOwn()) {
    // A mute made elsewhere last is the user's: its flag stays, and so does a level changed
    // elsewhere. Read first, as the device holds them now.
  } else if (code == 0) {
    const uint32_t found = level;
    int32_t muted = 0;
    // The endpoint's mute flag follows the switch, except that a restore hands the flag back
    // as the user had it at start, whatever the level (the device leaves the tool as it was
    // found; a restore to a level of 0 is silent by its level), or leaves a flag that another
    // program set since.
    MuteFlag flag = MuteFlag::kClear;
    if (request == kRestore) {
      level = LevelFromPercent(UnmutedVolume);
      flag = viaEndpoint && EndpointMutedElsewhere() ? MuteFlag::kLeave : MuteFlag::kAsAtStart;
    } else if (request == CurrentVolume && !(viaEndpoint && LineMuted != 0)) {
      // On the endpoint a line muted by its flag is unmuted, also when its unmuted level is 0.
      level = 0;
      muted = 1;
      flag = MuteFlag::kSet;
    } else {
      level = LevelFromPercent(request);
    }
    SetLockKey(muted);
    if (RunEnded(request)) {
      // The session ended while the light was read: the line is back at UnmutedVolume, and the
      // light shows it live again.
      const int32_t live = 0;
      SetLockKey(live);
      return UnmutedVolume;
    }
    code = viaEndpoint ? WriteEndpoint(level, flag, call) : mixer.Write(level, call);
    if (code != 0) {
      // The switch failed, at its level or at the endpoint's mute flag after it: the light shows
      // the line as the device now holds it, with the label's -1. On the endpoint that is its
      // flag: a level of 0 whose flag could not be set is no mute to trust, as a call program
      // raises such a level by itself. On the mixer it is the level the failed write left.
      muted = viaEndpoint ? EndpointHoldsMute() : found == 0 ? 1 : 0;
      SetLockKey(muted);
    }
    LineMuted = muted;
  }
  g_started = g_started || code == 0;
  if (code != 0) {
    // Shown before the mixer device is closed.
    const Text text = "error #" + UnsignedDecimalText(code) + " calling " + call;
    ShowMessageBox(text.c_str(), kMixerErrorCaption, kMixerErrorStyle, VolumeWindow);
    return -1;
  }
  return PercentFromLevel(level);
}

void RestoreLine() {
  if (g_restored) {
    return;
  }
  g_restored = true;
  // Nothing another program does is followed after the end.
  FollowEndpoint(nullptr);
  const int32_t restore = kRestore;
  SwitchVolume(restore);
  // The light live, as at every end, before the process ends: a stroke that has not shown is
  // made again for a while.
  LeaveLockKeyLive();
}
