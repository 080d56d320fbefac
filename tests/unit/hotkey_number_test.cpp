#include "common/hotkey_number.h"

#include <gtest/gtest.h>

namespace {

TEST(HotkeyNumber, FieldFlagsTradeShiftAndAltAndDropExtended) {
  const uint8_t expected[8] = {0, 4, 2, 6, 1, 5, 3, 7};
  for (uint8_t flags = 0; flags < 16; ++flags) {
    SCOPED_TRACE(static_cast<int>(flags));
    EXPECT_EQ(ModifiersFromFieldFlags(flags), expected[flags & 7]);
  }
  EXPECT_EQ(ModifiersFromFieldFlags(0xF7), 7);  // only the low three bits count
}

struct Combination {
  const char* name;
  uint16_t fieldValue;
  uint16_t number;
  uint8_t modifiers;
  uint8_t keyCode;
};

const Combination kCombinations[] = {
    {"Ctrl+F", 0x0246, 582, 2, 70},
    {"Shift+F1", 0x0170, 1136, 4, 112},
    {"Alt+M", 0x044D, 333, 1, 77},
    {"Ctrl+Alt+M", 0x064D, 845, 3, 77},
    {"Shift+Ctrl+M", 0x034D, 1613, 6, 77},
    {"Shift+Alt+M", 0x054D, 1357, 5, 77},
    {"Shift+Ctrl+Alt+M", 0x074D, 1869, 7, 77},
    {"F9", 0x0078, 120, 0, 120},
    {"Ctrl+Right extended", 0x0A27, 551, 2, 39},
    {"empty field", 0x0000, 0, 0, 0},
};

TEST(HotkeyNumber, FieldValueToNumberAndBack) {
  for (const Combination& c : kCombinations) {
    SCOPED_TRACE(c.name);
    const uint16_t number = HotkeyNumberFromField(c.fieldValue);
    EXPECT_EQ(number, c.number);
    const HotkeyParts parts = SplitHotkeyNumber(number);
    EXPECT_EQ(parts.modifiers, c.modifiers);
    EXPECT_EQ(parts.keyCode, c.keyCode);
  }
}

TEST(HotkeyNumber, SplitIgnoresHighBitsAndKeepsHandWrittenModifiers) {
  const HotkeyParts high = SplitHotkeyNumber(582 + 65536);
  EXPECT_EQ(high.modifiers, 2);
  EXPECT_EQ(high.keyCode, 70);
  const HotkeyParts windowsKey = SplitHotkeyNumber(2118);
  EXPECT_EQ(windowsKey.modifiers, 8);
  EXPECT_EQ(windowsKey.keyCode, 70);
  const HotkeyParts negative = SplitHotkeyNumber(-1);  // two's complement bytes
  EXPECT_EQ(negative.modifiers, 0xFF);
  EXPECT_EQ(negative.keyCode, 0xFF);
}

TEST(HotkeyNumber, TextForm) {
  EXPECT_EQ(FormatHotkeyNumber(582), "582");
  EXPECT_EQ(FormatHotkeyNumber(0), "0");
  EXPECT_EQ(FormatHotkeyNumber(2047), "2047");
  EXPECT_EQ(FormatHotkeyNumber(65535), "65535");
}

}  // namespace
