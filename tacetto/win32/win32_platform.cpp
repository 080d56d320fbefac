#include "tacetto/win32/win32_platform.h"

#include <cstring>

#include "tacetto/win32/winmm_library.h"

#if defined(__i386__)
// The record sizes the mixer expects from a 32-bit program.
static_assert(sizeof(MIXERCAPSA) == 48, "MIXERCAPSA");
static_assert(sizeof(MIXERLINEA) == 168, "MIXERLINEA");
static_assert(sizeof(MIXERLINECONTROLSA) == 24, "MIXERLINECONTROLSA");
static_assert(sizeof(MIXERCONTROLA) == 148, "MIXERCONTROLA");
static_assert(sizeof(MIXERCONTROLDETAILS) == 24, "MIXERCONTROLDETAILS");
#endif

namespace {

// The calls on an opened handle: Open succeeded, so the function table exists.
HMIXEROBJ AsMixerObject(MixerHandle handle) {
  return reinterpret_cast<HMIXEROBJ>(handle);
}

// One value for all channels of a control; the same record serves reading and writing.
struct ControlValue {
  MIXERCONTROLDETAILS_UNSIGNED value;
  MIXERCONTROLDETAILS details;

  explicit ControlValue(uint32_t controlId) : value(), details() {
    details.cbStruct = sizeof details;
    details.dwControlID = controlId;
    details.cChannels = 1;
    details.cMultipleItems = 0;
    details.cbDetails = sizeof value;
    details.paDetails = &value;
  }
};

}  // namespace

Win32ConfigFile::~Win32ConfigFile() {
  Close();
}

bool Win32ConfigFile::Open(const char* name) {
  Close();  // a file still open from before is not leaked
  handle_ =
      CreateFileA(name, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return handle_ != INVALID_HANDLE_VALUE;
}

size_t Win32ConfigFile::Read(char* buffer, size_t size) {
  DWORD read = 0;
  if (handle_ == INVALID_HANDLE_VALUE ||
      !ReadFile(handle_, buffer, static_cast<DWORD>(size), &read, nullptr)) {
    return 0;
  }
  return read;
}

void Win32ConfigFile::Close() {
  if (handle_ != INVALID_HANDLE_VALUE) {
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }
}

uint32_t Win32Mixer::NumDevs() {
  const WinmmFunctions* winmm = Winmm();
  return winmm != nullptr ? winmm->mixerGetNumDevs() : 0;
}

uint32_t Win32Mixer::ProductName(uint32_t device, char (&name)[32]) {
  MIXERCAPSA caps;
  memset(&caps, 0, sizeof caps);
  const WinmmFunctions* winmm = Winmm();
  const MMRESULT result =
      winmm != nullptr ? winmm->mixerGetDevCapsA(device, &caps, sizeof caps) : MMSYSERR_NODRIVER;
  static_assert(sizeof caps.szPname == sizeof name, "product name size");
  memcpy(name, caps.szPname, sizeof name);
  return result;
}

uint32_t Win32Mixer::Open(int32_t device, MixerHandle& handle) {
  const WinmmFunctions* winmm = Winmm();
  if (winmm == nullptr) {
    return MMSYSERR_NODRIVER;
  }
  HMIXER mixer = nullptr;
  const MMRESULT result = winmm->mixerOpen(&mixer, static_cast<UINT>(device), 0, 0, 0);
  handle = reinterpret_cast<MixerHandle>(mixer);
  return result;
}

uint32_t Win32Mixer::FindLine(MixerHandle handle, uint32_t componentType, uint32_t& lineId) {
  MIXERLINEA line;
  memset(&line, 0, sizeof line);
  line.cbStruct = sizeof line;
  line.dwComponentType = componentType;
  const MMRESULT result =
      Winmm()->mixerGetLineInfoA(AsMixerObject(handle), &line, MIXER_GETLINEINFOF_COMPONENTTYPE);
  lineId = line.dwLineID;
  return result;
}

uint32_t Win32Mixer::FindVolumeControl(MixerHandle handle, uint32_t lineId, uint32_t& controlId) {
  MIXERCONTROLA control;
  memset(&control, 0, sizeof control);
  MIXERLINECONTROLSA controls;
  memset(&controls, 0, sizeof controls);
  controls.cbStruct = sizeof controls;
  controls.dwLineID = lineId;
  controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
  controls.cControls = 1;
  controls.cbmxctrl = sizeof control;
  controls.pamxctrl = &control;
  const MMRESULT result = Winmm()->mixerGetLineControlsA(AsMixerObject(handle), &controls,
                                                         MIXER_GETLINECONTROLSF_ONEBYTYPE);
  controlId = control.dwControlID;
  return result;
}

uint32_t Win32Mixer::ReadValue(MixerHandle handle, uint32_t controlId, uint32_t& value) {
  ControlValue record(controlId);
  const MMRESULT result = Winmm()->mixerGetControlDetailsA(AsMixerObject(handle), &record.details,
                                                           MIXER_GETCONTROLDETAILSF_VALUE);
  value = record.value.dwValue;
  return result;
}

uint32_t Win32Mixer::WriteValue(MixerHandle handle, uint32_t controlId, uint32_t value) {
  ControlValue record(controlId);
  record.value.dwValue = value;
  return Winmm()->mixerSetControlDetails(AsMixerObject(handle), &record.details,
                                         MIXER_SETCONTROLDETAILSF_VALUE);
}

void Win32Mixer::Close(MixerHandle handle) {
  Winmm()->mixerClose(reinterpret_cast<HMIXER>(handle));
}

void Win32Keyboard::GetState(uint8_t (&keys)[256]) {
  GetKeyboardState(keys);
}

void Win32Keyboard::KeyEvent(uint8_t virtualKey, uint8_t scanCode, uint32_t flags) {
  keybd_event(virtualKey, scanCode, flags, 0);
}

void Win32Keyboard::SetState(const uint8_t (&keys)[256]) {
  SetKeyboardState(const_cast<BYTE*>(keys));
}
