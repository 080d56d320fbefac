#include "bench/bench_soak.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/process_counts.h"

namespace {

// What each call answered: its result, the value it gave and the last error, as they came.
void PrintAnswers(const char* path, const char* name, const ProcessAnswers& a) {
  printf("answer %s %s GetProcessMemoryInfo %d %llu %llu\n", path, name, a.memoryRead,
         a.workingSetKib, a.privateKib);
  printf("answer %s %s GetProcessHandleCount %d %lu %lu\n", path, name, a.handleCountRead,
         a.handleCount, a.handleCountError);
  printf("answer %s %s SystemExtendedHandleInformation 0x%08lx %lld\n", path, name,
         static_cast<unsigned long>(a.handleTableStatus), a.handleTableEntries);
  printf("answer %s %s GetGuiResources(GR_GDIOBJECTS) %lu %lu\n", path, name, a.gdiObjects,
         a.gdiError);
  printf("answer %s %s GetGuiResources(GR_USEROBJECTS) %lu %lu\n", path, name, a.userObjects,
         a.userError);
}

std::string CountText(long long count) {
  return count < 0 ? "-" : std::to_string(count);
}

void PrintCount(const char* path, const char* name, const char* measure, long long before,
                long long after, const char* from) {
  printf("count %s %s %s %s %s %s\n", path, name, measure, CountText(before).c_str(),
         CountText(after).c_str(), from);
}

}  // namespace

bool Soak(const char* path, const Subject& subject, uint32_t hotkey, int presses) {
  Running running;
  if (!Start(subject.program, running)) {
    Stop(running);
    return false;
  }
  Sleep(kHotkeyReadyMs);
  const HANDLE process = running.process.hProcess;
  const DWORD processId = running.process.dwProcessId;
  const ProcessAnswers first = AskAbout(process, processId);
  LevelLabel label = LabelOf(running);
  const double began = NowMs();
  int seen = 0;
  for (int press = 0; press < presses; ++press) {
    std::string shown;
    double lightMs = 0;
    if (PressHotkey(hotkey, label, shown, lightMs) >= 0) {
      ++seen;
    } else {
      fprintf(stderr, "%s %s: soak press %d not seen; the label shows \"%s\"\n", path, subject.name,
              press + 1, shown.c_str());
    }
  }
  const double seconds = (NowMs() - began) / 1000.0;
  Sleep(kHotkeyReadyMs);  // the last press settles as the first did
  const ProcessAnswers last = AskAbout(process, processId);
  Stop(running);

  printf("soak %s %s %d %d %.1f\n", path, subject.name, presses, seen, seconds);
  PrintAnswers(path, subject.name, first);
  const ProcessCounts before = CountsOf(first);
  const ProcessCounts after = CountsOf(last);
  const char* memoryFrom = "GetProcessMemoryInfo";
  const char* guiFrom = "GetGuiResources";
  PrintCount(path, subject.name, "workingset", before.workingSetKib, after.workingSetKib,
             memoryFrom);
  PrintCount(path, subject.name, "private", before.privateKib, after.privateKib, memoryFrom);
  PrintCount(path, subject.name, "handles", before.handles, after.handles, before.handlesFrom);
  PrintCount(path, subject.name, "gdi", before.gdiObjects, after.gdiObjects, guiFrom);
  PrintCount(path, subject.name, "user", before.userObjects, after.userObjects, guiFrom);
  fflush(stdout);
  if (seen == 0) {
    fprintf(stderr, "%s %s: no soak press was seen\n", path, subject.name);
  }
  return seen > 0;
}
