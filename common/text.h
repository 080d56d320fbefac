// A growable NUL-terminated byte string. The programs build their few texts with it instead of
// the standard library's strings, whose exception machinery would triple their size.
#pragma once

#include <cstddef>
#include <cstdint>

class Text {
 public:
  Text() = default;
  Text(const char* text);  // NOLINT(google-explicit-constructor): literals convert freely
  Text(const Text& other);
  Text(Text&& other) noexcept;
  Text& operator=(const Text& other);
  Text& operator=(Text&& other) noexcept;
  ~Text();

  Text& operator+=(const char* text);
  Text& operator+=(const Text& text) { return *this += text.c_str(); }
  Text& operator+=(char c);

  const char* c_str() const { return data_ != nullptr ? data_ : ""; }
  size_t size() const { return size_; }

 private:
  void Append(const char* text, size_t length);

  char* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

Text operator+(Text left, const Text& right);
bool operator==(const Text& left, const char* right);
inline bool operator==(const char* left, const Text& right) {
  return right == left;
}
inline bool operator!=(const Text& left, const char* right) {
  return !(left == right);
}

// Number text for the user: decimal, a minus sign when negative, no blanks, no leading zeros.
Text DecimalText(int64_t value);
// The same text written at `out`, which has room for 21 bytes; returns the end (at the NUL).
char* AppendDecimal(char* out, int64_t value);
Text UnsignedDecimalText(uint64_t value);
