// The configuration reader: the six lines of tacetto.cfg, read in pieces of any size.
#include "tacetto/config.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using namespace std::string_literals;
using Values = std::array<int32_t, kConfigValueCount>;

constexpr Values kDefaults = {-1, -1, -1, -1, 0, 0};

// The file's bytes, handed out in reads of at most `maxChunk`; a read from `failReadAt` on
// reports an error (0).
struct Source {
  std::string content;
  size_t maxChunk = 7;
  size_t failReadAt = SIZE_MAX;
  size_t bytesRead = 0, largestRequest = 0;
};

size_t ReadSource(void* source, char* buffer, size_t size) {
  Source& s = *static_cast<Source*>(source);
  s.largestRequest = std::max(s.largestRequest, size);
  const size_t end = std::min(s.content.size(), s.failReadAt);
  const size_t count = s.bytesRead < end ? std::min({size, s.maxChunk, end - s.bytesRead}) : 0;
  memcpy(buffer, s.content.data() + s.bytesRead, count);
  s.bytesRead += count;
  return count;
}

// The values are set beforehand so that none is left untouched.
Values Read(Source& source) {
  int32_t values[kConfigValueCount] = {4711, 4711, 4711, 4711, 4711, 4711};
  ReadConfigValues(&ReadSource, &source, values);
  return {values[0], values[1], values[2], values[3], values[4], values[5]};
}

struct FileCase {
  const char* name;
  std::string content;
  Values expected;
  size_t failReadAt = SIZE_MAX;
};

// clang-format off
const FileCase kFiles[] = {
    {"device and hotkey only", "0\r\n\r\n1234\r\n\r\n\r\n", {0, -1, 1234, -1, 0, 0}},
    {"all six, last without end", "1\r\n2\r\n3\r\n4\r\n5\r\n6", {1, 2, 3, 4, 5, 6}},
    {"CR alone ends a line", "1\r2\r3\r4\r5\r6\r", {1, 2, 3, 4, 5, 6}},
    {"LF alone does not", "1\n2\n3\n4\n5\n6\n", {1, -1, -1, -1, 0, 0}},
    {"only one LF belongs to CR", "1\r\n\n2\r\n\n\n3\r\n4\r\n\n5\r\n6", {1, 2, 3, 4, 5, 6}},
    {"LF before CR stays in line", "1\n\r\n2\r\n3\r\n4", {1, 2, 3, 4, 0, 0}},
    {"anything but nothing is a number", "\r\n \r\nx\r\n\t\r\n-\r\n&H", {-1, 0, 0, 0, 0, 0}},
    {"empty lines take defaults", "\r\n\r\n\r\n\r\n\r\n\r\n", kDefaults},
    {"trailing CR adds no line", "5\r", {5, -1, -1, -1, 0, 0}},
    {"seventh line ignored", "\r\r\r\r\r\r7\r8", kDefaults},
    {"Ctrl-Z alone in a line", "5\r\n\x1A\r\n7\r\n8\r\n9\r\n1", {5, -1, -1, -1, 0, 0}},
    {"Ctrl-Z inside a line", "5\r\n6\x1A" "7\r\n8\r\n9", {5, 6, -1, -1, 0, 0}},
    {"Ctrl-Z first", "\x1A" "1\r\n2\r\n3", kDefaults},
    {"Ctrl-Z in the last line", "1\r2\r3\r4\r5\r 6\x1A", {1, 2, 3, 4, 5, 6}},
    // A UTF-8 byte order mark is skipped at the very start only; elsewhere, or a part of one, is
    // text.
    {"byte order mark", "\xEF\xBB\xBF" "3\r\n\xEF\xBB\xBF" "4\r\n5", {3, 0, 5, -1, 0, 0}},
    {"byte order mark, line 1 empty", "\xEF\xBB\xBF\r\n\r\n5", {-1, -1, 5, -1, 0, 0}},
    {"part of a mark", "\xEF\xBB" "3\r\n\xEF" "4\r\n \xEF\xBB\xBF" "6", {0, 0, 0, -1, 0, 0}},
    {"NUL and high bytes", "3\0"s "9\r\n\xFF" "4\r\n4\x80" "2\r\n\0"s, {3, 0, 4, 0, 0, 0}},
    {"number forms", " &HFFFF\r\n2.5\r\n3.5\r\n1e2\r\n&H10&\r\n-0.5", {-1, 2, 4, 100, 16, 0}},
    {"read error at once", "1\r\n2", kDefaults, 0},
    {"read error ends a line", "12\r\n34\r\n56\r\n78", {12, 34, -1, -1, 0, 0}, 6},
    {"read error after CR", "12\r\n34", {12, -1, -1, -1, 0, 0}, 3},
    {"read error in 5th line", "1\r2\r3\r4\r55\r6", {1, 2, 3, 4, 5, 0}, 9},
    // 2.5 and ten zeros are the twelve digits kept; the digits after them decide the rounding,
    // up to the first character that ends the number.
    {"digits past the twelfth", "2.50000000000" "000300000000\r"
                                "2.50000000000" "0000000:00000001\r6", {3, 2, 6, -1, 0, 0}}};
// clang-format on

// Each case runs with several read sizes, so line ends also fall across reads.
TEST(ConfigReader, ReadsSixLines) {
  for (const FileCase& c : kFiles) {
    for (const size_t chunk : {size_t{1}, size_t{2}, size_t{7}, size_t{4096}}) {
      SCOPED_TRACE(std::string(c.name) + ", reads of " + std::to_string(chunk));
      Source source{c.content, chunk, c.failReadAt};
      EXPECT_EQ(Read(source), c.expected);
    }
  }
}

TEST(ConfigReader, NoFileGivesTheDefaults) {
  int32_t values[kConfigValueCount] = {4711, 4711, 4711, 4711, 4711, 4711};
  ReadConfigValues(nullptr, nullptr, values);
  EXPECT_EQ((Values{values[0], values[1], values[2], values[3], values[4], values[5]}), kDefaults);
}

// Lines of millions of bytes, the file read in as few reads as the reader asks for.
TEST(ConfigReader, LongLinesGoThroughASmallBuffer) {
  const std::string many(5000000, ' ');
  Source source{many + "9\r\n" + many + "\r\n" + std::string(5000000, '7') + "\r\n1" +
                    std::string(5000000, '0') + "e-4999999\r\n2",
                SIZE_MAX};
  EXPECT_EQ(Read(source), (Values{9, 0, INT32_MAX, 10, 2, 0}));
  EXPECT_EQ(source.bytesRead, source.content.size());
  EXPECT_LE(source.largestRequest, 4096u);
}

// The sample shipped with the programs: six working lines (21 bytes), and the explanation after
// them is not even read.
TEST(ConfigReader, TheShippedSample) {
  std::ifstream file(SAMPLE_CONFIG_PATH, std::ios::binary);
  ASSERT_TRUE(file.good()) << SAMPLE_CONFIG_PATH;
  std::stringstream content;
  content << file.rdbuf();
  Source source{content.str()};
  EXPECT_EQ(Read(source), (Values{0, 1, 1613, 80, 1, 0}));  // microphone, Ctrl+Shift+M, Scroll Lock
  EXPECT_LE(source.bytesRead, 22 + source.maxChunk);
}

}  // namespace
