// Throughput of the configuration reader on a real file, against a plain read(2) loop over the
// same file with the same buffer size. Not a test: scripts/benchmark.sh runs it on a 100 MB file
// whose first line is the whole file, so that the reader scans every byte.
//
//   config_reader_benchmark [--benchmark_...] FILE
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "tacetto/config.h"

namespace {

const char* g_path = nullptr;

// The reader asks for its buffer's size each time, 512 bytes.
constexpr size_t kReadSize = 512;

size_t ReadSome(int fd, char* buffer, size_t size) {
  ssize_t count = 0;
  do {
    count = read(fd, buffer, size);
  } while (count < 0 && errno == EINTR);
  return count > 0 ? static_cast<size_t>(count) : 0;
}

// tacetto.cfg as the real file at g_path: `source` is its descriptor.
size_t ReadFromFile(void* source, char* buffer, size_t size) {
  return ReadSome(*static_cast<int*>(source), buffer, size);
}

int64_t FileSize() {
  struct stat status {};
  return stat(g_path, &status) == 0 ? static_cast<int64_t>(status.st_size) : 0;
}

void BM_ReadConfig(benchmark::State& state) {
  int32_t values[kConfigValueCount] = {};
  for (auto _ : state) {
    int fd = open(g_path, O_RDONLY);
    if (fd < 0) {
      state.SkipWithError("cannot open the file");
      break;
    }
    ReadConfigValues(&ReadFromFile, &fd, values);
    close(fd);
    benchmark::DoNotOptimize(values);
    if (values[0] == -1 || values[2] == -1) {
      state.SkipWithError("the file does not configure device and hotkey");
      break;
    }
  }
  state.counters["hotkey"] = values[2];
  state.SetBytesProcessed(state.iterations() * FileSize());
}

void BM_PlainRead(benchmark::State& state) {
  char buffer[kReadSize];
  for (auto _ : state) {
    const int fd = open(g_path, O_RDONLY);
    if (fd < 0) {
      state.SkipWithError("cannot open the file");
      break;
    }
    size_t total = 0;
    size_t count = 0;
    while ((count = ReadSome(fd, buffer, sizeof buffer)) != 0) {
      total += count;
    }
    benchmark::DoNotOptimize(total);
    close(fd);
  }
  state.SetBytesProcessed(state.iterations() * FileSize());
}

BENCHMARK(BM_ReadConfig)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc != 2) {
    fprintf(stderr, "usage: config_reader_benchmark [--benchmark_...] FILE\n");
    return 2;
  }
  g_path = argv[1];
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
