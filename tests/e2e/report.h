// PASS and FAIL lines of one scenario, with the expected and the actual value of each check.
#pragma once

#include <cstdint>
#include <string>

class Report {
 public:
  explicit Report(const std::string& scenario) : scenario_(scenario) {}

  // Each returns whether the check passed.
  bool Text(const std::string& what, const std::string& expected, const std::string& actual);
  bool Number(const std::string& what, uint64_t expected, uint64_t actual);
  bool True(const std::string& what, bool condition, const std::string& detail = "");
  void Fail(const std::string& what, const std::string& detail);
  void Info(const std::string& line);

  int Failures() const { return failures_; }
  int Checks() const { return checks_; }

 private:
  void Line(bool passed, const std::string& what, const std::string& detail);

  std::string scenario_;
  int failures_ = 0;
  int checks_ = 0;
};

// A text with control and non-ASCII bytes written as escapes, e.g. "dr\xFCcken\r\n".
std::string Escaped(const std::string& text);
std::string Hex(uint64_t value);
