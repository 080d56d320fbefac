// Name of the global atom that identifies a tool's hotkey registration.
#pragma once

#include <cstdint>

#include "common/text.h"

struct LocalTimeOfDay {
  uint16_t hour;
  uint16_t minute;
  uint16_t second;
  uint16_t milliseconds;
};

// "My Hotkey" followed by the seconds since local midnight as number text: a leading blank, no
// trailing zeros after the point, no point without a fraction, no digit before the point below 1.
Text HotkeyAtomName(const LocalTimeOfDay& time);
