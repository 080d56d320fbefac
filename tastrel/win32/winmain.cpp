// Entry point of the probe tool: the common controls made available, then the probe window.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include "common/win32/system_library.h"
#include "tastrel/win32/probe_window.h"

namespace {

// comctl32 is not a KnownDLL: the program does not import it, and takes every function by name
// from the library in the system directory.
HMODULE LoadSystemCommonControls() {
  return LoadSystemLibrary("comctl32.dll");
}

void InitCommonControlsOnce() {
  HMODULE library = LoadSystemCommonControls();
  if (library == nullptr) {
    return;
  }
  using InitExFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  using InitFunction = void(WINAPI*)();
  const auto initEx = LibraryFunction<InitExFunction>(library, "InitCommonControlsEx");
  if (initEx != nullptr) {
    INITCOMMONCONTROLSEX classes;
    classes.dwSize = sizeof classes;
    classes.dwICC = 0x000009FF;  // ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_INTERNET_CLASSES
    initEx(&classes);
  } else if (const auto init = LibraryFunction<InitFunction>(library, "InitCommonControls")) {
    init();
  }
  FreeLibrary(library);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The start-up step releases its own reference right after the initialisation. A library
  // whose last reference goes unregisters its window classes, the hotkey field's among them, so
  // this reference keeps the common controls loaded for as long as the window can exist.
  HMODULE windowLifeReference = LoadSystemCommonControls();
  InitCommonControlsOnce();
  RunProbeWindow(nullptr);
  if (windowLifeReference != nullptr) {
    FreeLibrary(windowLifeReference);
  }
  return 0;
}
