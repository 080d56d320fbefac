#include "common/win32/system_library.h"

HMODULE LoadSystemLibrary(const char* name) {
  char path[MAX_PATH + 1];
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length + 1 + lstrlenA(name) > MAX_PATH) {
    return nullptr;
  }
  path[length] = '\\';
  lstrcpyA(path + length + 1, name);
  return LoadLibraryA(path);
}
