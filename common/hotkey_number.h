// The hotkey number: modifier set (registration encoding) * 256 + virtual-key code.
#pragma once

#include <cstdint>

#include "common/text.h"

// Field flags of the hotkey input field (1 Shift, 2 Ctrl, 4 Alt, 8 extended) to the modifier set
// of the hotkey registration (1 Alt, 2 Ctrl, 4 Shift). The extended-key flag is dropped.
uint8_t ModifiersFromFieldFlags(uint8_t flags);

// Packs a hotkey field value (flags in the high byte, key code in the low byte).
uint16_t HotkeyNumberFromField(uint16_t fieldValue);

struct HotkeyParts {
  uint8_t modifiers;
  uint8_t keyCode;
};

// Bits 8-15 and 0-7 of the number; higher bits play no part.
HotkeyParts SplitHotkeyNumber(int32_t number);

// Decimal digits, no sign, no blanks.
Text FormatHotkeyNumber(uint16_t number);

// The probe's answer to a combination it has registered: "Hotkey Wert = " and the number. A
// warning follows after an empty line when the number serves the user badly: no key (key code
// 0), which nobody can press; or a key that the keyboard layout types a character with, alone or
// with Shift, or with Ctrl and Alt (AltGr on many layouts), whose character the hotkey would take
// away. With Ctrl or Alt alone programs type nothing. `typed` and `first` are what ToUnicodeEx
// gave for the key with the combination's modifiers down: the count of characters (negative for
// a dead key) and the first of them; a control character types nothing.
Text HotkeyAnswerText(uint16_t number, int typed, uint16_t first);
