#include "bench/process_counts.h"

#include <windows.h>
// after windows.h
#include <psapi.h>
#include <winternl.h>

#include <vector>

namespace {

constexpr int kSystemExtendedHandleInformation = 64;  // SystemExtendedHandleInformation
// STATUS_INFO_LENGTH_MISMATCH: the table did not fit; the call tells what it needs.
constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);
constexpr size_t kFirstTableBytes = 65536;

// One entry of SystemExtendedHandleInformation, under its Windows name (not in mingw's headers).
struct SYSTEM_HANDLE_TABLE_ENTRY_INFO_EX {
  PVOID Object;
  ULONG_PTR UniqueProcessId;
  ULONG_PTR HandleValue;
  ULONG GrantedAccess;
  USHORT CreatorBackTraceIndex;
  USHORT ObjectTypeIndex;
  ULONG HandleAttributes;
  ULONG Reserved;
};

struct SYSTEM_HANDLE_INFORMATION_EX {
  ULONG_PTR NumberOfHandles;
  ULONG_PTR Reserved;
  SYSTEM_HANDLE_TABLE_ENTRY_INFO_EX Handles[1];
};

// The handles of every process, from the system's handle table; counts those of `processId`.
long long HandleTableEntries(DWORD processId, LONG& status) {
  std::vector<char> buffer(kFirstTableBytes);
  ULONG needed = 0;
  for (int attempt = 0; attempt < 8; ++attempt) {
    status = NtQuerySystemInformation(
        static_cast<SYSTEM_INFORMATION_CLASS>(kSystemExtendedHandleInformation), buffer.data(),
        static_cast<ULONG>(buffer.size()), &needed);
    if (status != kStatusInfoLengthMismatch) {
      break;
    }
    buffer.resize(needed > buffer.size() ? needed + 4096 : buffer.size() * 2);
  }
  if (status != 0) {
    return -1;
  }
  const auto* table = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION_EX*>(buffer.data());
  long long entries = 0;
  for (ULONG_PTR i = 0; i < table->NumberOfHandles; ++i) {
    entries += table->Handles[i].UniqueProcessId == processId ? 1 : 0;
  }
  return entries;
}

}  // namespace

ProcessAnswers AskAbout(HANDLE process, DWORD processId) {
  ProcessAnswers answers;
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  answers.memoryRead = GetProcessMemoryInfo(process, &memory, sizeof memory);
  answers.workingSetKib = memory.WorkingSetSize / 1024;
  answers.privateKib = memory.PagefileUsage / 1024;

  SetLastError(0);
  answers.handleCountRead = GetProcessHandleCount(process, &answers.handleCount);
  answers.handleCountError = GetLastError();
  answers.handleTableEntries = HandleTableEntries(processId, answers.handleTableStatus);

  SetLastError(0);
  answers.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
  answers.gdiError = GetLastError();
  SetLastError(0);
  answers.userObjects = GetGuiResources(process, GR_USEROBJECTS);
  answers.userError = GetLastError();
  return answers;
}

ProcessCounts CountsOf(const ProcessAnswers& answers) {
  ProcessCounts counts;
  if (answers.memoryRead && answers.workingSetKib > 0) {
    counts.workingSetKib = static_cast<long long>(answers.workingSetKib);
    counts.privateKib = static_cast<long long>(answers.privateKib);
  }
  if (answers.handleCountRead && answers.handleCount > 0) {
    counts.handles = answers.handleCount;
    counts.handlesFrom = "GetProcessHandleCount";
  } else if (answers.handleTableEntries > 0) {
    counts.handles = answers.handleTableEntries;
    counts.handlesFrom = "SystemExtendedHandleInformation";
  }
  counts.gdiObjects = answers.gdiObjects > 0 ? static_cast<long long>(answers.gdiObjects) : -1;
  counts.userObjects = answers.userObjects > 0 ? static_cast<long long>(answers.userObjects) : -1;
  return counts;
}
