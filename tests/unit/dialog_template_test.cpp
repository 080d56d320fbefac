#include "common/dialog_template.h"

#include <gtest/gtest.h>

#include <string>

namespace {

uint16_t Word(const std::vector<uint8_t>& bytes, size_t offset) {
  return static_cast<uint16_t>(bytes.at(offset) | bytes.at(offset + 1) << 8);
}

uint32_t Dword(const std::vector<uint8_t>& bytes, size_t offset) {
  return Word(bytes, offset) | static_cast<uint32_t>(Word(bytes, offset + 2)) << 16;
}

// Reads a NUL-terminated UTF-16 string at `offset` and moves past it.
std::string Utf16At(const std::vector<uint8_t>& bytes, size_t& offset) {
  std::string text;
  for (uint16_t c = Word(bytes, offset); c != 0; c = Word(bytes, offset)) {
    text.push_back(static_cast<char>(c));
    offset += 2;
  }
  offset += 2;
  return text;
}

TEST(DialogTemplate, ExtendedHeaderWithoutControlsThenTitleAndFont) {
  const DialogSpec dialog = {"Tastrel", 0x84CB00D4, 0x00010100, 103, 72, 233, 170};
  const DialogTemplate built = BuildDialogTemplate(dialog);
  const std::vector<uint8_t> bytes(built.bytes, built.bytes + built.size);

  EXPECT_EQ(Word(bytes, 0), 1);       // version
  EXPECT_EQ(Word(bytes, 2), 0xFFFF);  // extended
  EXPECT_EQ(Dword(bytes, 4), 0u);     // help id
  EXPECT_EQ(Dword(bytes, 8), 0x00010100u);
  EXPECT_EQ(Dword(bytes, 12), 0x84CB00D4u);
  EXPECT_EQ(Word(bytes, 16), 0);  // no controls
  EXPECT_EQ(Word(bytes, 18), 103);
  EXPECT_EQ(Word(bytes, 20), 72);
  EXPECT_EQ(Word(bytes, 22), 233);
  EXPECT_EQ(Word(bytes, 24), 170);
  EXPECT_EQ(Word(bytes, 26), 0);  // no menu
  EXPECT_EQ(Word(bytes, 28), 0);  // standard dialog class
  size_t offset = 30;
  EXPECT_EQ(Utf16At(bytes, offset), "Tastrel");
  EXPECT_EQ(Word(bytes, offset), 8);        // points
  EXPECT_EQ(Word(bytes, offset + 2), 400);  // weight
  EXPECT_EQ(bytes.at(offset + 4), 0);       // not italic
  EXPECT_EQ(bytes.at(offset + 5), 0);       // character set
  offset += 6;
  EXPECT_EQ(Utf16At(bytes, offset), "MS Sans Serif");
  EXPECT_EQ(offset, bytes.size());
}

TEST(DialogTemplate, NegativeCoordinatesAreTwosComplementWords) {
  const DialogSpec dialog = {"", 0x00080854, 0x88, -5, 0, 300, 40};
  const DialogTemplate built = BuildDialogTemplate(dialog);
  const std::vector<uint8_t> bytes(built.bytes, built.bytes + built.size);
  EXPECT_EQ(Word(bytes, 18), 0xFFFB);
  size_t offset = 30;
  EXPECT_EQ(Utf16At(bytes, offset), "");
  EXPECT_EQ(Word(bytes, offset), 8);
}

TEST(DialogTemplate, ALongTitleIsCutAndTheFontStillFollows) {
  const std::string title(300, 'x');
  const DialogSpec dialog = {title.c_str(), 0, 0, 0, 0, 10, 10};
  const DialogTemplate built = BuildDialogTemplate(dialog);
  const std::vector<uint8_t> bytes(built.bytes, built.bytes + built.size);
  size_t offset = 30;
  const std::string cut = Utf16At(bytes, offset);
  EXPECT_GT(cut.size(), 90u);
  EXPECT_EQ(cut, title.substr(0, cut.size()));
  EXPECT_EQ(Word(bytes, offset), 8);
  offset += 6;
  EXPECT_EQ(Utf16At(bytes, offset), "MS Sans Serif");
  EXPECT_EQ(offset, bytes.size());
  EXPECT_LE(built.size, DialogTemplate::kCapacity);
}

}  // namespace
