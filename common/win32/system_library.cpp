#include "common/win32/system_library.h"

#include <cstring>

HMODULE LoadSystemLibrary(const char* name) {
  char path[MAX_PATH + 1];
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
  const size_t nameLength = strlen(name);
  if (length == 0 || length + 1 + nameLength > MAX_PATH) {
    return nullptr;
  }
  path[length] = '\\';
  memcpy(path + length + 1, name, nameLength + 1);
  return LoadLibraryA(path);
}
