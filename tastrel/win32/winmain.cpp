// Entry point of the probe tool: the common controls made available, then the probe window.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include "common/win32/win32_window_system.h"
#include "tastrel/probe_window.h"

namespace {

// The common-controls library from the system directory only, never a file of that name in the
// program's folder or the current directory.
HMODULE LoadSystemCommonControls() {
  char path[MAX_PATH + 16];
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return nullptr;
  }
  lstrcpyA(path + length, "\\COMCTL32.DLL");
  return LoadLibraryA(path);
}

void InitCommonControlsOnce() {
  HMODULE library = LoadSystemCommonControls();
  if (library == nullptr) {
    return;
  }
  using InitExFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  // Through void* because FARPROC has no parameters.
  const auto initEx = reinterpret_cast<InitExFunction>(
      reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")));
  if (initEx != nullptr) {
    INITCOMMONCONTROLSEX classes;
    classes.dwSize = sizeof classes;
    classes.dwICC = 0x000009FF;  // ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_INTERNET_CLASSES
    initEx(&classes);
  } else {
    InitCommonControls();
  }
  FreeLibrary(library);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Win32WindowSystem ui;
  InstallUi(&ui);
  InitCommonControlsOnce();
  RunProbeWindow(nullptr);
  return 0;
}
