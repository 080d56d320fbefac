#include "tacetto/number_syntax.h"

#include <limits>

namespace {

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
      digitBits_(0),
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
        digitBits_ = 4;  // base 16
        return true;
      }
      if (c == 'B' || c == 'b') {
        digitBits_ = 1;  // base 2
        return true;
      }
      digitBits_ = 3;  // base 8
      if (c == 'O' || c == 'o' || c == 'Q' || c == 'q') {
        return true;
      }
      return Feed(c);  // no base letter: octal, and this character is a digit or the end

    case State::kPrefixDigits: {
      const uint32_t digit = DigitValue(c);
      if (digit < (1u << digitBits_)) {
        if (!prefixAnyDigit_) {
          prefixAnyDigit_ = true;
          prefixLeadingZero_ = (digit == 0);
        }
        // The bases are powers of two: shifts, no 64-bit division helpers.
        if (prefixValue_ > (UINT64_MAX - digit) >> digitBits_) {
          prefixOverflow_ = true;
        } else {
          prefixValue_ = (prefixValue_ << digitBits_) + digit;
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

int32_t NumberScanner::Value() const {
  if (digitBits_ != 0) {
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
