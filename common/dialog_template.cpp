#include "common/dialog_template.h"

namespace {

void PutWord(std::vector<uint8_t>& bytes, uint16_t value) {
  bytes.push_back(static_cast<uint8_t>(value & 0xFF));
  bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void PutDword(std::vector<uint8_t>& bytes, uint32_t value) {
  PutWord(bytes, static_cast<uint16_t>(value & 0xFFFF));
  PutWord(bytes, static_cast<uint16_t>(value >> 16));
}

// NUL-terminated UTF-16 from ASCII.
void PutText(std::vector<uint8_t>& bytes, const char* text) {
  for (const char* p = text; *p != '\0'; ++p) {
    PutWord(bytes, static_cast<uint8_t>(*p));
  }
  PutWord(bytes, 0);
}

}  // namespace

std::vector<uint8_t> BuildDialogTemplate(const DialogSpec& dialog) {
  std::vector<uint8_t> bytes;
  PutWord(bytes, 1);       // dlgVer
  PutWord(bytes, 0xFFFF);  // signature: extended template
  PutDword(bytes, 0);      // helpID
  PutDword(bytes, dialog.exStyle);
  PutDword(bytes, dialog.style);
  PutWord(bytes, 0);  // cDlgItems: controls are created afterwards
  PutWord(bytes, static_cast<uint16_t>(dialog.x));
  PutWord(bytes, static_cast<uint16_t>(dialog.y));
  PutWord(bytes, static_cast<uint16_t>(dialog.cx));
  PutWord(bytes, static_cast<uint16_t>(dialog.cy));
  PutWord(bytes, 0);  // no menu
  PutWord(bytes, 0);  // standard dialog class
  PutText(bytes, dialog.title);
  PutWord(bytes, kDialogFontPoints);
  PutWord(bytes, kDialogFontWeight);
  bytes.push_back(0);  // not italic
  bytes.push_back(0);  // character set 0
  PutText(bytes, kDialogFontFace);
  return bytes;
}
