#include "tacetto/config.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "common/text.h"
#include "common/window_system.h"
#include "tacetto/globals.h"
#include "tacetto/number_syntax.h"
#include "tacetto/platform.h"

int32_t CfgDevice = 0;
int32_t CfgLine = 0;
int32_t CfgHotkey = 0;
int32_t CfgVolume = 0;
int32_t CfgLockKey = 0;
int32_t CfgLockInvert = 0;

namespace {

constexpr int kValueCount = 6;
constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr char kEndOfData = '\x1A';  // Ctrl-Z

// Reads the file's lines through a small fixed buffer.
class LineReader {
 public:
  LineReader(ConfigFile& file, bool opened) : file_(file), ended_(!opened) {}

  // Scans the next line's number. Returns false when the line counts as empty: it holds no
  // character, or no line is left.
  bool NextLine(int32_t& value) {
    if (ended_) {
      return false;
    }
    NumberScanner scanner;
    bool scanning = true;
    bool anyCharacter = false;
    for (;;) {
      if (next_ == filled_ && !Refill()) {
        ended_ = true;
        break;
      }
      // The line's bytes in the buffer, up to its end or the buffer's.
      const size_t length = BytesBeforeLineStop();
      if (length > 0) {
        anyCharacter = true;
        if (scanning) {
          scanning =
              scanner.FeedBlock(reinterpret_cast<const unsigned char*>(buffer_ + next_), length);
        }
        next_ += length;
        continue;
      }
      if (buffer_[next_++] == kEndOfData) {
        ended_ = true;
        break;
      }
      if (Peek() == kLineFeed) {  // the CR's own LF
        ++next_;
      }
      break;
    }
    value = scanner.Value();
    return anyCharacter;
  }

 private:
  // Bytes from the next one to the first CR or Ctrl-Z in the buffer, or to the buffer's end.
  size_t BytesBeforeLineStop() const {
    const char* const start = buffer_ + next_;
    size_t length = filled_ - next_;
    for (const char stop : {kCarriageReturn, kEndOfData}) {
      const void* found = std::memchr(start, stop, length);
      if (found != nullptr) {
        length = static_cast<size_t>(static_cast<const char*>(found) - start);
      }
    }
    return length;
  }

  int Peek() {
    if (next_ == filled_ && !Refill()) {
      return -1;
    }
    return static_cast<unsigned char>(buffer_[next_]);
  }

  bool Refill() {
    if (atEnd_) {
      return false;
    }
    filled_ = file_.Read(buffer_, sizeof buffer_);
    next_ = 0;
    if (filled_ == 0) {
      atEnd_ = true;  // the end of the file, or a read error
    }
    return filled_ != 0;
  }

  ConfigFile& file_;
  bool ended_;  // no further line: the end of the file, Ctrl-Z, or no file
  bool atEnd_ = false;
  char buffer_[512];
  size_t filled_ = 0;
  size_t next_ = 0;
};

Text DeviceListText() {
  Text text = "Bitte eine der Folgenden Device-Nummern ins CFG eintragen!";
  Mixer& mixer = MixerDevice();
  const uint32_t count = mixer.NumDevs();
  for (uint32_t device = 0; device < count; ++device) {
    char name[32] = {};
    if (mixer.ProductName(device, name) != 0) {
      name[0] = '\0';  // a device whose capabilities cannot be read is listed without a name
    }
    name[31] = '\0';
    text += "\r\n- Device #";
    text += UnsignedDecimalText(device);
    text += ": ";
    text += name;
  }
  return text;
}

}  // namespace

int32_t ReadConfig() {
  ConfigFile& file = File();
  const bool opened = file.Open("tacetto.cfg");
  LineReader reader(file, opened);
  int32_t* const values[kValueCount] = {&CfgDevice, &CfgLine,    &CfgHotkey,
                                        &CfgVolume, &CfgLockKey, &CfgLockInvert};
  const int32_t defaults[kValueCount] = {-1, -1, -1, -1, 0, 0};
  for (int i = 0; i < kValueCount; ++i) {
    int32_t value = 0;
    *values[i] = reader.NextLine(value) ? value : defaults[i];
  }
  if (opened) {
    file.Close();
  }

  int32_t result = 0;
  if (CfgDevice == -1) {
    Ui().ShowMessageBox(DeviceListText().c_str(), kNoticeCaption, kNoticeStyle);
    result = -1;
  }
  if (CfgHotkey == -1) {
    Ui().ShowMessageBox(
        "Bitte tastrel.exe starten und die Hotkey-Nummer ins Config-File schreiben!",
        kNoticeCaption, kNoticeStyle);
    result = -1;
  }
  return result;
}
