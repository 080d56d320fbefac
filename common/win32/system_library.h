// Libraries that are not KnownDLLs are loaded by their full path in the system directory only,
// never as a file of that name in the program's folder or the current directory. (The search
// flags of LoadLibraryExA do not exist on Windows XP.)
#pragma once

#include <windows.h>

// `name` is the file name, e.g. "winmm.dll"; nullptr when the path does not fit or the library
// cannot be loaded.
HMODULE LoadSystemLibrary(const char* name);

// A function of `library` by name, typed; nullptr when it is missing.
template <typename Function>
Function LibraryFunction(HMODULE library, const char* name) {
  // Through void* because FARPROC has no parameters.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}
