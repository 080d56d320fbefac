#include "harness/lock_lights.h"

namespace {

HANDLE g_ask = nullptr, g_told = nullptr;
volatile LONG g_lights = 0;  // bit 0 Num Lock, bit 1 Scroll Lock

DWORD WINAPI ReadLights(LPVOID ready) {
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // its input exists from here on
  SetEvent(static_cast<HANDLE>(ready));
  for (;;) {
    WaitForSingleObject(g_ask, INFINITE);
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    g_lights = (GetKeyState(VK_NUMLOCK) & 1) | (GetKeyState(VK_SCROLL) & 1) << 1;
    SetEvent(g_told);
  }
}

}  // namespace

void WatchLockLights() {
  if (g_ask != nullptr) {
    return;
  }
  // The thread runs in this module until the process ends: the module stays loaded with it.
  HMODULE self = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                     reinterpret_cast<LPCSTR>(&ReadLights), &self);
  g_ask = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  g_told = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = CreateThread(nullptr, 0, &ReadLights, ready, 0, nullptr);
  WaitForSingleObject(ready, 5000);
  CloseHandle(ready);
  CloseHandle(thread);
}

int LockLight(BYTE key) {
  SetEvent(g_ask);
  WaitForSingleObject(g_told, 5000);
  return (g_lights >> (key == VK_SCROLL ? 1 : 0)) & 1;
}

const char* LockKeyName(BYTE key) {
  return key == VK_SCROLL ? "Scroll Lock" : "Num Lock";
}

const char* OnOff(int light) {
  return light != 0 ? "on" : "off";
}
