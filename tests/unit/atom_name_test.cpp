#include "common/atom_name.h"

#include <gtest/gtest.h>

#include "common/text.h"

namespace {

TEST(AtomName, SecondsSinceMidnightAsNumberText) {
  struct Case {
    LocalTimeOfDay time;
    const char* name;
  };
  const Case cases[] = {
      {{12, 34, 56, 780}, "My Hotkey 45296.78"},
      {{0, 0, 0, 500}, "My Hotkey .5"},
      {{0, 0, 0, 0}, "My Hotkey 0"},
      {{0, 0, 0, 7}, "My Hotkey .007"},
      {{0, 0, 1, 0}, "My Hotkey 1"},
      {{0, 0, 1, 10}, "My Hotkey 1.01"},
      {{23, 59, 59, 999}, "My Hotkey 86399.999"},
      {{10, 0, 0, 0}, "My Hotkey 36000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(HotkeyAtomName(c.time), c.name);
  }
}

TEST(NumberText, DecimalWithoutBlanksOrLeadingZeros) {
  EXPECT_EQ(DecimalText(0), "0");
  EXPECT_EQ(DecimalText(75), "75");
  EXPECT_EQ(DecimalText(-1), "-1");
  EXPECT_EQ(DecimalText(INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(UnsignedDecimalText(4294967295u), "4294967295");
}

}  // namespace
