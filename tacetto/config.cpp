#include "tacetto/config.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

#include "common/text.h"
#include "common/window_system.h"
#include "tacetto/globals.h"
#include "tacetto/platform.h"

int32_t CfgDevice = 0;
int32_t CfgLine = 0;
int32_t CfgHotkey = 0;
int32_t CfgVolume = 0;
int32_t CfgLockKey = 0;
int32_t CfgLockInvert = 0;

namespace {

constexpr int kValueCount = 6;
constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr char kEndOfData = '\x1A';  // Ctrl-Z

int32_t Saturate(int64_t value) {
  if (value > std::numeric_limits<int32_t>::max()) {
    return std::numeric_limits<int32_t>::max();
  }
  if (value < std::numeric_limits<int32_t>::min()) {
    return std::numeric_limits<int32_t>::min();
  }
  return static_cast<int32_t>(value);
}

bool IsDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}

// Digit value in bases up to 16, or 16 for a character that is no digit.
uint32_t DigitValue(unsigned char c) {
  if (IsDigit(c)) {
    return c - '0';
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  return 16;
}

// Reads the file's lines through a small fixed buffer.
class LineReader {
 public:
  LineReader(ConfigFile& file, bool opened) : file_(file), ended_(!opened) {}

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
    filled_ = file_.Read(buffer_, sizeof buffer_);
    next_ = 0;
    if (filled_ == 0) {
      atEnd_ = true;  // the end of the file, or a read error
    }
    return filled_ != 0;
  }

  ConfigFile& file_;
  bool ended_;  // no further line: the end of the file, Ctrl-Z, or no file
  bool atEnd_ = false;
  char buffer_[512];
  size_t filled_ = 0;
  size_t next_ = 0;
};

Text DeviceListText() {
  Text text = "Bitte eine der Folgenden Device-Nummern ins CFG eintragen!";
  Mixer& mixer = MixerDevice();
  const uint32_t count = mixer.NumDevs();
  for (uint32_t device = 0; device < count; ++device) {
    char name[32] = {};
    if (mixer.ProductName(device, name) != 0) {
      name[0] = '\0';  // a device whose capabilities cannot be read is listed without a name
    }
    name[31] = '\0';
    text += "\r\n- Device #";
    text += UnsignedDecimalText(device);
    text += ": ";
    text += name;
  }
  return text;
}

}  // namespace

NumberScanner::NumberScanner()
    : state_(State::kStart),
      negative_(false),
      kept_(),
      keptCount_(0),
      significantDigits_(0),
      droppedNonZero_(false),
      sawPoint_(false),
      scale_(0),
      exponentNegative_(false),
      exponent_(0),
      base_(0),
      prefixValue_(0),
      prefixOverflow_(false),
      prefixAnyDigit_(false),
      prefixLeadingZero_(false) {}

bool NumberScanner::Feed(unsigned char c) {
  switch (state_) {
    case State::kStart:
      if (c == ' ' || c == '\t' || c == '\n') {
        return true;
      }
      if (c == '&') {
        state_ = State::kPrefix;
        return true;
      }
      if (c == '+' || c == '-') {
        negative_ = (c == '-');
        state_ = State::kSign;
        return true;
      }
      state_ = State::kMantissa;
      return Feed(c);

    case State::kSign:
      if (IsDigit(c) || c == '.') {
        state_ = State::kMantissa;
        return Feed(c);
      }
      break;

    case State::kMantissa:
      if (IsDigit(c)) {
        if (sawPoint_) {
          --scale_;
        }
        if (significantDigits_ == 0 && c == '0') {
          return true;  // a leading zero
        }
        ++significantDigits_;
        if (keptCount_ < kKeptDigits) {
          kept_[keptCount_++] = static_cast<char>(c - '0');
        } else if (c != '0') {
          droppedNonZero_ = true;
        }
        return true;
      }
      if (c == '.' && !sawPoint_) {
        sawPoint_ = true;
        return true;
      }
      if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
        state_ = State::kExponentStart;
        return true;
      }
      break;

    case State::kExponentStart:
      if (c == '+' || c == '-') {
        exponentNegative_ = (c == '-');
        state_ = State::kExponentSign;
        return true;
      }
      [[fallthrough]];
    case State::kExponentSign:
    case State::kExponent:
      if (IsDigit(c)) {
        state_ = State::kExponent;
        // Far beyond any exponent that could still give a 32-bit value.
        constexpr int64_t kExponentCap = 1000000000000;
        if (exponent_ < kExponentCap) {
          exponent_ = exponent_ * 10 + (c - '0');
        }
        return true;
      }
      break;

    case State::kPrefix:
      state_ = State::kPrefixDigits;
      if (c == 'H' || c == 'h') {
        base_ = 16;
        return true;
      }
      if (c == 'B' || c == 'b') {
        base_ = 2;
        return true;
      }
      base_ = 8;
      if (c == 'O' || c == 'o' || c == 'Q' || c == 'q') {
        return true;
      }
      return Feed(c);  // no base letter: octal, and this character is a digit or the end

    case State::kPrefixDigits: {
      const uint32_t digit = DigitValue(c);
      if (digit < base_) {
        if (!prefixAnyDigit_) {
          prefixAnyDigit_ = true;
          prefixLeadingZero_ = (digit == 0);
        }
        if (prefixValue_ > (UINT64_MAX - digit) / base_) {
          prefixOverflow_ = true;
        } else {
          prefixValue_ = prefixValue_ * base_ + digit;
        }
        return true;
      }
      break;
    }

    case State::kDone:
      break;
  }
  state_ = State::kDone;
  return false;
}

bool NumberScanner::FeedBlock(const unsigned char* bytes, size_t count) {
  size_t i = 0;
  while (i < count) {
    if (state_ == State::kMantissa && keptCount_ == kKeptDigits && IsDigit(bytes[i])) {
      // Digits past the kept ones are only counted, noting whether any of them is not 0.
      const size_t first = i;
      while (i < count && IsDigit(bytes[i])) {
        droppedNonZero_ = droppedNonZero_ || bytes[i] != '0';
        ++i;
      }
      const auto run = static_cast<int64_t>(i - first);
      significantDigits_ += run;
      if (sawPoint_) {
        scale_ -= run;
      }
      continue;
    }
    if (!Feed(bytes[i++])) {
      return false;
    }
  }
  return true;
}

int32_t NumberScanner::Value() const {
  if (base_ != 0) {
    if (!prefixAnyDigit_ || prefixOverflow_) {
      return 0;
    }
    const uint64_t value = prefixValue_;
    if (!prefixLeadingZero_) {
      if (value <= 0xFFFF && (value & 0x8000) != 0) {
        return static_cast<int32_t>(static_cast<int64_t>(value) - 0x10000);
      }
      if (value > 0xFFFF && value <= 0xFFFFFFFF && (value & 0x80000000) != 0) {
        return static_cast<int32_t>(static_cast<int64_t>(value) - 0x100000000);
      }
    }
    return value > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())
               ? std::numeric_limits<int32_t>::max()
               : static_cast<int32_t>(value);
  }

  if (significantDigits_ == 0) {
    return 0;
  }
  // The value is 0.d1d2d3... * 10^integerDigits, d1 not 0; rounding looks at the integer
  // digits, the first digit after the point and whether any later digit is not 0.
  const int64_t exponent = exponentNegative_ ? -exponent_ : exponent_;
  const int64_t integerDigits = significantDigits_ + scale_ + exponent;
  const int64_t kMaxIntegerDigits = 10;  // 2^31 has ten
  if (integerDigits > kMaxIntegerDigits) {
    return negative_ ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
  }
  auto digitAt = [this](int64_t index) -> int {
    return index < keptCount_ ? kept_[index] : 0;  // padding zeros past the digits
  };
  int64_t magnitude = 0;
  for (int64_t i = 0; i < integerDigits; ++i) {
    magnitude = magnitude * 10 + digitAt(i);
  }
  bool roundUp = false;
  if (integerDigits >= 0 && integerDigits < significantDigits_) {
    const int first = digitAt(integerDigits);
    bool laterNonZero = droppedNonZero_;
    for (int64_t i = integerDigits + 1; i < keptCount_; ++i) {
      laterNonZero = laterNonZero || kept_[i] != 0;
    }
    roundUp = first > 5 || (first == 5 && (laterNonZero || magnitude % 2 != 0));
  }
  if (roundUp) {
    ++magnitude;
  }
  return Saturate(negative_ ? -magnitude : magnitude);
}

int32_t NumberFromLine(const char* text, size_t length) {
  NumberScanner scanner;
  for (size_t i = 0; i < length && scanner.Feed(static_cast<unsigned char>(text[i])); ++i) {
  }
  return scanner.Value();
}

int32_t ReadConfig() {
  ConfigFile& file = File();
  const bool opened = file.Open("tacetto.cfg");
  LineReader reader(file, opened);
  int32_t* const values[kValueCount] = {&CfgDevice, &CfgLine,    &CfgHotkey,
                                        &CfgVolume, &CfgLockKey, &CfgLockInvert};
  const int32_t defaults[kValueCount] = {-1, -1, -1, -1, 0, 0};
  for (int i = 0; i < kValueCount; ++i) {
    int32_t value = 0;
    *values[i] = reader.NextLine(value) ? value : defaults[i];
  }
  if (opened) {
    file.Close();
  }

  int32_t result = 0;
  if (CfgDevice == -1) {
    Ui().ShowMessageBox(DeviceListText().c_str(), kNoticeCaption, kNoticeStyle);
    result = -1;
  }
  if (CfgHotkey == -1) {
    Ui().ShowMessageBox(
        "Bitte tastrel.exe starten und die Hotkey-Nummer ins Config-File schreiben!",
        kNoticeCaption, kNoticeStyle);
    result = -1;
  }
  return result;
}
