// Fuzzes the configuration reader as a whole: the input is the bytes of tacetto.cfg; out come
// the six values, the result and the message boxes. Every invariant below stops the run with
// __builtin_trap() when it does not hold.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fakes/fake_platform.h"
#include "fakes/fake_window_system.h"
#include "tacetto/config.h"
#include "tacetto/globals.h"

namespace {

using Values = std::array<int32_t, 6>;

constexpr Values kDefaults = {-1, -1, -1, -1, 0, 0};
constexpr char kEndOfData = '\x1A';
constexpr size_t kNoCut = SIZE_MAX;
// The most the reader may ask for at once, as the unit tests hold it to.
constexpr size_t kLargestRead = 4096;

const char kDeviceRequest[] =
    "Bitte eine der Folgenden Device-Nummern ins CFG eintragen!"
    "\r\n- Device #0: Out: default\r\n- Device #1: In: default";
const char kHotkeyRequest[] =
    "Bitte tastrel.exe starten und die Hotkey-Nummer ins Config-File schreiben!";

void Check(bool holds) {
  if (!holds) {
    __builtin_trap();
  }
}

struct Outcome {
  int32_t result;
  Values values;
  std::vector<ShownBox> boxes;
  size_t bytesRead;
  size_t largestRequest;
};

// Runs ReadConfig on `content` with fresh fakes; every value starts as `sentinel`.
Outcome Read(const std::string& content, size_t maxChunk, int32_t sentinel) {
  FakeWindowSystem ui;
  FakeTacettoPlatform platform;
  platform.file.content = content;
  platform.file.maxChunk = maxChunk;
  CfgDevice = CfgLine = CfgHotkey = CfgVolume = CfgLockKey = CfgLockInvert = sentinel;
  Outcome outcome;
  outcome.result = ReadConfig();
  outcome.values = {CfgDevice, CfgLine, CfgHotkey, CfgVolume, CfgLockKey, CfgLockInvert};
  outcome.boxes = ui.boxes;
  outcome.bytesRead = platform.file.bytesRead;
  outcome.largestRequest = platform.file.largestRequest;
  Check(platform.file.openedNames.size() == 1 && platform.file.openedNames[0] == "tacetto.cfg");
  Check(platform.file.closes == 1);
  return outcome;
}

bool SameBoxes(const std::vector<ShownBox>& a, const std::vector<ShownBox>& b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].text != b[i].text || a[i].caption != b[i].caption || a[i].style != b[i].style) {
      return false;
    }
  }
  return true;
}

bool SameOutcome(const Outcome& a, const Outcome& b) {
  return a.result == b.result && a.values == b.values && SameBoxes(a.boxes, b.boxes);
}

// The six values as a plain split of the bytes gives them: a line ends at CR (with one LF
// right after it), Ctrl-Z or the end of the data ends the last line, a line without any
// character takes its default. `cut` is where the reader is done with the file: just after the
// sixth line's CR, or just after a Ctrl-Z; kNoCut when the data ends first (more bytes would
// extend the last line).
Values ExpectedValues(const std::string& bytes, size_t& cut) {
  Values values = kDefaults;
  cut = kNoCut;
  size_t pos = 0;
  bool ended = false;
  for (size_t i = 0; i < values.size() && !ended; ++i) {
    const size_t start = pos;
    while (pos < bytes.size() && bytes[pos] != '\r' && bytes[pos] != kEndOfData) {
      ++pos;
    }
    const std::string line = bytes.substr(start, pos - start);
    if (!line.empty()) {
      values[i] = NumberFromLine(line.data(), line.size());
    }
    if (pos == bytes.size()) {
      ended = true;
    } else if (bytes[pos] == kEndOfData) {
      ended = true;
      cut = pos + 1;
    } else {
      ++pos;  // the CR
      if (i + 1 == values.size()) {
        cut = pos;
      }
      if (pos < bytes.size() && bytes[pos] == '\n') {
        ++pos;
      }
    }
  }
  return values;
}

void CheckBoxes(const Outcome& outcome) {
  // The device list comes first, when the device is not configured; then the hotkey request.
  std::vector<std::string> expected;
  if (outcome.values[0] == -1) {
    expected.push_back(kDeviceRequest);
  }
  if (outcome.values[2] == -1) {
    expected.push_back(kHotkeyRequest);
  }
  Check(outcome.boxes.size() == expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    Check(outcome.boxes[i].text == expected[i]);
    Check(outcome.boxes[i].caption == std::string(kNoticeCaption));
    Check(outcome.boxes[i].style == kNoticeStyle);
  }
  Check(outcome.result == (expected.empty() ? 0 : -1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  // Two sentinels that differ in every value: a value the reader leaves untouched would differ
  // between the two runs.
  constexpr int32_t kSentinelA = 0x5EA1ED01;
  constexpr int32_t kSentinelB = -0x5EA1ED02;

  // All at once, then in small reads, so that line ends fall across reads.
  const Outcome whole = Read(bytes, SIZE_MAX, kSentinelA);
  const size_t smallChunk = size == 0 ? 1 : 1 + data[0] % 13;
  const Outcome chunked = Read(bytes, smallChunk, kSentinelB);
  const Outcome again = Read(bytes, SIZE_MAX, kSentinelA);

  Check(SameOutcome(whole, again));    // deterministic
  Check(SameOutcome(whole, chunked));  // independent of the read size, all six values written
  for (size_t i = 0; i < whole.values.size(); ++i) {
    Check(!(whole.values[i] == kSentinelA && chunked.values[i] == kSentinelB));
  }
  Check(whole.largestRequest > 0 && whole.largestRequest <= kLargestRead);

  size_t cut = kNoCut;
  Check(whole.values == ExpectedValues(bytes, cut));
  CheckBoxes(whole);

  if (cut != kNoCut) {
    // Whatever follows the sixth line's end (or a Ctrl-Z) changes nothing, and the reader does
    // not read far past it: the junk here is much longer than the reader's reads.
    const std::string prefix = bytes.substr(0, cut);
    std::string junk(bytes.rbegin(), bytes.rend());
    while (junk.size() < 32768) {
      junk += bytes;
    }
    Check(SameOutcome(whole, Read(prefix, SIZE_MAX, kSentinelB)));
    const Outcome withJunk = Read(prefix + junk, SIZE_MAX, kSentinelB);
    Check(SameOutcome(whole, withJunk));
    Check(withJunk.bytesRead <= cut + 2 * kLargestRead);
  }
  return 0;
}
