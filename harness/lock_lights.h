// The keyboard's lock lights as another program sees them, for the end-to-end driver, the demo
// and the sound doubles.
#pragma once

#include <windows.h>

// Starts the thread that reads the lights, once per module; returns when it can. It has a message
// queue and no window, so that no key message ever waits for it and its view follows the system's
// toggles. Under wine a thread sees only the toggles made after its input exists: start it before
// the toggles it must see.
void WatchLockLights();

// The light of VK_NUMLOCK or VK_SCROLL (1 on) as the thread reads it now.
int LockLight(BYTE key);

// "Num Lock" or "Scroll Lock", and the light as a word: "on" or "off".
const char* LockKeyName(BYTE key);
const char* OnOff(int light);
