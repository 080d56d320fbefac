// Fuzzes the configuration reader and the number syntax: the input is read as the bytes of
// tacetto.cfg and as the text of one line. Every invariant below stops the run with
// __builtin_trap() when it does not hold.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "tacetto/config.h"
#include "tacetto/number_syntax.h"

namespace {

using Values = std::array<int32_t, kConfigValueCount>;

constexpr size_t kNoCut = SIZE_MAX;
constexpr size_t kLargestRead = 4096;  // the most the reader may ask for at once

void Check(bool holds) {
  if (!holds) {
    __builtin_trap();
  }
}

struct Source {
  const std::string& bytes;
  size_t maxChunk;
  size_t bytesRead = 0;
};

size_t ReadSource(void* source, char* buffer, size_t size) {
  Source& s = *static_cast<Source*>(source);
  Check(size > 0 && size <= kLargestRead);
  const size_t count = std::min({size, s.maxChunk, s.bytes.size() - s.bytesRead});
  std::copy_n(s.bytes.data() + s.bytesRead, count, buffer);
  s.bytesRead += count;
  return count;
}

// The reader on `bytes` in reads of at most `maxChunk` bytes; every value starts as a sentinel
// that no line or default gives here.
Values Read(const std::string& bytes, size_t maxChunk, size_t* bytesRead = nullptr) {
  Source source{bytes, maxChunk};
  int32_t values[kConfigValueCount];
  std::fill(values, values + kConfigValueCount, 0x5EA1ED01);
  ReadConfigValues(&ReadSource, &source, values);
  if (bytesRead != nullptr) {
    *bytesRead = source.bytesRead;
  }
  return {values[0], values[1], values[2], values[3], values[4], values[5]};
}

int32_t Number(const std::string& text) {
  return NumberFromLine(text.data(), text.size());
}

// The six values as a plain split of the bytes gives them: a UTF-8 byte order mark first is
// skipped, a line ends at CR (with one LF right after it), Ctrl-Z or the end of the data ends the
// last line, a line without any character takes its default. `cut` is where the reader is done
// with the file: just after the sixth line's CR or after a Ctrl-Z; kNoCut when the data ends first.
Values ExpectedValues(const std::string& bytes, size_t& cut) {
  Values values = {-1, -1, -1, -1, 0, 0};
  cut = kNoCut;
  size_t pos = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  for (size_t i = 0; i < values.size(); ++i) {
    const size_t end = std::min(bytes.find_first_of("\r\x1A", pos), bytes.size());
    if (end > pos) {
      values[i] = Number(bytes.substr(pos, end - pos));
    }
    if (end == bytes.size() || bytes[end] == '\x1A') {
      cut = end == bytes.size() ? kNoCut : end + 1;
      break;
    }
    pos = end + 1;
    if (i + 1 == values.size()) {
      cut = pos;
    } else if (pos < bytes.size() && bytes[pos] == '\n') {
      ++pos;
    }
  }
  return values;
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

// The input as one line's text.
void CheckLine(const std::string& text) {
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
  if (text.size() >= sizeof(int32_t)) {
    int32_t printed = 0;
    memcpy(&printed, text.data(), sizeof printed);
    CheckPrintedForms(printed);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  CheckLine(bytes);
  const Values whole = Read(bytes, SIZE_MAX);
  // Line ends falling across reads change nothing.
  Check(whole == Read(bytes, size == 0 ? 1 : 1 + data[0] % 13));
  size_t cut = kNoCut;
  Check(whole == ExpectedValues(bytes, cut));
  if (cut != kNoCut) {
    // Whatever follows the sixth line's end or a Ctrl-Z changes nothing and is hardly read: the
    // junk here is much longer than the reader's reads.
    std::string junk(bytes.rbegin(), bytes.rend());
    while (junk.size() < 32768) {
      junk += bytes;
    }
    size_t bytesRead = 0;
    Check(whole == Read(bytes.substr(0, cut) + junk, SIZE_MAX, &bytesRead));
    Check(bytesRead <= cut + 2 * kLargestRead);
  }
  return 0;
}
