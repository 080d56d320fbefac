// The mute tool's first step: tacetto.cfg and the set-up messages.
#pragma once

#include <cstdint>

// Reads tacetto.cfg from the current directory into the six Cfg values; shows nothing.
void ReadConfig();

// Shows the device list when no device is configured and the pointer to tastrel.exe when no
// hotkey is. 0 = go on, -1 = stop.
int32_t CheckConfig();
