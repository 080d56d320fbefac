#include "common/number_text.h"

std::string UnsignedDecimalText(uint64_t value) {
  char digits[20];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  std::string text;
  text.reserve(static_cast<size_t>(count));
  while (count > 0) {
    text.push_back(digits[--count]);
  }
  return text;
}

std::string DecimalText(int64_t value) {
  if (value >= 0) {
    return UnsignedDecimalText(static_cast<uint64_t>(value));
  }
  // Negate in unsigned arithmetic so that the smallest value needs no special case.
  return "-" + UnsignedDecimalText(0 - static_cast<uint64_t>(value));
}
