#include "tacetto/config.h"

#include <cstring>

#include "tacetto/number_syntax.h"

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr char kEndOfData = '\x1A';                // Ctrl-Z
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";  // UTF-8, as editors may write it first
constexpr size_t kByteOrderMarkSize = sizeof kByteOrderMark - 1;

// Reads the file's lines through a small fixed buffer, a byte at a time.
class LineReader {
 public:
  LineReader(ConfigReadFunction read, void* source)
      : read_(read), source_(source), ended_(read == nullptr) {}

  // Reads past a byte order mark at the very start of the file, which no user sees and which
  // would end line 1's number before it begins. Elsewhere, or only a part of it, it is text.
  void SkipByteOrderMark() {
    while (!atEnd_ && !ended_ && filled_ < kByteOrderMarkSize) {
      const size_t count = read_(source_, buffer_ + filled_, sizeof buffer_ - filled_);
      atEnd_ = count == 0;  // the end of the file, or a read error
      filled_ += count;
    }
    if (filled_ >= kByteOrderMarkSize && memcmp(buffer_, kByteOrderMark, kByteOrderMarkSize) == 0) {
      next_ = kByteOrderMarkSize;
    }
  }

  // Scans the next line's number. Returns false when the line counts as empty: it holds no
  // character, or no line is left.
  bool NextLine(int32_t& value) {
    if (ended_) {
      return false;
    }
    NumberScanner scanner;
    bool scanning = true;
    bool anyCharacter = false;
    for (;;) {
      const int c = Peek();
      if (c < 0 || c == kEndOfData) {  // the end of the file, a read error, or Ctrl-Z
        ended_ = true;
        break;
      }
      ++next_;
      if (c == kCarriageReturn) {
        if (Peek() == kLineFeed) {  // the CR's own LF
          ++next_;
        }
        break;
      }
      anyCharacter = true;
      // The rest of a line after its number is read past, however long it is.
      scanning = scanning && scanner.Feed(static_cast<unsigned char>(c));
    }
    value = scanner.Value();
    return anyCharacter;
  }

 private:
  // The next byte, not yet taken; -1 at the end of the file or on a read error.
  int Peek() {
    if (next_ == filled_ && !Refill()) {
      return -1;
    }
    return static_cast<unsigned char>(buffer_[next_]);
  }

  bool Refill() {
    if (atEnd_) {
      return false;
    }
    filled_ = read_(source_, buffer_, sizeof buffer_);
    next_ = 0;
    if (filled_ == 0) {
      atEnd_ = true;  // the end of the file, or a read error
    }
    return filled_ != 0;
  }

  ConfigReadFunction read_;
  void* source_;
  bool ended_;  // no further line: the end of the file, Ctrl-Z, or no file
  bool atEnd_ = false;
  char buffer_[512];
  size_t filled_ = 0;
  size_t next_ = 0;
};

}  // namespace

void ReadConfigValues(ConfigReadFunction read, void* source, int32_t (&values)[kConfigValueCount]) {
  LineReader reader(read, source);
  reader.SkipByteOrderMark();
  const int32_t defaults[kConfigValueCount] = {-1, -1, -1, -1, 0, 0};
  for (int i = 0; i < kConfigValueCount; ++i) {
    int32_t value = 0;
    values[i] = reader.NextLine(value) ? value : defaults[i];
  }
}
