// A small program with known mixer calls, used to check the driver's recorder and to see what
// wine's mixer keeps. Writes what it saw to probe.txt in its current directory.
//
//   mixer_probe cycle LEVEL   reads, writes LEVEL, reads again, then tries device 7 and the line
//                             input of device 1
//   mixer_probe set LEVEL     writes LEVEL and ends
//   mixer_probe get           reads the level into a record filled with 0xDEAD first
//   mixer_probe endpoint      reads the default capture endpoint's level, writes 0.25, reads
//                             again; levels written as round(scalar * 65535)
#include <windows.h>
// windows.h first
#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <mmsystem.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tacetto/win32/core_audio_ids.h"

namespace {

constexpr UINT kDevice = 1;
constexpr DWORD kUntouched = 0xDEAD;

struct Volume {
  HMIXER mixer = nullptr;
  DWORD controlId = 0;
  MMRESULT open = 0;
  MMRESULT line = 0;
  MMRESULT controls = 0;
};

Volume OpenMicrophoneVolume() {
  Volume volume;
  volume.open = mixerOpen(&volume.mixer, kDevice, 0, 0, 0);
  if (volume.open != MMSYSERR_NOERROR) {
    return volume;
  }
  MIXERLINEA line;
  memset(&line, 0, sizeof line);
  line.cbStruct = sizeof line;
  line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
  volume.line = mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(volume.mixer), &line,
                                  MIXER_GETLINEINFOF_COMPONENTTYPE);
  if (volume.line != MMSYSERR_NOERROR) {
    return volume;
  }
  MIXERCONTROLA control;
  memset(&control, 0, sizeof control);
  MIXERLINECONTROLSA controls;
  memset(&controls, 0, sizeof controls);
  controls.cbStruct = sizeof controls;
  controls.dwLineID = line.dwLineID;
  controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
  controls.cControls = 1;
  controls.cbmxctrl = sizeof control;
  controls.pamxctrl = &control;
  volume.controls = mixerGetLineControlsA(reinterpret_cast<HMIXEROBJ>(volume.mixer), &controls,
                                          MIXER_GETLINECONTROLSF_ONEBYTYPE);
  volume.controlId = control.dwControlID;
  return volume;
}

MMRESULT Transfer(const Volume& volume, DWORD& level, bool write) {
  MIXERCONTROLDETAILS_UNSIGNED value;
  value.dwValue = level;
  MIXERCONTROLDETAILS details;
  memset(&details, 0, sizeof details);
  details.cbStruct = sizeof details;
  details.dwControlID = volume.controlId;
  details.cChannels = 1;
  details.cbDetails = sizeof value;
  details.paDetails = &value;
  const MMRESULT result = write ? mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(volume.mixer),
                                                         &details, MIXER_SETCONTROLDETAILSF_VALUE)
                                : mixerGetControlDetailsA(reinterpret_cast<HMIXEROBJ>(volume.mixer),
                                                          &details, MIXER_GETCONTROLDETAILSF_VALUE);
  level = value.dwValue;
  return result;
}

unsigned long LevelOf(float scalar) {
  return static_cast<unsigned long>(static_cast<double>(scalar) * 65535 + 0.5);
}

int EndpointCycle(FILE* out) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IMMDeviceEnumerator* enumerator = nullptr;
  IMMDevice* device = nullptr;
  IAudioEndpointVolume* volume = nullptr;
  if (FAILED(CoCreateInstance(kDeviceEnumeratorClass, nullptr, CLSCTX_ALL,
                              kDeviceEnumeratorInterface, reinterpret_cast<void**>(&enumerator))) ||
      FAILED(enumerator->GetDefaultAudioEndpoint(eCapture, eConsole, &device)) ||
      FAILED(device->Activate(kEndpointVolumeInterface, CLSCTX_ALL, nullptr,
                              reinterpret_cast<void**>(&volume)))) {
    fprintf(out, "no endpoint volume\n");
    return 4;
  }
  float before = -1.0f;
  const HRESULT get1 = volume->GetMasterVolumeLevelScalar(&before);
  const HRESULT set = volume->SetMasterVolumeLevelScalar(0.25f, nullptr);
  float after = -1.0f;
  const HRESULT get2 = volume->GetMasterVolumeLevelScalar(&after);
  fprintf(out, "get %lu %lu set %lu get %lu %lu\n", static_cast<unsigned long>(get1),
          LevelOf(before), static_cast<unsigned long>(set), static_cast<unsigned long>(get2),
          LevelOf(after));
  volume->Release();
  device->Release();
  enumerator->Release();
  CoUninitialize();
  return 0;
}

bool Ready(const Volume& volume, FILE* out) {
  fprintf(out, "open %u line %u controls %u\n", volume.open, volume.line, volume.controls);
  return volume.open == MMSYSERR_NOERROR && volume.line == MMSYSERR_NOERROR &&
         volume.controls == MMSYSERR_NOERROR;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    return 2;
  }
  FILE* out = fopen("probe.txt", "wb");
  if (out == nullptr) {
    return 3;
  }
  if (strcmp(argv[1], "endpoint") == 0) {
    const int status = EndpointCycle(out);
    fclose(out);
    return status;
  }
  const Volume volume = OpenMicrophoneVolume();
  int status = 0;
  if (!Ready(volume, out)) {
    status = 4;
  } else if (strcmp(argv[1], "cycle") == 0 && argc > 2) {
    DWORD before = kUntouched;
    const MMRESULT get1 = Transfer(volume, before, false);
    DWORD level = static_cast<DWORD>(strtoul(argv[2], nullptr, 10));
    const MMRESULT set = Transfer(volume, level, true);
    DWORD after = kUntouched;
    const MMRESULT get2 = Transfer(volume, after, false);
    fprintf(out, "get %u %lu set %u get %u %lu\n", get1, static_cast<unsigned long>(before), set,
            get2, static_cast<unsigned long>(after));

    HMIXER other = nullptr;
    const MMRESULT wrongDevice = mixerOpen(&other, 7, 0, 0, 0);
    MIXERLINEA line;
    memset(&line, 0, sizeof line);
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_LINE;
    const MMRESULT noLine = mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(volume.mixer), &line,
                                              MIXER_GETLINEINFOF_COMPONENTTYPE);
    fprintf(out, "device7 %u lineinput %u\n", wrongDevice, noLine);
  } else if (strcmp(argv[1], "set") == 0 && argc > 2) {
    DWORD level = static_cast<DWORD>(strtoul(argv[2], nullptr, 10));
    fprintf(out, "set %u\n", Transfer(volume, level, true));
  } else if (strcmp(argv[1], "get") == 0) {
    DWORD level = kUntouched;
    const MMRESULT get = Transfer(volume, level, false);
    fprintf(out, "get %u %lu\n", get, static_cast<unsigned long>(level));
  } else {
    status = 2;
  }
  if (volume.mixer != nullptr) {
    mixerClose(volume.mixer);
  }
  fclose(out);
  return status;
}
