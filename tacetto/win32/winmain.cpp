// Entry point of the mute tool: the Win32 services installed, then the main line.
#include <windows.h>
// after windows.h
#include <objbase.h>

#include "common/win32/win32_window_system.h"
#include "tacetto/main.h"
#include "tacetto/win32/win32_endpoints.h"
#include "tacetto/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // For the capture endpoint on Windows Vista and later; released at exit.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int exitCode = 0;
  {
    Win32WindowSystem ui;
    Win32ConfigFile file;
    Win32Mixer mixer;
    Win32Keyboard keyboard;
    Win32Endpoints endpoints;
    InstallUi(&ui);
    InstallPlatform(&file, &mixer, &keyboard, &endpoints);
    exitCode = RunTacetto();
  }
  if (SUCCEEDED(com)) {
    CoUninitialize();
  }
  return exitCode;
}
