// The number syntax of a configuration line: the value of each line's text.
#include "tacetto/number_syntax.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using namespace std::string_literals;

constexpr int32_t kMax = INT32_MAX;
constexpr int32_t kMin = INT32_MIN;

struct NumberCase {
  std::string text;
  int32_t expected;
};

// clang-format off
const NumberCase kCases[] = {
    // decimal form
    {"", 0}, {" ", 0}, {".", 0}, {"-", 0}, {"+", 0}, {"abc", 0}, {"e5", 0}, {"0x1F", 0},
    {"7 Zwerge", 7}, {"7 8", 7}, {"\t\n 42", 42}, {"  -3", -3}, {"\v5", 0}, {"-1", -1},
    {"+12", 12}, {"007", 7}, {"12abc", 12}, {"1.2.3", 1}, {"1,5", 1}, {"- 5", 0}, {"--5", 0},
    {"+-5", 0}, {"+.5", 0}, {".6", 1}, {"-.6", -1}, {"1e2", 100}, {"1E2", 100}, {"1d2", 100},
    {"1D+2", 100}, {"1e0002", 100}, {"1.5e1", 15}, {"12.e1", 120}, {"1e2.5", 100}, {"1e", 1},
    {"1e+", 1}, {"1e-", 1}, {"1e 2", 1}, {"1ee2", 1}, {"25e-1", 2}, {"35E-1", 4},
    {"5\0"s "7", 5}, {"5\x80", 5}, {"12\xC3\xA9", 12}, {"\xFF" "3", 0}, {"\xEF\xBB\xBF" "0", 0},
    // half to even, on the decimal text
    {"0.5", 0}, {"1.5", 2}, {"2.5", 2}, {"3.5", 4}, {"9.5", 10}, {"-0.5", 0}, {"-1.5", -2},
    {"-2.5", -2}, {"0.51", 1}, {"0.49999", 0}, {"2.50", 2}, {"0.05", 0}, {"0.0", 0}, {"5e-1", 0},
    {"15e-1", 2}, {"2.5000000001", 3}, {"2.5000000000000000000001", 3},
    {"0.5" + std::string(40, '0') + "1", 1}, {"0." + std::string(9999, '0') + "1e10000", 1},
    {std::string(10000, '0') + "5", 5}, {"12345678905e-1", 1234567890},
    {"12345678915e-1", 1234567892}, {"123456789012345e-5", 1234567890},
    {"1234567890.4999999999999999", 1234567890},
    // saturated outside the signed 32-bit range
    {"2147483647", kMax}, {"2147483648", kMax}, {"-2147483648", kMin}, {"-2147483649", kMin},
    {"2147483646.5", 2147483646}, {"2147483647.5", kMax}, {"-2147483648.5", kMin},
    {"-2147483647.5", kMin}, {"1e10", kMax}, {"-1e10", kMin}, {"1e-99999", 0}, {"0e99999", 0},
    {"1e99999999999999999999", kMax}, {"-1e99999999999999999999", kMin},
    {"1" + std::string(9999, '0'), kMax}, {"-" + std::string(10000, '9'), kMin},
    // prefixed form
    {"&H10", 16}, {"&h1f", 31}, {"&HfF", 255}, {" &H10", 16}, {"&O17", 15}, {"&o17", 15},
    {"&Q17", 15}, {"&q17", 15}, {"&17", 15}, {"&18", 1}, {"&9", 0}, {"&X1", 0}, {"&B101", 5},
    {"&b12", 1}, {"&B2", 0}, {"&", 0}, {"&H", 0}, {"&HG", 0}, {"&H 10", 0}, {"& H10", 0},
    {"-&H10", 0}, {"+&H10", 0}, {"&H10&", 16},
    // 16 and 32 bits with the top bit set read as negative unless the first digit is 0
    {"&HFFFF", -1}, {"&H8000", -32768}, {"&H7FFF", 32767}, {"&H0FFFF", 65535},
    {"&H10000", 65536}, {"&H1FFFF", 131071}, {"&H00008000", 32768}, {"&177777", -1},
    {"&O0177777", 65535}, {"&B1000000000000000", -32768}, {"&HFFFFFFFF", -1},
    {"&H80000000", kMin}, {"&H7FFFFFFF", kMax}, {"&HFFFF&", -1}, {"&HFFFF%", -1},
    {"&HFFFF?", -1}, {"&HFFFFFFFF&", -1},
    // beyond 32 bits: saturated; beyond 64 bits: 0
    {"&H0FFFFFFFF", kMax}, {"&H100000000", kMax}, {"&HFFFFFFFFFFFFFFFF", kMax},
    {"&O1777777777777777777777", kMax}, {"&H10000000000000000", 0},
    {"&O2000000000000000000000", 0}, {"&HFFFFFFFFFFFFFFFFF", 0},
    {"&H" + std::string(40, '0') + "1", 1}};
// clang-format on

TEST(NumberSyntax, ValueOfTheLinesText) {
  for (const NumberCase& c : kCases) {
    EXPECT_EQ(NumberFromLine(c.text.data(), c.text.size()), c.expected) << '"' << c.text << '"';
  }
}

}  // namespace
