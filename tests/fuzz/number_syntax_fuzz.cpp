// Fuzzes the number syntax of a configuration line (NumberFromLine and NumberScanner). Every
// invariant below stops the run with __builtin_trap() when it does not hold.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "tacetto/number_syntax.h"

namespace {

void Check(bool holds) {
  if (!holds) {
    __builtin_trap();
  }
}

int32_t Number(const std::string& text) {
  return NumberFromLine(text.data(), text.size());
}

std::string Printed(const char* format, uint32_t value) {
  char text[64];
  snprintf(text, sizeof text, format, value);
  return text;
}

// A 32-bit value printed in each form reads as itself: decimal, and the prefixed forms, where a
// leading 0 digit keeps the value unsigned (saturated) and without it 16 and 32 bits with the
// top bit set read as negative.
void CheckPrintedForms(int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  const std::string decimal = std::to_string(value);
  Check(Number(decimal) == value);
  Check(Number(" \t\n" + decimal + ".4999e0 99") == value);
  const int32_t unsignedValue = value >= 0 ? value : INT32_MAX;
  Check(Number(Printed("&H0%X", bits)) == unsignedValue);
  Check(Number(Printed("&o0%o", bits)) == unsignedValue);
  const int32_t signedValue = bits <= 0xFFFF ? static_cast<int16_t>(bits) : value;
  Check(Number(Printed("&h%x&", bits)) == signedValue);
  Check(Number(Printed("&%o", bits)) == signedValue);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const int32_t value = Number(text);

  // Byte by byte through the scanner: once a byte is refused every later one is, and the value
  // is the whole line's.
  NumberScanner scanner;
  bool ended = false;
  for (const char c : text) {
    const bool accepted = scanner.Feed(static_cast<unsigned char>(c));
    Check(!(ended && accepted));
    ended = ended || !accepted;
  }
  Check(scanner.Value() == value);

  // A blank ends every number that has begun, so anything after it changes nothing; a text of
  // only blanks, tabs and LF (or none) is 0 and the scanner still skips them.
  const std::string junk(text.rbegin(), text.rend());
  if (text.find_first_not_of(" \t\n") == std::string::npos) {
    Check(value == 0 && Number(text + " " + junk) == Number(junk));
  } else {
    Check(Number(text + " " + junk) == value);
  }

  // The first four bytes as a 32-bit integer, printed.
  if (size >= sizeof(int32_t)) {
    int32_t printed = 0;
    memcpy(&printed, data, sizeof printed);
    CheckPrintedForms(printed);
  }
  return 0;
}
