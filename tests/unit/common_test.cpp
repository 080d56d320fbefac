// The logic both tools share: the hotkey number, the atom name, number texts, dialog templates.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/atom_name.h"
#include "common/dialog_template.h"
#include "common/hotkey_number.h"
#include "common/text.h"

namespace {

using namespace std::string_literals;

TEST(HotkeyNumber, FieldFlagsTradeShiftAndAltAndDropTheRest) {
  const uint8_t expected[8] = {0, 4, 2, 6, 1, 5, 3, 7};
  for (unsigned flags = 0; flags < 256; ++flags) {
    EXPECT_EQ(ModifiersFromFieldFlags(static_cast<uint8_t>(flags)), expected[flags & 7]) << flags;
  }
}

TEST(HotkeyNumber, FieldValueToNumberAndNumberToParts) {
  const struct {
    uint16_t fieldValue, number;  // Shift+Ctrl+Alt+M, Shift+F1, Alt+M, Ctrl+Right extended
  } fields[] = {{0x074D, 1869}, {0x0170, 1136}, {0x044D, 333}, {0x0A27, 551}, {0, 0}};
  for (const auto& f : fields) {
    EXPECT_EQ(HotkeyNumberFromField(f.fieldValue), f.number) << f.fieldValue;
  }
  // Bits above 15 play no part; the Windows key (8) written by hand is kept.
  const struct {
    int32_t number;
    uint8_t modifiers, keyCode;
  } numbers[] = {{582, 2, 70}, {582 + 65536, 2, 70}, {2118, 8, 70}, {-1, 0xFF, 0xFF}};
  for (const auto& n : numbers) {
    EXPECT_EQ(SplitHotkeyNumber(n.number).modifiers, n.modifiers) << n.number;
    EXPECT_EQ(SplitHotkeyNumber(n.number).keyCode, n.keyCode) << n.number;
  }
}

TEST(HotkeyNumber, AnswerWarnsOfACombinationThatTakesAKeyAway) {
  const char* altGr =
      "Achtung: Auf dieser Tastatur schreibt diese Kombination ein Zeichen (AltGr)!";
  const char* types = "Achtung: Auf dieser Tastatur schreibt diese Kombination ein Zeichen!";
  const char* noKey = "Achtung: Keine Taste eingegeben!";
  // The number, what ToUnicodeEx gave for its key with its modifiers down (the count of
  // characters, negative for a dead key, and the first), the paragraph after an empty line.
  // clang-format off
  const struct { uint16_t number; int typed; uint16_t first; const char* warning; } cases[] = {
      {845, 1, 0xB5, altGr}, {955, -1, '~', altGr},     // Ctrl+Alt+M: German µ; a dead key
      {845, 0, 0, nullptr}, {776, 1, 0x7F, nullptr},    // Ctrl+Alt+M on US; Ctrl+Alt+Backspace
      {77, 1, 'm', types}, {1101, 1, 'M', types},       // M, Shift+M
      {32, 1, ' ', types}, {220, -1, '^', types},       // the space; German ^, a dead key
      {13, 1, '\r', nullptr}, {1136, 0, 0, nullptr},    // Enter, Shift+F1
      {582, 1, 'f', nullptr}, {1613, 1, 'M', nullptr},  // Ctrl or Alt alone: programs type
      {333, 1, 'm', nullptr},                           // nothing (Ctrl+F, Ctrl+Shift+M, Alt+M)
      {0, 0, 0, noKey}, {768, 1, 'x', noKey}};          // an empty field; Ctrl+Alt alone
  // clang-format on
  for (const auto& c : cases) {
    const std::string number = "Hotkey Wert = " + std::to_string(c.number);
    EXPECT_EQ(HotkeyAnswerText(c.number, c.typed, c.first).c_str(),
              c.warning == nullptr ? number : number + "\r\n\r\n" + c.warning);
  }
}

TEST(AtomName, SecondsSinceMidnightAsNumberText) {
  const struct {
    LocalTimeOfDay time;
    const char* name;
  } cases[] = {
      // clang-format off
      {{12, 34, 56, 780}, "My Hotkey 45296.78"}, {{0, 0, 0, 500}, "My Hotkey .5"},
      {{0, 0, 0, 0}, "My Hotkey 0"}, {{0, 0, 0, 7}, "My Hotkey .007"},
      {{0, 0, 1, 10}, "My Hotkey 1.01"}, {{23, 59, 59, 999}, "My Hotkey 86399.999"},
      {{10, 0, 0, 0}, "My Hotkey 36000"},
      // clang-format on
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HotkeyAtomName(c.time), c.name);
  }
}

TEST(NumberText, DecimalWithoutBlanksOrLeadingZeros) {
  EXPECT_EQ(DecimalText(0), "0");
  EXPECT_EQ(DecimalText(-1), "-1");
  EXPECT_EQ(DecimalText(INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(UnsignedDecimalText(UINT64_MAX), "18446744073709551615");
  EXPECT_EQ(FormatHotkeyNumber(65535), "65535");
}

// The template as little-endian words.
std::u16string Words(const DialogSpec& dialog) {
  const DialogTemplate built = BuildDialogTemplate(dialog);
  EXPECT_LE(built.size, DialogTemplate::kCapacity);
  EXPECT_EQ(built.size % 2, 0u);
  std::u16string words;
  for (size_t i = 0; i + 1 < built.size; i += 2) {
    words.push_back(static_cast<char16_t>(built.bytes[i] | built.bytes[i + 1] << 8));
  }
  return words;
}

const std::u16string kFont = u"\x8\x190\0MS Sans Serif\0"s;  // 8 points, weight 400, not italic

TEST(DialogTemplate, ExtendedHeaderWithoutControlsThenTitleAndFont) {
  // Version 1, extended, help id 0, extended style, style, no controls, x -5, y 72, cx 233,
  // cy 170, no menu, the standard dialog class.
  EXPECT_EQ(Words({"Tastrel", 0x84CB00D4, 0x00010100, -5, 72, 233, 170}),
            u"\x1\xFFFF\0\0\x100\x1\xD4\x84CB\0\xFFFB\x48\xE9\xAA\0\0Tastrel\0"s + kFont);
}

TEST(DialogTemplate, ALongTitleIsCutAndTheFontStillFollows) {
  const std::u16string words = Words({std::string(300, 'x').c_str(), 0, 0, 0, 0, 10, 10});
  ASSERT_GT(words.size(), 15 + 90 + 1 + kFont.size());
  const size_t titleLength = words.size() - 15 - 1 - kFont.size();
  EXPECT_EQ(words.substr(15), std::u16string(titleLength, u'x') + u"\0"s + kFont);
}

}  // namespace
