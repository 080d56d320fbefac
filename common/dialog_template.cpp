#include "common/dialog_template.h"

#include <algorithm>
#include <cstring>

namespace {

// Bytes after the title: points, weight, italic, character set and the face name.
constexpr size_t kFontBytes = 6 + 2 * (sizeof "MS Sans Serif");

class TemplateWriter {
 public:
  explicit TemplateWriter(DialogTemplate& out) : out_(out) { out_.size = 0; }

  void Byte(uint8_t value) { out_.bytes[out_.size++] = value; }
  void Word(uint16_t value) {
    Byte(static_cast<uint8_t>(value & 0xFF));
    Byte(static_cast<uint8_t>(value >> 8));
  }
  void Dword(uint32_t value) {
    Word(static_cast<uint16_t>(value & 0xFFFF));
    Word(static_cast<uint16_t>(value >> 16));
  }
  // NUL-terminated UTF-16 from ASCII, cut so that `reserve` bytes stay free after it.
  void Text(const char* text, size_t reserve) {
    const size_t room = (DialogTemplate::kCapacity - out_.size - reserve) / 2 - 1;
    const size_t length = std::min(std::strlen(text), room);
    for (size_t i = 0; i < length; ++i) {
      Word(static_cast<uint8_t>(text[i]));
    }
    Word(0);
  }

 private:
  DialogTemplate& out_;
};

}  // namespace

DialogTemplate BuildDialogTemplate(const DialogSpec& dialog) {
  DialogTemplate result;
  TemplateWriter out(result);
  out.Word(1);       // dlgVer
  out.Word(0xFFFF);  // signature: extended template
  out.Dword(0);      // helpID
  out.Dword(dialog.exStyle);
  out.Dword(dialog.style);
  out.Word(0);  // cDlgItems: controls are created afterwards
  out.Word(static_cast<uint16_t>(dialog.x));
  out.Word(static_cast<uint16_t>(dialog.y));
  out.Word(static_cast<uint16_t>(dialog.cx));
  out.Word(static_cast<uint16_t>(dialog.cy));
  out.Word(0);  // no menu
  out.Word(0);  // standard dialog class
  out.Text(dialog.title, kFontBytes);
  out.Word(kDialogFontPoints);
  out.Word(kDialogFontWeight);
  out.Byte(0);  // not italic
  out.Byte(0);  // character set 0
  out.Text(kDialogFontFace, 0);
  return result;
}
