#include "tests/e2e/report.h"

#include <cstdio>

std::string Escaped(const std::string& text) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte >= 0x7F) {
      out += "\\x";
      out += kDigits[byte >> 4];
      out += kDigits[byte & 0xF];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string Hex(uint64_t value) {
  char buffer[32];
  snprintf(buffer, sizeof buffer, "0x%llX", static_cast<unsigned long long>(value));
  return buffer;
}

bool Report::Text(const std::string& what, const std::string& expected, const std::string& actual) {
  const bool passed = expected == actual;
  Line(passed, what,
       passed ? Escaped(actual) : "expected " + Escaped(expected) + ", got " + Escaped(actual));
  return passed;
}

bool Report::Number(const std::string& what, uint64_t expected, uint64_t actual) {
  const bool passed = expected == actual;
  Line(passed, what,
       passed ? std::to_string(actual)
              : "expected " + std::to_string(expected) + ", got " + std::to_string(actual));
  return passed;
}

bool Report::True(const std::string& what, bool condition, const std::string& detail) {
  Line(condition, what, detail);
  return condition;
}

void Report::Fail(const std::string& what, const std::string& detail) {
  Line(false, what, detail);
}

void Report::Info(const std::string& line) {
  printf("     %s: %s\n", scenario_.c_str(), line.c_str());
  fflush(stdout);
}

void Report::Line(bool passed, const std::string& what, const std::string& detail) {
  ++checks_;
  if (!passed) {
    ++failures_;
  }
  printf("%s %s: %s%s%s\n", passed ? "PASS" : "FAIL", scenario_.c_str(), what.c_str(),
         detail.empty() ? "" : ": ", detail.c_str());
  fflush(stdout);
}
