// The mute tool's main line: the configuration, the start level, the volume window run until it
// is closed, then the line put back.
#include <windows.h>
// after windows.h
#include <objbase.h>

#include "tacetto/win32/endpoint.h"
#include "tacetto/win32/globals.h"
#include "tacetto/win32/read_config.h"
#include "tacetto/win32/single_start.h"
#include "tacetto/win32/volume.h"
#include "tacetto/win32/volume_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ReadConfig();
  // One tool per line: a second start for the same line touches neither the line nor the light,
  // and shows the running tool's window (or its box) instead.
  if (!TakeConfiguredLine()) {
    return 0;
  }
  // For the capture endpoint on Windows Vista and later; released at exit.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (CheckConfig() == 0) {
    const int32_t readOnly = -1;
    UnmutedVolume = SwitchVolume(CfgVolume != -1 ? CfgVolume : readOnly);
    if (UnmutedVolume != -1) {
      // At a start that keeps the level, an endpoint found muted counts as muted: the first press
      // unmutes it.
      CurrentVolume = LineMuted != 0 ? 0 : UnmutedVolume;
      RunVolumeWindow();
      RestoreLine();
    }
  }
  ReleaseEndpoint();
  if (SUCCEEDED(com)) {
    CoUninitialize();
  }
  return 0;
}
