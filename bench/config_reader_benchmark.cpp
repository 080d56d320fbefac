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

#include "common/window_system.h"
#include "tacetto/config.h"
#include "tacetto/globals.h"
#include "tacetto/platform.h"

namespace {

const char* g_path = nullptr;

// The reader asks for its buffer's size each time; LineReader's is 512 bytes.
constexpr size_t kReadSize = 512;

size_t ReadSome(int fd, char* buffer, size_t size) {
  ssize_t count = 0;
  do {
    count = read(fd, buffer, size);
  } while (count < 0 && errno == EINTR);
  return count > 0 ? static_cast<size_t>(count) : 0;
}

// tacetto.cfg as the real file at g_path, read with read(2) in the reader's own requests.
class PosixConfigFile : public ConfigFile {
 public:
  bool Open(const char*) override {
    fd_ = open(g_path, O_RDONLY);
    return fd_ >= 0;
  }
  size_t Read(char* buffer, size_t size) override { return ReadSome(fd_, buffer, size); }
  void Close() override { close(fd_); }

 private:
  int fd_ = -1;
};

// The reader asks the window system only for message boxes, when the device or the hotkey is
// missing; the benchmark's file has both, and a box would be an error here.
class NoWindowSystem : public WindowSystem {
 public:
  bool boxShown = false;

  WindowHandle CreateDialogWindow(const DialogTemplate&, WindowCallback, bool) override {
    return nullptr;
  }
  void EnableCallback(WindowHandle) override {}
  void SetText(WindowHandle, const char*) override {}
  WindowHandle CreateControl(WindowHandle, const ControlSpec&) override { return nullptr; }
  void Show(WindowHandle, int) override {}
  void RunMessageLoop(WindowHandle) override {}
  void SetItemText(WindowHandle, int, const char*) override {}
  intptr_t SendItemMessage(WindowHandle, int, uint32_t, uintptr_t, intptr_t) override { return 0; }
  uint16_t AddGlobalAtom(const char*) override { return 0; }
  void DeleteGlobalAtom(uint16_t) override {}
  LocalTimeOfDay LocalTime() override { return LocalTimeOfDay{}; }
  bool RegisterHotkey(WindowHandle, int, uint32_t, uint32_t) override { return false; }
  void UnregisterHotkey(WindowHandle, int) override {}
  void StopTimer(WindowHandle, uintptr_t) override {}
  void ShowMessageBox(const char*, const char*, uint32_t) override { boxShown = true; }
};

int64_t FileSize() {
  struct stat status {};
  return stat(g_path, &status) == 0 ? static_cast<int64_t>(status.st_size) : 0;
}

void BM_ReadConfig(benchmark::State& state) {
  NoWindowSystem ui;
  PosixConfigFile file;
  InstallUi(&ui);
  InstallPlatform(&file, nullptr, nullptr, nullptr);
  for (auto _ : state) {
    const int32_t result = ReadConfig();
    benchmark::DoNotOptimize(result);
    if (result != 0 || ui.boxShown) {
      state.SkipWithError("the file does not configure device and hotkey");
      break;
    }
  }
  state.counters["hotkey"] = CfgHotkey;
  state.SetBytesProcessed(state.iterations() * FileSize());
  InstallPlatform(nullptr, nullptr, nullptr, nullptr);
  InstallUi(nullptr);
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
