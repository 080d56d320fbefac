// In-memory dialog templates in the extended format, and the controls created on them.
#pragma once

#include <cstddef>
#include <cstdint>

struct DialogSpec {
  const char* title;  // ASCII
  uint32_t style;
  uint32_t exStyle;
  int16_t x, y, cx, cy;  // dialog units
};

// Every dialog of both tools uses this font.
constexpr const char* kDialogFontFace = "MS Sans Serif";
constexpr uint16_t kDialogFontPoints = 8;
constexpr uint16_t kDialogFontWeight = 400;

// An extended template (DLGTEMPLATEEX) in the little-endian layout Windows reads, DWORD-aligned.
struct DialogTemplate {
  static constexpr size_t kCapacity = 256;  // header, font and a title of up to 90 characters
  alignas(4) uint8_t bytes[kCapacity];
  size_t size;
};

// Without controls, with the font above, no menu and the standard dialog class. A longer title
// is cut to what fits.
DialogTemplate BuildDialogTemplate(const DialogSpec& dialog);

struct ControlSpec {
  uint16_t id;
  const char* className;
  int16_t x, y, cx, cy;  // dialog units: left, top, width, height
  uint32_t style;
  uint32_t exStyle;
  const char* text;
};
