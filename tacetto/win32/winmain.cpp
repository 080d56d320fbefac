// Entry point of the mute tool: the Win32 services installed, then the main line.
#include <windows.h>

#include "common/win32/win32_window_system.h"
#include "tacetto/main.h"
#include "tacetto/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Win32WindowSystem ui;
  Win32ConfigFile file;
  Win32Mixer mixer;
  Win32Keyboard keyboard;
  InstallUi(&ui);
  InstallPlatform(&file, &mixer, &keyboard);
  return RunTacetto();
}
