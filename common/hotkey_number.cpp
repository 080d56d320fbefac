#include "common/hotkey_number.h"

#include "common/text.h"

uint8_t ModifiersFromFieldFlags(uint8_t flags) {
  // Shift (field bit 0) and Alt (field bit 2) trade places; Ctrl (bit 1) stays.
  const uint8_t shift = (flags & 1) ? 4 : 0;
  const uint8_t ctrl = flags & 2;
  const uint8_t alt = (flags & 4) ? 1 : 0;
  return static_cast<uint8_t>(shift | ctrl | alt);
}

uint16_t HotkeyNumberFromField(uint16_t fieldValue) {
  const uint8_t keyCode = static_cast<uint8_t>(fieldValue & 0xFF);
  const uint8_t modifiers = ModifiersFromFieldFlags(static_cast<uint8_t>(fieldValue >> 8));
  return static_cast<uint16_t>(modifiers * 256 + keyCode);
}

HotkeyParts SplitHotkeyNumber(int32_t number) {
  const uint32_t bits = static_cast<uint32_t>(number);
  return HotkeyParts{static_cast<uint8_t>((bits >> 8) & 0xFF), static_cast<uint8_t>(bits & 0xFF)};
}

Text FormatHotkeyNumber(uint16_t number) {
  return DecimalText(number);
}

Text HotkeyAnswerText(uint16_t number, int typed, uint16_t first) {
  constexpr uint8_t kCtrlAlt = 2 | 1;  // MOD_CONTROL | MOD_ALT
  const HotkeyParts parts = SplitHotkeyNumber(number);
  const uint8_t ctrlAlt = parts.modifiers & kCtrlAlt;
  const bool character = typed < 0 || (typed > 0 && first >= 0x20 && first != 0x7F);
  Text text = "Hotkey Wert = " + FormatHotkeyNumber(number);
  if (parts.keyCode == 0) {  // an empty field, or a modifier alone
    text += "\r\n\r\nAchtung: Keine Taste eingegeben!";
  } else if (character && ctrlAlt == 0) {  // the key alone, or with Shift
    text += "\r\n\r\nAchtung: Auf dieser Tastatur schreibt diese Kombination ein Zeichen!";
  } else if (character && ctrlAlt == kCtrlAlt) {
    text +=
        "\r\n\r\nAchtung: Auf dieser Tastatur schreibt diese Kombination ein Zeichen "
        "(AltGr)!";
  }
  return text;
}
