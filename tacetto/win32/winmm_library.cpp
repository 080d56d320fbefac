#include "tacetto/win32/winmm_library.h"

#include "common/win32/system_library.h"

namespace {

WinmmFunctions g_functions;
bool g_loaded = false;
bool g_complete = false;

template <typename Function>
bool Take(HMODULE library, const char* name, Function& function) {
  function = LibraryFunction<Function>(library, name);
  return function != nullptr;
}

bool Load() {
  // Never freed: the table lives as long as the process.
  HMODULE library = LoadSystemLibrary("winmm.dll");
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
