// The number syntax of a line of tacetto.cfg: decimals with a point and an exponent, the &H, &O
// and &B forms, rounded half to even and cut to 32 bits.
#pragma once

#include <cstddef>
#include <cstdint>

// The value of a line's number text (the whole line, without its line end).
int32_t NumberFromLine(const char* text, size_t length);

// Streams one line's bytes into the number syntax; memory stays fixed however long the line is.
class NumberScanner {
 public:
  NumberScanner();
  // Feeds the next byte of the line; returns false once the number has ended (later bytes of
  // the line need not be fed).
  bool Feed(unsigned char c);
  int32_t Value() const;

 private:
  enum class State {
    kStart,          // skipping blanks, tabs and LF
    kSign,           // after + or -
    kMantissa,       // digits and at most one point
    kExponentStart,  // after E e D d
    kExponentSign,   // after the exponent's sign
    kExponent,       // exponent digits
    kPrefix,         // after &
    kPrefixDigits,   // digits of the prefixed form
    kDone
  };
  State state_;
  bool negative_;
  // Decimal form: the first significant digits, the count of all of them, whether a non-zero
  // digit was dropped, the position of the point and the exponent.
  static constexpr int kKeptDigits = 12;
  char kept_[kKeptDigits];
  int keptCount_;
  int64_t significantDigits_;
  bool droppedNonZero_;
  bool sawPoint_;
  int64_t scale_;  // power of ten applied by digits after the point (negative)
  bool exponentNegative_;
  int64_t exponent_;
  // Prefixed form.
  uint32_t digitBits_;  // bits a digit: 4, 3 or 1 for the bases 16, 8 and 2; 0 for decimals
  uint64_t prefixValue_;
  bool prefixOverflow_;
  bool prefixAnyDigit_;
  bool prefixLeadingZero_;
};
