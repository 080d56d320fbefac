#include "tacetto/config.h"

#include <cstring>
#include <initializer_list>

#include "tacetto/number_syntax.h"

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr char kEndOfData = '\x1A';  // Ctrl-Z

// Reads the file's lines through a small fixed buffer.
class LineReader {
 public:
  LineReader(ConfigReadFunction read, void* source)
      : read_(read), source_(source), ended_(read == nullptr) {}

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
      if (next_ == filled_ && !Refill()) {
        ended_ = true;
        break;
      }
      // The line's bytes in the buffer, up to its end or the buffer's.
      const size_t length = BytesBeforeLineStop();
      if (length > 0) {
        anyCharacter = true;
        if (scanning) {
          scanning =
              scanner.FeedBlock(reinterpret_cast<const unsigned char*>(buffer_ + next_), length);
        }
        next_ += length;
        continue;
      }
      if (buffer_[next_++] == kEndOfData) {
        ended_ = true;
        break;
      }
      if (Peek() == kLineFeed) {  // the CR's own LF
        ++next_;
      }
      break;
    }
    value = scanner.Value();
    return anyCharacter;
  }

 private:
  // Bytes from the next one to the first CR or Ctrl-Z in the buffer, or to the buffer's end.
  size_t BytesBeforeLineStop() const {
    const char* const start = buffer_ + next_;
    size_t length = filled_ - next_;
    for (const char stop : {kCarriageReturn, kEndOfData}) {
      const void* found = std::memchr(start, stop, length);
      if (found != nullptr) {
        length = static_cast<size_t>(static_cast<const char*>(found) - start);
      }
    }
    return length;
  }

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
  const int32_t defaults[kConfigValueCount] = {-1, -1, -1, -1, 0, 0};
  for (int i = 0; i < kConfigValueCount; ++i) {
    int32_t value = 0;
    values[i] = reader.NextLine(value) ? value : defaults[i];
  }
}
