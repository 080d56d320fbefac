#include "common/atom_name.h"

#include "common/text.h"

Text HotkeyAtomName(const LocalTimeOfDay& time) {
  const uint64_t totalMs =
      time.hour * 3600000ull + time.minute * 60000ull + time.second * 1000ull + time.milliseconds;
  const uint64_t whole = totalMs / 1000;
  const uint64_t fraction = totalMs % 1000;

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
