#include "tacetto/config.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "fakes/fake_platform.h"
#include "fakes/fake_window_system.h"
#include "tacetto/globals.h"

namespace {

using namespace std::string_literals;
using Values = std::array<int32_t, 6>;

const std::string kDeviceRequest = "Bitte eine der Folgenden Device-Nummern ins CFG eintragen!";
const std::string kHotkeyRequest =
    "Bitte tastrel.exe starten und die Hotkey-Nummer ins Config-File schreiben!";
const std::string kDefaultDevices =
    kDeviceRequest + "\r\n- Device #0: Out: default\r\n- Device #1: In: default";
constexpr Values kDefaults = {-1, -1, -1, -1, 0, 0};

// Reads `content` as the file; the values are set beforehand so that none is left untouched.
int32_t ReadFrom(FakeConfigFile& file, const std::string& content) {
  file.content = content;
  CfgDevice = CfgLine = CfgHotkey = CfgVolume = CfgLockKey = CfgLockInvert = 4711;
  return ReadConfig();
}

Values Cfg() {
  return {CfgDevice, CfgLine, CfgHotkey, CfgVolume, CfgLockKey, CfgLockInvert};
}

// The boxes' texts, after checking that each has the notice's caption and style.
std::vector<std::string> BoxTexts(const FakeWindowSystem& ui) {
  std::vector<std::string> texts;
  for (const ShownBox& box : ui.boxes) {
    EXPECT_EQ(box.caption, "Veltrane");
    EXPECT_EQ(box.style, 0x12000u);
    texts.push_back(box.text);
  }
  return texts;
}

class ConfigReaderTest : public ::testing::Test {
 protected:
  int32_t Read(const std::string& content) { return ReadFrom(platform_.file, content); }
  std::vector<std::string> BoxTexts() const { return ::BoxTexts(ui_); }

  FakeWindowSystem ui_;
  FakeTacettoPlatform platform_;
};

TEST_F(ConfigReaderTest, WithoutFileTakesDefaultsAndAsksForBoth) {
  platform_.file.exists = false;
  EXPECT_EQ(Read("1\r\n2\r\n3"), -1);
  EXPECT_EQ(Cfg(), kDefaults);
  EXPECT_EQ(platform_.file.openedNames, std::vector<std::string>{"tacetto.cfg"});
  EXPECT_EQ(platform_.file.closes, 0);
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{kDefaultDevices, kHotkeyRequest}));
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
    {"more than six lines", "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8", {1, 2, 3, 4, 5, 6}},
    {"Ctrl-Z alone in a line", "5\r\n\x1A\r\n7\r\n8\r\n9\r\n1", {5, -1, -1, -1, 0, 0}},
    {"Ctrl-Z inside a line", "5\r\n6\x1A" "7\r\n8\r\n9", {5, 6, -1, -1, 0, 0}},
    {"Ctrl-Z after a line end", "5\r\n6\r\n\x1A", {5, 6, -1, -1, 0, 0}},
    {"Ctrl-Z first", "\x1A" "1\r\n2\r\n3", kDefaults},
    {"Ctrl-Z in the last line", "1\r2\r3\r4\r5\r 6\x1A", {1, 2, 3, 4, 5, 6}},
    {"byte order mark", "\xEF\xBB\xBF" "0\r\n\r\n5", {0, -1, 5, -1, 0, 0}},
    {"NUL and high bytes", "3\0"s "9\r\n\xFF" "4\r\n4\x80" "2\r\n\0"s, {3, 0, 4, 0, 0, 0}},
    {"explicit -1", "-1\r\n\r\n7", {-1, -1, 7, -1, 0, 0}},
    {"number forms", " &HFFFF\r\n2.5\r\n3.5\r\n1e2\r\n&H10&\r\n-0.5", {-1, 2, 4, 100, 16, 0}},
    {"read error at once", "1\r\n2", kDefaults, 0},
    {"read error ends a line", "12\r\n34\r\n56\r\n78", {12, 34, -1, -1, 0, 0}, 6},
    {"read error after CR", "12\r\n34", {12, -1, -1, -1, 0, 0}, 3},
    {"read error in 5th line", "1\r2\r3\r4\r55\r6", {1, 2, 3, 4, 5, 0}, 9}};
// clang-format on

// Each case runs with several read sizes, so line ends also fall across reads.
TEST(ConfigReader, ReadsSixLines) {
  for (const FileCase& c : kFiles) {
    for (const size_t chunk : {size_t{1}, size_t{2}, size_t{7}, size_t{4096}}) {
      SCOPED_TRACE(std::string(c.name) + ", reads of " + std::to_string(chunk));
      FakeWindowSystem ui;
      FakeTacettoPlatform platform;
      platform.file.maxChunk = chunk;
      platform.file.failReadAt = c.failReadAt;
      const int32_t result = ReadFrom(platform.file, c.content);
      EXPECT_EQ(Cfg(), c.expected);
      EXPECT_EQ(platform.file.openedNames, std::vector<std::string>{"tacetto.cfg"});
      EXPECT_EQ(platform.file.closes, 1);
      const size_t boxes = (c.expected[0] == -1) + (c.expected[2] == -1);
      EXPECT_EQ(ui.boxes.size(), boxes);
      EXPECT_EQ(result, boxes == 0 ? 0 : -1);
    }
  }
}

TEST_F(ConfigReaderTest, LongLinesGoThroughASmallBuffer) {
  platform_.file.maxChunk = SIZE_MAX;
  const std::string content = std::string(5000000, ' ') + "9\r\n" + std::string(5000000, ' ') +
                              "\r\n" + std::string(5000000, '7') + "\r\n1" +
                              std::string(5000000, '0') + "e-4999999\r\n2";
  EXPECT_EQ(Read(content), 0);
  EXPECT_EQ(Cfg(), (Values{9, 0, INT32_MAX, 10, 2, 0}));
  EXPECT_EQ(platform_.file.bytesRead, content.size());
  EXPECT_GT(platform_.file.largestRequest, 0u);
  EXPECT_LE(platform_.file.largestRequest, 4096u);
}

TEST_F(ConfigReaderTest, StopsReadingAfterTheSixthLine) {
  platform_.file.maxChunk = SIZE_MAX;
  std::string content = "0\r\n\r\n1\r\n";
  for (int i = 0; i < 1000000; ++i) {
    content += "8\r\n";
  }
  EXPECT_EQ(Read(content), 0);
  EXPECT_EQ(Cfg(), (Values{0, -1, 1, 8, 8, 8}));
  EXPECT_LE(platform_.file.bytesRead, 8192u);
  EXPECT_EQ(platform_.file.closes, 1);
}

TEST(ConfigReader, AsksForMissingDeviceAndHotkey) {
  const struct {
    const char* content;
    std::vector<std::string> boxes;
  } cases[] = {{"&H0FFFF\r\n\r\n0", {}},
               {"0\r\n-1\r\n\r\n-1", {kHotkeyRequest}},
               {"-1\r\n\r\n5", {kDefaultDevices}},
               {"&HFFFF\r\n7\r\n&HFFFFFFFF", {kDefaultDevices, kHotkeyRequest}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.content);
    FakeWindowSystem ui;
    FakeTacettoPlatform platform;
    EXPECT_EQ(ReadFrom(platform.file, c.content), c.boxes.empty() ? 0 : -1);
    EXPECT_EQ(BoxTexts(ui), c.boxes);
  }
}

struct DeviceListCase {
  const char* name;
  std::vector<std::string> productNames;
  std::vector<uint32_t> capsResults;
  std::string expected;
};

const DeviceListCase kDeviceLists[] = {
    {"no device", {}, {}, kDeviceRequest},
    {"default devices", {"Out: default", "In: default"}, {}, kDefaultDevices},
    {"unreadable name",
     {"A", "B", "C"},
     {0, 11},
     kDeviceRequest + "\r\n- Device #0: A\r\n"
                      "- Device #1: \r\n- Device #2: C"},
    {"32 bytes without NUL",
     {std::string(31, 'n') + "X"},
     {},
     kDeviceRequest + "\r\n- Device #0: " + std::string(31, 'n')},
    {"twelve devices",
     std::vector<std::string>(12, "d"),
     {},
     kDeviceRequest +
         "\r\n- Device #0: d\r\n- Device #1: d\r\n- Device #2: d\r\n- Device #3: d"
         "\r\n- Device #4: d\r\n- Device #5: d\r\n- Device #6: d\r\n- Device #7: d"
         "\r\n- Device #8: d\r\n- Device #9: d\r\n- Device #10: d\r\n- Device #11: d"}};

TEST(ConfigReader, DeviceListComesBeforeHotkeyRequest) {
  for (const DeviceListCase& c : kDeviceLists) {
    SCOPED_TRACE(c.name);
    FakeWindowSystem ui;
    FakeTacettoPlatform platform;
    platform.mixer.productNames = c.productNames;
    platform.mixer.capsResults = c.capsResults;
    EXPECT_EQ(ReadFrom(platform.file, "\r\n\r\n\r\n4"), -1);
    EXPECT_EQ(BoxTexts(ui), (std::vector<std::string>{c.expected, kHotkeyRequest}));
  }
}

}  // namespace
