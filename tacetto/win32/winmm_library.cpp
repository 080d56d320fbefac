#include "tacetto/win32/winmm_library.h"

namespace {

WinmmFunctions g_functions;
bool g_loaded = false;
bool g_complete = false;

template <typename Function>
bool Take(HMODULE library, const char* name, Function& function) {
  // Through void* because FARPROC has no parameters.
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
  return function != nullptr;
}

bool Load() {
  char path[MAX_PATH + 16];
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return false;
  }
  lstrcpyA(path + length, "\\winmm.dll");
  HMODULE library = LoadLibraryA(path);  // never freed: the table lives as long as the process
  if (library == nullptr) {
    return false;
  }
  WinmmFunctions& f = g_functions;
  return Take(library, "mixerGetNumDevs", f.mixerGetNumDevs) &&
         Take(library, "mixerGetDevCapsA", f.mixerGetDevCapsA) &&
         Take(library, "mixerOpen", f.mixerOpen) &&
         Take(library, "mixerGetLineInfoA", f.mixerGetLineInfoA) &&
         Take(library, "mixerGetLineControlsA", f.mixerGetLineControlsA) &&
         Take(library, "mixerGetControlDetailsA", f.mixerGetControlDetailsA) &&
         Take(library, "mixerSetControlDetails", f.mixerSetControlDetails) &&
         Take(library, "mixerClose", f.mixerClose) && Take(library, "mixerGetID", f.mixerGetID) &&
         Take(library, "waveInGetNumDevs", f.waveInGetNumDevs) &&
         Take(library, "waveInMessage", f.waveInMessage);
}

}  // namespace

const WinmmFunctions* Winmm() {
  if (!g_loaded) {
    g_loaded = true;
    g_complete = Load();
  }
  return g_complete ? &g_functions : nullptr;
}
