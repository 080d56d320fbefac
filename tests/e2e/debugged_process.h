// Starts a program as our debuggee and records its calls into the mixer, the capture endpoint's
// volume and the message box API.
//
// The mixer under wine keeps no level, so the calls are watched where the program enters the real
// winmm: a breakpoint at each export's first byte records the arguments, a temporary breakpoint
// at the return address records the result (the breakpoint at the entry goes back in after one
// step with the trap flag). The recorder also plays the device's level: every
// mixerGetControlDetailsA reports the level last written by a successful mixerSetControlDetails
// (or the preset one), so the program sees a device that remembers its level. The endpoint's two
// level methods, which wine does not implement, are answered by the recorder from the same level.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/e2e/endpoint_methods.h"

enum class Api {
  kMixerGetNumDevs,
  kMixerGetDevCapsA,
  kMixerOpen,
  kMixerGetLineInfoA,
  kMixerGetLineControlsA,
  kMixerGetControlDetailsA,
  kMixerSetControlDetails,
  kMixerClose,
  kMessageBoxA,
  kRegisterHotKey,
  kEndpointSetScalar,  // IAudioEndpointVolume::SetMasterVolumeLevelScalar, played by the recorder
  kEndpointGetScalar,  // IAudioEndpointVolume::GetMasterVolumeLevelScalar, played by the recorder
  kCount
};

const char* ApiName(Api api);

struct ApiCall {
  Api api = Api::kCount;
  DWORD threadId = 0;
  uint64_t args[4] = {0, 0, 0, 0};  // RCX, RDX, R8, R9 at the entry
  bool returned = false;
  uint64_t result = 0;  // RAX at the return
  // mixerOpen: the device number; mixerGetLineInfoA: the component type asked for;
  // mixerSetControlDetails: the level written; mixerGetControlDetailsA: the level reported;
  // MessageBoxA: the style; RegisterHotKey: the modifiers * 256 + the key code; the endpoint
  // methods: the level (0..65535) of the scalar written or reported.
  uint32_t value = 0;
  float scalar = 0.0f;  // the endpoint methods: the scalar itself
  std::string text;     // MessageBoxA
  std::string caption;  // MessageBoxA
  ULONGLONG tick = 0;   // GetTickCount64 at the entry
};

class DebuggedProcess {
 public:
  DebuggedProcess();
  ~DebuggedProcess();
  DebuggedProcess(const DebuggedProcess&) = delete;
  DebuggedProcess& operator=(const DebuggedProcess&) = delete;

  // Wine's capture endpoint keeps no level either (its SetMasterVolumeLevelScalar is not
  // implemented): with this, the recorder answers the two level methods itself, from the same
  // device level as the mixer. Call before Start.
  void PlayEndpointVolume(const EndpointMethods& methods);
  // Records the two level methods at their entry and return but lets wine's code answer them.
  // Call before Start, instead of PlayEndpointVolume.
  void WatchEndpointVolume(const EndpointMethods& methods);

  // Runs `exe` in `workDir` with the device preset to `deviceLevel`. False if it did not start.
  bool Start(const std::string& exe, const std::string& arguments, const std::string& workDir,
             uint32_t deviceLevel);

  DWORD ProcessId() const { return processId_; }

  // Copies of what was recorded so far.
  std::vector<ApiCall> Calls();
  std::vector<ApiCall> CallsOf(Api api);
  uint32_t DeviceLevel();
  // Problems of the recorder itself (a breakpoint that could not be set, ...), empty if none.
  std::string Trouble();
  // True once the breakpoints in winmm are set.
  bool WinmmWatched();

  // Waits until at least `count` calls of `api` were entered (or have returned, if `returned`).
  bool WaitForCalls(Api api, size_t count, bool returned, DWORD timeoutMs);

  // Waits for the end of the process; false on time-out.
  bool WaitForExit(DWORD timeoutMs);
  bool Exited();
  DWORD ExitCode();
  // Ends the process and waits for the debugger thread to see it go.
  void Kill();

 private:
  struct Breakpoint {
    uint64_t address = 0;
    BYTE original = 0;
    bool entry = true;      // else a temporary one at a return address
    Api api = Api::kCount;  // for an entry
    bool armed = false;
  };
  struct PendingReturn {
    DWORD threadId = 0;
    uint64_t address = 0;
    uint64_t stack = 0;  // RSP after the return
    size_t call = 0;
  };

  static DWORD WINAPI ThreadMain(LPVOID self);
  void Run();
  DWORD OnException(const DEBUG_EVENT& event, bool& initialBreakSeen);
  void OnLoadDll(const LOAD_DLL_DEBUG_INFO& info);
  void OnEntry(DWORD threadId, const CONTEXT& context, Api api);
  void OnReturn(const CONTEXT& context, const PendingReturn& pending);
  void AnswerEndpointCall(CONTEXT& context, Api api);
  HANDLE ThreadHandle(DWORD threadId);

  bool ReadMemory(uint64_t address, void* buffer, size_t size);
  bool WriteMemory(uint64_t address, const void* buffer, size_t size);
  std::string ReadString(uint64_t address, size_t maximum);
  bool SetBreakpoint(uint64_t address, bool entry, Api api);
  Breakpoint* FindBreakpoint(uint64_t address);
  bool ExportAddresses(uint64_t base, std::string& moduleName,
                       std::vector<std::pair<std::string, uint64_t>>& exports);
  void InjectLevel(uint64_t detailsAddress, uint32_t level);
  void Note(const std::string& trouble);

  CRITICAL_SECTION lock_;
  HANDLE thread_ = nullptr;
  HANDLE started_ = nullptr;
  HANDLE exited_ = nullptr;
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  DWORD exitCode_ = STILL_ACTIVE;
  bool startOk_ = false;
  volatile LONG stop_ = 0;

  std::string exe_;
  std::string arguments_;
  std::string workDir_;

  // Owned by the debugger thread; the lock guards what other threads read.
  std::vector<std::pair<DWORD, HANDLE>> threads_;
  std::vector<Breakpoint> breakpoints_;
  std::vector<PendingReturn> pending_;
  std::vector<std::pair<DWORD, uint64_t>> rearm_;  // thread, breakpoint address
  std::vector<ApiCall> calls_;
  uint32_t deviceLevel_ = 0;
  std::string trouble_;
  bool winmmWatched_ = false;
  bool playEndpoint_ = false;
  bool answerEndpoint_ = false;  // else only watched
  EndpointMethods endpointMethods_;
};
