// Peak memory of the configuration reader on huge files. Not a test: scripts/bench_memory.sh
// runs it once per case, each in its own process, and prints the figures.
//
//   config_memory baseline          does nothing; the program's own peak memory
//   config_memory long-line BYTES   a first line of BYTES digits, made up while it is read
//   config_memory file PATH         a real file, read with read(2)
//
// Prints: case, bytes read, peak resident set size in KiB (getrusage), the six values.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tacetto/config.h"
#include "tacetto/globals.h"
#include "tacetto/platform.h"

namespace {

// tacetto.cfg as a real file, whatever its name.
class PosixConfigFile : public ConfigFile {
 public:
  explicit PosixConfigFile(const char* path) : path_(path) {}

  bool Open(const char*) override {
    fd_ = open(path_, O_RDONLY);
    return fd_ >= 0;
  }

  size_t Read(char* buffer, size_t size) override {
    ssize_t count = 0;
    do {
      count = read(fd_, buffer, size);
    } while (count < 0 && errno == EINTR);
    if (count <= 0) {
      return 0;
    }
    bytesRead += static_cast<uint64_t>(count);
    return static_cast<size_t>(count);
  }

  void Close() override { close(fd_); }

  uint64_t bytesRead = 0;

 private:
  const char* path_;
  int fd_ = -1;
};

// A file whose first line is a 1 followed by zeros, `lineBytes` digits in all, then the device
// and hotkey lines; its bytes are made up as they are read, so nothing of it is ever stored.
class LongLineFile : public ConfigFile {
 public:
  explicit LongLineFile(uint64_t lineBytes) : lineBytes_(lineBytes) {}

  bool Open(const char*) override { return true; }

  size_t Read(char* buffer, size_t size) override {
    static const char kRest[] = "\r\n0\r\n1234\r\n";
    const uint64_t total = lineBytes_ + sizeof kRest - 1;
    size_t count = 0;
    while (count < size && bytesRead < total) {
      if (bytesRead == 0) {
        buffer[count] = '1';
      } else if (bytesRead < lineBytes_) {
        buffer[count] = '0';
      } else {
        buffer[count] = kRest[bytesRead - lineBytes_];
      }
      ++count;
      ++bytesRead;
    }
    return count;
  }

  void Close() override {}

  uint64_t bytesRead = 0;

 private:
  uint64_t lineBytes_;
};

long PeakKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;  // KiB on Linux
}

int Usage() {
  fprintf(stderr, "usage: config_memory baseline | long-line BYTES | file PATH\n");
  return 2;
}

// Reads the configuration from `file`; device and hotkey must be configured, so that no message
// box is asked for (this program installs no window system).
int Run(const char* name, ConfigFile& file, const uint64_t& bytesRead) {
  InstallPlatform(&file, nullptr, nullptr, nullptr);
  if (ReadConfig() != 0) {
    fprintf(stderr, "config_memory: device or hotkey not configured\n");
    return 1;
  }
  printf("%s %llu %ld %d %d %d %d %d %d\n", name, static_cast<unsigned long long>(bytesRead),
         PeakKib(), CfgDevice, CfgLine, CfgHotkey, CfgVolume, CfgLockKey, CfgLockInvert);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && strcmp(argv[1], "baseline") == 0) {
    printf("baseline 0 %ld\n", PeakKib());
    return 0;
  }
  if (argc == 3 && strcmp(argv[1], "long-line") == 0) {
    LongLineFile file(strtoull(argv[2], nullptr, 10));
    return Run("long-line", file, file.bytesRead);
  }
  if (argc == 3 && strcmp(argv[1], "file") == 0) {
    PosixConfigFile file(argv[2]);
    return Run("file", file, file.bytesRead);
  }
  return Usage();
}
