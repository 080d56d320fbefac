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

namespace {

uint64_t g_bytesRead = 0;

// tacetto.cfg as a real file, whatever its name: `source` is its descriptor.
size_t ReadFromFile(void* source, char* buffer, size_t size) {
  ssize_t count = 0;
  do {
    count = read(*static_cast<int*>(source), buffer, size);
  } while (count < 0 && errno == EINTR);
  if (count <= 0) {
    return 0;
  }
  g_bytesRead += static_cast<uint64_t>(count);
  return static_cast<size_t>(count);
}

// A file whose first line is a 1 followed by zeros, `*source` digits in all, then the device
// and hotkey lines; its bytes are made up as they are read, so nothing of it is ever stored.
size_t ReadLongLine(void* source, char* buffer, size_t size) {
  static const char kRest[] = "\r\n0\r\n1234\r\n";
  const uint64_t lineBytes = *static_cast<uint64_t*>(source);
  const uint64_t total = lineBytes + sizeof kRest - 1;
  size_t count = 0;
  for (; count < size && g_bytesRead < total; ++count, ++g_bytesRead) {
    buffer[count] = g_bytesRead == 0          ? '1'
                    : g_bytesRead < lineBytes ? '0'
                                              : kRest[g_bytesRead - lineBytes];
  }
  return count;
}

long PeakKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;  // KiB on Linux
}

int Usage() {
  fprintf(stderr, "usage: config_memory baseline | long-line BYTES | file PATH\n");
  return 2;
}

// Reads the configuration from `read`; device and hotkey must be configured.
int Run(const char* name, ConfigReadFunction read, void* source) {
  int32_t values[kConfigValueCount];
  ReadConfigValues(read, source, values);
  if (values[0] == -1 || values[2] == -1) {
    fprintf(stderr, "config_memory: device or hotkey not configured\n");
    return 1;
  }
  printf("%s %llu %ld %d %d %d %d %d %d\n", name, static_cast<unsigned long long>(g_bytesRead),
         PeakKib(), values[0], values[1], values[2], values[3], values[4], values[5]);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && strcmp(argv[1], "baseline") == 0) {
    printf("baseline 0 %ld\n", PeakKib());
    return 0;
  }
  if (argc == 3 && strcmp(argv[1], "long-line") == 0) {
    uint64_t lineBytes = strtoull(argv[2], nullptr, 10);
    return Run("long-line", &ReadLongLine, &lineBytes);
  }
  if (argc == 3 && strcmp(argv[1], "file") == 0) {
    int fd = open(argv[2], O_RDONLY);
    const int code = fd >= 0 ? Run("file", &ReadFromFile, &fd) : 1;
    if (fd >= 0) {
      close(fd);
    }
    return code;
  }
  return Usage();
}
