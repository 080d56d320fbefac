// Fuzzes the number syntax of a configuration line (NumberFromLine and NumberScanner). The input
// is the line's text; every invariant below stops the run with __builtin_trap() when it does
// not hold.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "tacetto/config.h"

namespace {

void Check(bool holds) {
  if (!holds) {
    __builtin_trap();
  }
}

int32_t Number(const std::string& text) {
  return NumberFromLine(text.data(), text.size());
}

// Texts of one 32-bit value in several forms, each of which must read as `expected`.
void CheckForm(const char* format, uint32_t printed, int32_t expected) {
  char text[64];
  snprintf(text, sizeof text, format, printed);
  Check(Number(text) == expected);
}

void CheckInt32Texts(int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  char text[64];
  snprintf(text, sizeof text, "%d", static_cast<int>(value));
  const std::string decimal = text;
  Check(Number(decimal) == value);
  Check(Number(" \t\n" + decimal + " 99") == value);
  Check(Number(decimal + ".0") == value);
  Check(Number(decimal + ".4999") == value);
  Check(Number(decimal + "e0") == value);
  Check(Number(decimal + "0e-1") == value);
  if (value >= 0) {
    Check(Number("+000" + decimal) == value);
  }
  // The prefixed forms: a leading 0 digit keeps the value unsigned (saturated beyond the 32-bit
  // range); without it 16 and 32 bits with the top bit set read as negative.
  const int32_t unsignedValue = value >= 0 ? value : INT32_MAX;
  CheckForm("&H0%X", bits, unsignedValue);
  CheckForm("&h0%x", bits, unsignedValue);
  CheckForm("&O0%o", bits, unsignedValue);
  const int32_t signedValue = bits <= 0xFFFF ? static_cast<int16_t>(bits) : value;
  CheckForm("&H%X", bits, signedValue);
  CheckForm("&%o", bits, signedValue);
  CheckForm("&H%X&", bits, signedValue);
}

// The text "V.F" for a 32-bit V and one decimal F rounds half to even, then saturates.
void CheckOneDecimal(int32_t value, unsigned fraction) {
  char text[64];
  snprintf(text, sizeof text, "%d.%u", static_cast<int>(value), fraction);
  int64_t magnitude = value < 0 ? -static_cast<int64_t>(value) : value;
  if (fraction > 5 || (fraction == 5 && magnitude % 2 != 0)) {
    ++magnitude;
  }
  const int64_t rounded = value < 0 ? -magnitude : magnitude;
  const int32_t expected = rounded > INT32_MAX   ? INT32_MAX
                           : rounded < INT32_MIN ? INT32_MIN
                                                 : static_cast<int32_t>(rounded);
  Check(Number(text) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const int32_t value = Number(text);
  Check(Number(text) == value);  // deterministic

  // Byte by byte through the scanner, every byte fed even after the number has ended: once
  // Feed has refused a byte it refuses all later ones, and the value is that of the whole line.
  NumberScanner scanner;
  bool ended = false;
  for (const char c : text) {
    const bool accepted = scanner.Feed(static_cast<unsigned char>(c));
    Check(!(ended && accepted));
    ended = ended || !accepted;
  }
  Check(scanner.Value() == value);
  Check(scanner.Value() == value);  // reading the value changes nothing

  // A blank after the text, then anything (here the text reversed). A blank ends every number that
  // has begun: it is no digit, point, sign, exponent letter, base letter or digit of a prefixed
  // form, so after a sign, an exponent letter or & alone it ends the number just as the end of the
  // line does. The one exception is a text of only blanks, tabs and LF (or none): the scanner still
  // skips them, and the number is then the junk's.
  const std::string junk(text.rbegin(), text.rend());
  const bool onlyBlanks = text.find_first_not_of(" \t\n") == std::string::npos;
  if (onlyBlanks) {
    Check(value == 0);
    Check(Number(text + " " + junk) == Number(junk));
  } else {
    Check(Number(text + " " + junk) == value);
    Check(Number(text + "\t" + junk) == value);
  }

  // The first four bytes as a 32-bit integer: printed in each form, it reads as itself.
  if (size >= sizeof(int32_t)) {
    int32_t printed = 0;
    memcpy(&printed, data, sizeof printed);
    CheckInt32Texts(printed);
    if (size > sizeof(int32_t)) {
      CheckOneDecimal(printed, data[sizeof(int32_t)] % 10);
    }
  }
  return 0;
}
