// What the system answers about another process's resources: its working set and private bytes,
// its handles, its GDI and USER objects. Wine 8 answers some of these calls with stubs, so every
// call's own answer is kept, and a count is taken only from a call that gave one.
#pragma once

#include <windows.h>

// The answers of the calls, as they came.
struct ProcessAnswers {
  BOOL memoryRead = FALSE;  // GetProcessMemoryInfo
  unsigned long long workingSetKib = 0, privateKib = 0;
  BOOL handleCountRead = FALSE;  // GetProcessHandleCount
  DWORD handleCount = 0, handleCountError = 0;
  LONG handleTableStatus = 0;          // NtQuerySystemInformation(SystemExtendedHandleInformation)
  long long handleTableEntries = -1;   // the process's entries in it; -1 if not read
  DWORD gdiObjects = 0, gdiError = 0;  // GetGuiResources(GR_GDIOBJECTS)
  DWORD userObjects = 0, userError = 0;  // GetGuiResources(GR_USEROBJECTS)
};

ProcessAnswers AskAbout(HANDLE process, DWORD processId);

// A count taken from the answers; -1 where no call answered it. A process with a window holds
// handles and GDI and USER objects, so a zero is a call that did not answer.
struct ProcessCounts {
  long long workingSetKib = -1, privateKib = -1;
  long long handles = -1;
  const char* handlesFrom = "-";
  long long gdiObjects = -1, userObjects = -1;
};

ProcessCounts CountsOf(const ProcessAnswers& answers);
