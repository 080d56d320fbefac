// Fuzzes the configuration reader as a whole: the input is the bytes of tacetto.cfg. Every
// invariant below stops the run with __builtin_trap() when it does not hold.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "fakes/fake_platform.h"
#include "fakes/fake_window_system.h"
#include "tacetto/config.h"
#include "tacetto/number_syntax.h"

namespace {

using Values = std::array<int32_t, 6>;
using Outcome = std::pair<Values, std::vector<std::string>>;  // the values, the boxes' texts

constexpr size_t kNoCut = SIZE_MAX;
constexpr size_t kLargestRead = 4096;  // the most the reader may ask for at once

void Check(bool holds) {
  if (!holds) {
    __builtin_trap();
  }
}

// ReadConfig on `content` with fresh fakes, in reads of at most `maxChunk` bytes; every value
// starts as a sentinel that no line or default gives here.
Outcome Read(const std::string& content, size_t maxChunk, size_t* bytesRead = nullptr) {
  FakeWindowSystem ui;
  FakeTacettoPlatform platform;
  platform.file.content = content;
  platform.file.maxChunk = maxChunk;
  CfgDevice = CfgLine = CfgHotkey = CfgVolume = CfgLockKey = CfgLockInvert = 0x5EA1ED01;
  const int32_t result = ReadConfig();
  Outcome outcome = {{CfgDevice, CfgLine, CfgHotkey, CfgVolume, CfgLockKey, CfgLockInvert}, {}};
  for (const ShownBox& box : ui.boxes) {
    outcome.second.push_back(box.text);
  }
  Check(result == (ui.boxes.empty() ? 0 : -1));
  Check(platform.file.closes == 1);
  Check(platform.file.largestRequest > 0 && platform.file.largestRequest <= kLargestRead);
  if (bytesRead != nullptr) {
    *bytesRead = platform.file.bytesRead;
  }
  return outcome;
}

// The six values as a plain split of the bytes gives them: a line ends at CR (with one LF right
// after it), Ctrl-Z or the end of the data ends the last line, a line without any character
// takes its default. `cut` is where the reader is done with the file: just after the sixth
// line's CR or after a Ctrl-Z; kNoCut when the data ends first.
Values ExpectedValues(const std::string& bytes, size_t& cut) {
  Values values = {-1, -1, -1, -1, 0, 0};
  cut = kNoCut;
  for (size_t i = 0, pos = 0; i < values.size(); ++i) {
    const size_t end = std::min(bytes.find_first_of("\r\x1A", pos), bytes.size());
    if (end > pos) {
      values[i] = NumberFromLine(bytes.data() + pos, end - pos);
    }
    if (end == bytes.size() || bytes[end] == '\x1A') {
      cut = end == bytes.size() ? kNoCut : end + 1;
      break;
    }
    pos = end + 1;
    if (i + 1 == values.size()) {
      cut = pos;
    } else if (pos < bytes.size() && bytes[pos] == '\n') {
      ++pos;
    }
  }
  return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const Outcome whole = Read(bytes, SIZE_MAX);
  // Line ends falling across reads change nothing.
  Check(whole == Read(bytes, size == 0 ? 1 : 1 + data[0] % 13));
  size_t cut = kNoCut;
  Check(whole.first == ExpectedValues(bytes, cut));
  // A message for a missing device and one for a missing hotkey.
  Check(whole.second.size() == size_t{whole.first[0] == -1} + (whole.first[2] == -1));
  if (cut != kNoCut) {
    // Whatever follows the sixth line's end or a Ctrl-Z changes nothing and is hardly read: the
    // junk here is much longer than the reader's reads.
    std::string junk(bytes.rbegin(), bytes.rend());
    while (junk.size() < 32768) {
      junk += bytes;
    }
    size_t bytesRead = 0;
    Check(whole == Read(bytes.substr(0, cut) + junk, SIZE_MAX, &bytesRead));
    Check(bytesRead <= cut + 2 * kLargestRead);
  }
  return 0;
}
