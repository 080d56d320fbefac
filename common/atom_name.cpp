#include "common/atom_name.h"

#include "common/text.h"

Text HotkeyAtomName(const LocalTimeOfDay& time) {
  // The seconds and the milliseconds apart, each within 32 bits (no 64-bit division helpers).
  const uint32_t whole =
      time.hour * 3600u + time.minute * 60u + time.second + time.milliseconds / 1000u;
  const uint32_t fraction = time.milliseconds % 1000u;

  Text text = "My Hotkey ";
  if (whole != 0 || fraction == 0) {
    text += UnsignedDecimalText(whole);
  }
  if (fraction != 0) {
    // Three decimals, then drop the trailing zeros.
    char decimals[4] = {static_cast<char>('0' + fraction / 100),
                        static_cast<char>('0' + fraction / 10 % 10),
                        static_cast<char>('0' + fraction % 10), '\0'};
    int length = 3;
    while (length > 1 && decimals[length - 1] == '0') {
      decimals[--length] = '\0';
    }
    text += '.';
    text += decimals;
  }
  return text;
}
