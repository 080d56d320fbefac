// In-memory dialog templates in the extended format, and the controls created on them.
#pragma once

#include <cstdint>
#include <vector>

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

// Extended template (DLGTEMPLATEEX) without controls, font above, no menu, standard dialog class.
// The bytes are little-endian as Windows reads them; the caller keeps them DWORD-aligned.
std::vector<uint8_t> BuildDialogTemplate(const DialogSpec& dialog);

struct ControlSpec {
  uint16_t id;
  const char* className;
  int16_t x, y, cx, cy;  // dialog units: left, top, width, height
  uint32_t style;
  uint32_t exStyle;
  const char* text;
};
