#include "common/text.h"

#include <cstdlib>
#include <cstring>

#include "common/small_division.h"

Text::Text(const char* text) {
  *this += text;
}

Text::Text(const Text& other) {
  *this += other.c_str();
}

Text::Text(Text&& other) noexcept
    : data_(other.data_), size_(other.size_), capacity_(other.capacity_) {
  other.data_ = nullptr;
  other.size_ = other.capacity_ = 0;
}

Text& Text::operator=(const Text& other) {
  if (this != &other) {
    size_ = 0;
    Append(other.c_str(), other.size_);
  }
  return *this;
}

Text& Text::operator=(Text&& other) noexcept {
  if (this != &other) {
    std::free(data_);
    data_ = other.data_;
    size_ = other.size_;
    capacity_ = other.capacity_;
    other.data_ = nullptr;
    other.size_ = other.capacity_ = 0;
  }
  return *this;
}

Text::~Text() {
  std::free(data_);
}

Text& Text::operator+=(const char* text) {
  Append(text, std::strlen(text));
  return *this;
}

Text& Text::operator+=(char c) {
  Append(&c, 1);
  return *this;
}

void Text::Append(const char* text, size_t length) {
  if (length >= capacity_ - size_) {  // room for the text and the NUL; cannot overflow
    size_t capacity = capacity_ < 32 ? 32 : capacity_;
    while (capacity < size_ + length + 1) {
      capacity *= 2;
    }
    char* grown = static_cast<char*>(std::realloc(data_, capacity));
    if (grown == nullptr) {
      // Out of memory: keep what fits, never crash over a message text.
      if (capacity_ == 0) {
        return;
      }
      length = capacity_ - size_ - 1;
    } else {
      data_ = grown;
      capacity_ = capacity;
    }
  }
  std::memcpy(data_ + size_, text, length);
  size_ += length;
  data_[size_] = '\0';
}

Text operator+(Text left, const Text& right) {
  left += right;
  return left;
}

bool operator==(const Text& left, const char* right) {
  return std::strcmp(left.c_str(), right) == 0;
}

namespace {

// The decimal digits of `value` written at `out`, then a NUL; returns the end (at the NUL).
char* AppendUnsigned(char* out, uint64_t value) {
  char digits[20];
  int count = 0;
  do {
    const SmallQuotient division = DivideBySmall(value, 10);
    digits[count++] = static_cast<char>('0' + division.remainder);
    value = division.quotient;
  } while (value != 0);
  while (count > 0) {
    *out++ = digits[--count];
  }
  *out = '\0';
  return out;
}

}  // namespace

char* AppendDecimal(char* out, int64_t value) {
  // Negate in unsigned arithmetic so that the smallest value needs no special case.
  uint64_t magnitude = static_cast<uint64_t>(value);
  if (value < 0) {
    *out++ = '-';
    magnitude = 0 - magnitude;
  }
  return AppendUnsigned(out, magnitude);
}

Text UnsignedDecimalText(uint64_t value) {
  char text[21];
  AppendUnsigned(text, value);
  return Text(text);
}

Text DecimalText(int64_t value) {
  char text[21];
  AppendDecimal(text, value);
  return Text(text);
}
