#include "tacetto/win32/single_start.h"

#include <windows.h>

#include "common/text.h"
#include "tacetto/win32/endpoint.h"
#include "tacetto/win32/globals.h"
#include "tacetto/win32/volume_window.h"

namespace {

// How long a second start waits for the running copy to show its window or a box: it may still be
// setting its start level.
constexpr DWORD kAnswerMs = 3000;

// The running copy's windows: its volume window (shown or not) and a box of its own.
struct OwnWindows {
  DWORD processId;
  HWND volumeWindow;
  HWND box;
};

BOOL CALLBACK TakeOwnWindow(HWND window, LPARAM lParam) {
  OwnWindows& own = *reinterpret_cast<OwnWindows*>(lParam);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  char className[8] = {};
  if (processId != own.processId || GetClassNameA(window, className, sizeof className) == 0 ||
      lstrcmpA(className, "#32770") != 0) {
    return TRUE;
  }
  char title[64] = {};
  GetWindowTextA(window, title, sizeof title);
  if (lstrcmpA(title, kVolumeWindowTitle) == 0) {
    own.volumeWindow = window;
  } else if (IsWindowVisible(window)) {
    own.box = window;
  }
  return TRUE;
}

// The process id the owner of the lock has published, 0 while it has not yet.
DWORD OwnerProcessId(const Text& ownerName) {
  DWORD processId = 0;
  HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, ownerName.c_str());
  if (mapping != nullptr) {
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof processId);
    if (view != nullptr) {
      processId = *static_cast<const DWORD*>(view);
      UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
  }
  return processId;
}

// The running copy's volume window while it is shown, else its open box, else its hidden window,
// brought to the front; waited for while the copy shows neither yet.
void ShowRunningTool(const Text& ownerName) {
  for (const DWORD start = GetTickCount(); GetTickCount() - start < kAnswerMs; Sleep(20)) {
    OwnWindows own = {OwnerProcessId(ownerName), nullptr, nullptr};
    if (own.processId != 0) {
      EnumWindows(&TakeOwnWindow, reinterpret_cast<LPARAM>(&own));
    }
    const bool windowShown = own.volumeWindow != nullptr && IsWindowVisible(own.volumeWindow);
    HWND front = windowShown || own.box == nullptr ? own.volumeWindow : own.box;
    if (front != nullptr) {
      if (front == own.volumeWindow) {
        ShowWindow(front, SW_SHOWNORMAL);
      }
      SetForegroundWindow(front);
      return;
    }
  }
}

// The access list of the published process id: everyone may read it (a second start without the
// running copy's rights included); its creator's handle has the access it asked for.
struct EveryoneReads {
  ACL acl;
  ACE_HEADER header;  // of an ACCESS_ALLOWED_ACE: its mask and SID follow
  ACCESS_MASK mask;
  SID everyone;
};
const EveryoneReads kEveryoneReads = {
    {ACL_REVISION, 0, sizeof(EveryoneReads), 1, 0},
    {ACCESS_ALLOWED_ACE_TYPE, 0, sizeof(EveryoneReads) - sizeof(ACL)},
    FILE_MAP_READ,
    {SID_REVISION, 1, SECURITY_WORLD_SID_AUTHORITY, {SECURITY_WORLD_RID}}};

// The lock of the line and the running copy's published process id, held for the whole run: both
// go with the process.
HANDLE g_lock = nullptr;
HANDLE g_owner = nullptr;

}  // namespace

bool TakeConfiguredLine() {
  // On Windows Vista and later both lines of a device switch its one recording endpoint: one tool
  // per device there, one per line on the mixer.
  Text name = "Local\\Tacetto ";
  name += UseEndpoint() ? "recording endpoint" : CfgLine == 0 ? "line input" : "microphone";
  name += " of mixer device ";
  name += DecimalText(CfgDevice);
  const Text ownerName = name + ", owner";
  // Both go with the process. A lock refused to this start is held by a copy started with rights
  // it lacks (as administrator); that copy publishes its process id readable by everyone.
  g_lock = CreateMutexA(nullptr, FALSE, name.c_str());
  const DWORD error = GetLastError();
  if (g_lock != nullptr ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED) {
    if (g_lock != nullptr) {
      CloseHandle(g_lock);
      g_lock = nullptr;
    }
    ShowRunningTool(ownerName);
    return false;
  }
  ACL* everyoneReads = const_cast<ACL*>(&kEveryoneReads.acl);  // only read
  SECURITY_DESCRIPTOR readable = {
      SECURITY_DESCRIPTOR_REVISION, 0, SE_DACL_PRESENT, nullptr, nullptr, nullptr, everyoneReads};
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, &readable, FALSE};
  g_owner = CreateFileMappingA(INVALID_HANDLE_VALUE, &attributes, PAGE_READWRITE, 0, sizeof(DWORD),
                               ownerName.c_str());
  void* view =
      g_owner != nullptr ? MapViewOfFile(g_owner, FILE_MAP_WRITE, 0, 0, sizeof(DWORD)) : nullptr;
  if (view != nullptr) {
    *static_cast<DWORD*>(view) = GetCurrentProcessId();
    UnmapViewOfFile(view);
  }
  return true;
}
