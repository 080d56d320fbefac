#include "tests/e2e/debugged_process.h"

#include <mmsystem.h>

#include <cstring>

namespace {

constexpr BYTE kInt3 = 0xCC;
constexpr DWORD kTrapFlag = 0x100;
constexpr DWORD kValueQueryMask = 0xF;  // MIXER_GETCONTROLDETAILSF_QUERYMASK

struct WatchedExport {
  const char* module;
  const char* name;
  Api api;
};

const WatchedExport kWatched[] = {
    {"winmm.dll", "mixerGetNumDevs", Api::kMixerGetNumDevs},
    {"winmm.dll", "mixerGetDevCapsA", Api::kMixerGetDevCapsA},
    {"winmm.dll", "mixerOpen", Api::kMixerOpen},
    {"winmm.dll", "mixerGetLineInfoA", Api::kMixerGetLineInfoA},
    {"winmm.dll", "mixerGetLineControlsA", Api::kMixerGetLineControlsA},
    {"winmm.dll", "mixerGetControlDetailsA", Api::kMixerGetControlDetailsA},
    {"winmm.dll", "mixerSetControlDetails", Api::kMixerSetControlDetails},
    {"winmm.dll", "mixerClose", Api::kMixerClose},
    {"user32.dll", "MessageBoxA", Api::kMessageBoxA},
    {"user32.dll", "RegisterHotKey", Api::kRegisterHotKey},
};

constexpr uint32_t kFullScale = 65535;

uint32_t LevelOfScalar(float scalar) {
  if (!(scalar > 0.0f)) {
    return 0;
  }
  if (scalar >= 1.0f) {
    return kFullScale;
  }
  return static_cast<uint32_t>(static_cast<double>(scalar) * kFullScale + 0.5);
}

bool SameName(const std::string& a, const char* b) {
  return lstrcmpiA(a.c_str(), b) == 0;
}

class Locked {
 public:
  explicit Locked(CRITICAL_SECTION& lock) : lock_(lock) { EnterCriticalSection(&lock_); }
  ~Locked() { LeaveCriticalSection(&lock_); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  CRITICAL_SECTION& lock_;
};

}  // namespace

const char* ApiName(Api api) {
  switch (api) {
    case Api::kMixerGetNumDevs:
      return "mixerGetNumDevs";
    case Api::kMixerGetDevCapsA:
      return "mixerGetDevCapsA";
    case Api::kMixerOpen:
      return "mixerOpen";
    case Api::kMixerGetLineInfoA:
      return "mixerGetLineInfoA";
    case Api::kMixerGetLineControlsA:
      return "mixerGetLineControlsA";
    case Api::kMixerGetControlDetailsA:
      return "mixerGetControlDetailsA";
    case Api::kMixerSetControlDetails:
      return "mixerSetControlDetails";
    case Api::kMixerClose:
      return "mixerClose";
    case Api::kMessageBoxA:
      return "MessageBoxA";
    case Api::kRegisterHotKey:
      return "RegisterHotKey";
    case Api::kEndpointSetScalar:
      return "SetMasterVolumeLevelScalar";
    case Api::kEndpointGetScalar:
      return "GetMasterVolumeLevelScalar";
    case Api::kCount:
      break;
  }
  return "?";
}

DebuggedProcess::DebuggedProcess() {
  InitializeCriticalSection(&lock_);
  started_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  exited_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

DebuggedProcess::~DebuggedProcess() {
  if (thread_ != nullptr) {
    if (!Exited()) {
      Kill();
    }
    InterlockedExchange(&stop_, 1);
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
  }
  if (process_ != nullptr) {
    CloseHandle(process_);
  }
  CloseHandle(started_);
  CloseHandle(exited_);
  DeleteCriticalSection(&lock_);
}

bool DebuggedProcess::Start(const std::string& exe, const std::string& arguments,
                            const std::string& workDir, uint32_t deviceLevel) {
  exe_ = exe;
  arguments_ = arguments;
  workDir_ = workDir;
  deviceLevel_ = deviceLevel;
  thread_ = CreateThread(nullptr, 0, &DebuggedProcess::ThreadMain, this, 0, nullptr);
  if (thread_ == nullptr) {
    return false;
  }
  WaitForSingleObject(started_, INFINITE);
  return startOk_;
}

DWORD WINAPI DebuggedProcess::ThreadMain(LPVOID self) {
  static_cast<DebuggedProcess*>(self)->Run();
  return 0;
}

void DebuggedProcess::Run() {
  // The debugger of a process is the thread that created it: start it here.
  std::string commandLine = "\"" + exe_ + "\"";
  if (!arguments_.empty()) {
    commandLine += " " + arguments_;
  }
  std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
  mutableLine.push_back('\0');
  STARTUPINFOA startup;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info;
  memset(&info, 0, sizeof info);
  if (!CreateProcessA(exe_.c_str(), mutableLine.data(), nullptr, nullptr, FALSE,
                      DEBUG_ONLY_THIS_PROCESS, nullptr,
                      workDir_.empty() ? nullptr : workDir_.c_str(), &startup, &info)) {
    Note("CreateProcessA failed, error " + std::to_string(GetLastError()));
    startOk_ = false;
    SetEvent(started_);
    SetEvent(exited_);
    return;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  processId_ = info.dwProcessId;
  startOk_ = true;
  SetEvent(started_);

  bool initialBreakSeen = false;
  for (;;) {
    DEBUG_EVENT event;
    if (!WaitForDebugEvent(&event, 100)) {
      if (stop_ != 0) {
        TerminateProcess(process_, 1);
      }
      continue;
    }
    DWORD status = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        if (event.u.CreateProcessInfo.hFile != nullptr) {
          CloseHandle(event.u.CreateProcessInfo.hFile);
        }
        threads_.emplace_back(event.dwThreadId, event.u.CreateProcessInfo.hThread);
        break;
      case CREATE_THREAD_DEBUG_EVENT:
        threads_.emplace_back(event.dwThreadId, event.u.CreateThread.hThread);
        break;
      case EXIT_THREAD_DEBUG_EVENT:
        for (size_t i = 0; i < threads_.size(); ++i) {
          if (threads_[i].first == event.dwThreadId) {
            threads_.erase(threads_.begin() + static_cast<ptrdiff_t>(i));
            break;
          }
        }
        break;
      case LOAD_DLL_DEBUG_EVENT:
        OnLoadDll(event.u.LoadDll);
        if (event.u.LoadDll.hFile != nullptr) {
          CloseHandle(event.u.LoadDll.hFile);
        }
        break;
      case EXCEPTION_DEBUG_EVENT:
        status = OnException(event, initialBreakSeen);
        break;
      case EXIT_PROCESS_DEBUG_EVENT: {
        {
          Locked locked(lock_);
          exitCode_ = event.u.ExitProcess.dwExitCode;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
        SetEvent(exited_);
        return;
      }
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
  }
}

HANDLE DebuggedProcess::ThreadHandle(DWORD threadId) {
  for (const auto& entry : threads_) {
    if (entry.first == threadId) {
      return entry.second;
    }
  }
  return nullptr;
}

DWORD DebuggedProcess::OnException(const DEBUG_EVENT& event, bool& initialBreakSeen) {
  const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
  const uint64_t address = reinterpret_cast<uint64_t>(record.ExceptionAddress);
  HANDLE thread = ThreadHandle(event.dwThreadId);

  if (record.ExceptionCode == EXCEPTION_SINGLE_STEP) {
    for (size_t i = 0; i < rearm_.size(); ++i) {
      if (rearm_[i].first != event.dwThreadId) {
        continue;
      }
      Breakpoint* breakpoint = FindBreakpoint(rearm_[i].second);
      if (breakpoint != nullptr && !breakpoint->armed) {
        if (WriteMemory(breakpoint->address, &kInt3, 1)) {
          breakpoint->armed = true;
        } else {
          Note("could not set the breakpoint again");
        }
      }
      rearm_.erase(rearm_.begin() + static_cast<ptrdiff_t>(i));
      CONTEXT context;
      memset(&context, 0, sizeof context);
      context.ContextFlags = CONTEXT_CONTROL;
      if (thread != nullptr && GetThreadContext(thread, &context)) {
        context.EFlags &= ~kTrapFlag;
        SetThreadContext(thread, &context);
      }
      return DBG_CONTINUE;
    }
    return DBG_EXCEPTION_NOT_HANDLED;
  }

  if (record.ExceptionCode != EXCEPTION_BREAKPOINT) {
    return DBG_EXCEPTION_NOT_HANDLED;
  }
  Breakpoint* breakpoint = FindBreakpoint(address);
  if (breakpoint == nullptr || !breakpoint->armed) {
    if (!initialBreakSeen) {
      initialBreakSeen = true;
      return DBG_CONTINUE;
    }
    return DBG_EXCEPTION_NOT_HANDLED;
  }
  if (thread == nullptr) {
    Note("breakpoint hit by an unknown thread");
    return DBG_EXCEPTION_NOT_HANDLED;
  }
  CONTEXT context;
  memset(&context, 0, sizeof context);
  context.ContextFlags = CONTEXT_FULL;
  if (!GetThreadContext(thread, &context)) {
    Note("GetThreadContext failed, error " + std::to_string(GetLastError()));
    return DBG_EXCEPTION_NOT_HANDLED;
  }

  if (breakpoint->entry && answerEndpoint_ &&
      (breakpoint->api == Api::kEndpointSetScalar || breakpoint->api == Api::kEndpointGetScalar)) {
    // Answered here without running wine's code; the breakpoint stays for the next call.
    AnswerEndpointCall(context, breakpoint->api);
    if (!SetThreadContext(thread, &context)) {
      Note("SetThreadContext failed, error " + std::to_string(GetLastError()));
    }
    return DBG_CONTINUE;
  }

  bool keep = true;
  if (breakpoint->entry) {
    const Api api = breakpoint->api;
    OnEntry(event.dwThreadId, context, api);
  } else {
    // A return of a recorded call, unless another path runs through the same address.
    const uint64_t stackAfterReturn = context.Rsp;
    size_t left = 0;
    bool handled = false;
    for (size_t i = pending_.size(); i-- > 0;) {
      if (pending_[i].address != address) {
        continue;
      }
      if (!handled && pending_[i].threadId == event.dwThreadId &&
          pending_[i].stack == stackAfterReturn) {
        const PendingReturn pending = pending_[i];
        pending_.erase(pending_.begin() + static_cast<ptrdiff_t>(i));
        OnReturn(context, pending);
        handled = true;
      } else {
        ++left;
      }
    }
    keep = left > 0;
  }

  // Take the int3 out and run the original instruction; a kept breakpoint goes back in after
  // one step.
  breakpoint = FindBreakpoint(address);  // OnEntry may have added breakpoints
  if (breakpoint == nullptr || !WriteMemory(address, &breakpoint->original, 1)) {
    Note("could not restore the code at a breakpoint");
    return DBG_EXCEPTION_NOT_HANDLED;
  }
  breakpoint->armed = false;
  context.Rip = address;
  if (keep) {
    context.EFlags |= kTrapFlag;
    rearm_.emplace_back(event.dwThreadId, address);
  } else {
    for (size_t i = 0; i < breakpoints_.size(); ++i) {
      if (breakpoints_[i].address == address) {
        breakpoints_.erase(breakpoints_.begin() + static_cast<ptrdiff_t>(i));
        break;
      }
    }
  }
  if (!SetThreadContext(thread, &context)) {
    Note("SetThreadContext failed, error " + std::to_string(GetLastError()));
  }
  return DBG_CONTINUE;
}

void DebuggedProcess::OnEntry(DWORD threadId, const CONTEXT& context, Api api) {
  ApiCall call;
  call.api = api;
  call.threadId = threadId;
  call.args[0] = context.Rcx;
  call.args[1] = context.Rdx;
  call.args[2] = context.R8;
  call.args[3] = context.R9;
  call.tick = GetTickCount64();

  switch (api) {
    case Api::kMixerOpen:
      call.value = static_cast<uint32_t>(context.Rdx);
      break;
    case Api::kEndpointSetScalar:  // only watched: the level in XMM1
      memcpy(&call.scalar, &context.Xmm1.Low, sizeof call.scalar);
      call.value = LevelOfScalar(call.scalar);
      break;
    case Api::kMixerGetLineInfoA: {
      MIXERLINEA line;
      if (ReadMemory(context.Rdx, &line, sizeof line)) {
        call.value = line.dwComponentType;
      }
      break;
    }
    case Api::kMixerGetControlDetailsA:
      if ((context.R8 & kValueQueryMask) == MIXER_GETCONTROLDETAILSF_VALUE) {
        uint32_t level = 0;
        {
          Locked locked(lock_);
          level = deviceLevel_;
        }
        InjectLevel(context.Rdx, level);
        call.value = level;
      }
      break;
    case Api::kMixerSetControlDetails: {
      MIXERCONTROLDETAILS details;
      DWORD level = 0;
      if (ReadMemory(context.Rdx, &details, sizeof details) &&
          ReadMemory(reinterpret_cast<uint64_t>(details.paDetails), &level, sizeof level)) {
        call.value = level;
      } else {
        Note("could not read the level given to mixerSetControlDetails");
      }
      break;
    }
    case Api::kMessageBoxA:
      call.text = ReadString(context.Rdx, 4096);
      call.caption = ReadString(context.R8, 4096);
      call.value = static_cast<uint32_t>(context.R9);
      break;
    case Api::kRegisterHotKey:
      call.value = static_cast<uint32_t>((context.R8 & 0xFFFF) * 256 + (context.R9 & 0xFF));
      break;
    default:
      break;
  }

  uint64_t returnAddress = 0;
  const bool haveReturn = ReadMemory(context.Rsp, &returnAddress, sizeof returnAddress);
  size_t index = 0;
  {
    Locked locked(lock_);
    index = calls_.size();
    calls_.push_back(call);
  }
  if (!haveReturn) {
    Note(std::string("no return address for ") + ApiName(api));
    return;
  }
  PendingReturn pending;
  pending.address = returnAddress;
  pending.stack = context.Rsp + 8;
  pending.call = index;
  pending.threadId = threadId;
  pending_.push_back(pending);
  Breakpoint* existing = FindBreakpoint(returnAddress);
  if (existing == nullptr) {
    if (!SetBreakpoint(returnAddress, false, Api::kCount)) {
      Note(std::string("could not watch the return of ") + ApiName(api));
    }
  }
}

void DebuggedProcess::OnReturn(const CONTEXT& context, const PendingReturn& pending) {
  Locked locked(lock_);
  if (pending.call >= calls_.size()) {
    return;
  }
  ApiCall& call = calls_[pending.call];
  call.returned = true;
  call.result = context.Rax;
  const uint32_t result = static_cast<uint32_t>(context.Rax);
  if (call.api == Api::kMixerGetControlDetailsA && result == MMSYSERR_NOERROR &&
      (call.args[2] & kValueQueryMask) == MIXER_GETCONTROLDETAILSF_VALUE) {
    // Whatever the mixer left in the caller's record, the caller gets the device's level.
    InjectLevel(call.args[1], deviceLevel_);
    call.value = deviceLevel_;
  } else if (call.api == Api::kMixerSetControlDetails && result == MMSYSERR_NOERROR) {
    deviceLevel_ = call.value;
  } else if (call.api == Api::kEndpointGetScalar && result == S_OK &&
             ReadMemory(call.args[1], &call.scalar, sizeof call.scalar)) {
    call.value = LevelOfScalar(call.scalar);  // only watched: what wine reported
  }
}

void DebuggedProcess::AnswerEndpointCall(CONTEXT& context, Api api) {
  ApiCall call;
  call.api = api;
  call.args[0] = context.Rcx;
  call.args[1] = context.Rdx;
  call.args[2] = context.R8;
  call.args[3] = context.R9;
  call.tick = GetTickCount64();
  call.returned = true;
  call.result = S_OK;
  Locked locked(lock_);
  if (api == Api::kEndpointSetScalar) {
    // SetMasterVolumeLevelScalar(this, float level, const GUID* context): the level in XMM1.
    memcpy(&call.scalar, &context.Xmm1.Low, sizeof call.scalar);
    call.value = LevelOfScalar(call.scalar);
    deviceLevel_ = call.value;
  } else {
    // GetMasterVolumeLevelScalar(this, float* level).
    call.value = deviceLevel_;
    call.scalar = static_cast<float>(deviceLevel_) / kFullScale;
    if (!WriteMemory(context.Rdx, &call.scalar, sizeof call.scalar)) {
      call.result = E_POINTER;
      Note("could not write the scalar for GetMasterVolumeLevelScalar");
    }
  }
  calls_.push_back(call);
  // Return to the caller as the method would.
  uint64_t returnAddress = 0;
  if (!ReadMemory(context.Rsp, &returnAddress, sizeof returnAddress)) {
    Note("no return address for an endpoint method");
    return;
  }
  context.Rax = call.result;
  context.Rip = returnAddress;
  context.Rsp += 8;
}

void DebuggedProcess::InjectLevel(uint64_t detailsAddress, uint32_t level) {
  MIXERCONTROLDETAILS details;
  if (!ReadMemory(detailsAddress, &details, sizeof details)) {
    Note("could not read the record of mixerGetControlDetailsA");
    return;
  }
  const DWORD channels = details.cChannels == 0 ? 1 : details.cChannels;
  const DWORD stride =
      details.cbDetails == 0 ? sizeof(MIXERCONTROLDETAILS_UNSIGNED) : details.cbDetails;
  const DWORD value = level;
  for (DWORD i = 0; i < channels && i < 16; ++i) {
    const uint64_t target = reinterpret_cast<uint64_t>(details.paDetails) + i * stride;
    if (!WriteMemory(target, &value, sizeof value)) {
      Note("could not write the level for mixerGetControlDetailsA");
      return;
    }
  }
}

void DebuggedProcess::OnLoadDll(const LOAD_DLL_DEBUG_INFO& info) {
  const uint64_t base = reinterpret_cast<uint64_t>(info.lpBaseOfDll);
  std::string moduleName;
  std::vector<std::pair<std::string, uint64_t>> exports;
  if (!ExportAddresses(base, moduleName, exports)) {
    return;
  }
  bool any = false;
  for (const WatchedExport& watched : kWatched) {
    if (!SameName(moduleName, watched.module)) {
      continue;
    }
    bool found = false;
    for (const auto& entry : exports) {
      if (entry.first == watched.name) {
        found = true;
        if (SetBreakpoint(entry.second, true, watched.api)) {
          any = true;
        } else {
          Note(std::string("could not set a breakpoint on ") + watched.name);
        }
        break;
      }
    }
    if (!found) {
      Note(std::string("no export ") + watched.name + " in " + moduleName);
    }
  }
  if (playEndpoint_ && SameName(moduleName, "mmdevapi.dll")) {
    if (!SetBreakpoint(base + endpointMethods_.setScalarRva, true, Api::kEndpointSetScalar) ||
        !SetBreakpoint(base + endpointMethods_.getScalarRva, true, Api::kEndpointGetScalar)) {
      Note("could not set the breakpoints in mmdevapi.dll");
    }
  }
  if (any && SameName(moduleName, "winmm.dll")) {
    Locked locked(lock_);
    winmmWatched_ = true;
  }
}

bool DebuggedProcess::ExportAddresses(uint64_t base, std::string& moduleName,
                                      std::vector<std::pair<std::string, uint64_t>>& exports) {
  IMAGE_DOS_HEADER dos;
  if (!ReadMemory(base, &dos, sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) {
    return false;
  }
  IMAGE_NT_HEADERS64 nt;
  if (!ReadMemory(base + static_cast<uint64_t>(dos.e_lfanew), &nt, sizeof nt) ||
      nt.Signature != IMAGE_NT_SIGNATURE ||
      nt.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
    return false;
  }
  const IMAGE_DATA_DIRECTORY& directory =
      nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (directory.VirtualAddress == 0 || directory.Size == 0) {
    return false;
  }
  IMAGE_EXPORT_DIRECTORY table;
  if (!ReadMemory(base + directory.VirtualAddress, &table, sizeof table)) {
    return false;
  }
  moduleName = ReadString(base + table.Name, 64);
  bool wanted = false;
  for (const WatchedExport& watched : kWatched) {
    wanted = wanted || SameName(moduleName, watched.module);
  }
  if (!wanted || table.NumberOfNames == 0 || table.NumberOfNames > 65536) {
    return true;
  }
  std::vector<DWORD> names(table.NumberOfNames);
  std::vector<WORD> ordinals(table.NumberOfNames);
  std::vector<DWORD> functions(table.NumberOfFunctions);
  if (!ReadMemory(base + table.AddressOfNames, names.data(), names.size() * sizeof(DWORD)) ||
      !ReadMemory(base + table.AddressOfNameOrdinals, ordinals.data(),
                  ordinals.size() * sizeof(WORD)) ||
      !ReadMemory(base + table.AddressOfFunctions, functions.data(),
                  functions.size() * sizeof(DWORD))) {
    return false;
  }
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string name = ReadString(base + names[i], 64);
    bool watchedName = false;
    for (const WatchedExport& watched : kWatched) {
      watchedName = watchedName || name == watched.name;
    }
    if (!watchedName || ordinals[i] >= functions.size()) {
      continue;
    }
    const DWORD rva = functions[ordinals[i]];
    if (rva >= directory.VirtualAddress && rva < directory.VirtualAddress + directory.Size) {
      continue;  // forwarded to another module
    }
    exports.emplace_back(name, base + rva);
  }
  return true;
}

bool DebuggedProcess::SetBreakpoint(uint64_t address, bool entry, Api api) {
  Breakpoint breakpoint;
  breakpoint.address = address;
  breakpoint.entry = entry;
  breakpoint.api = api;
  if (!ReadMemory(address, &breakpoint.original, 1) || !WriteMemory(address, &kInt3, 1)) {
    return false;
  }
  breakpoint.armed = true;
  breakpoints_.push_back(breakpoint);
  return true;
}

DebuggedProcess::Breakpoint* DebuggedProcess::FindBreakpoint(uint64_t address) {
  for (Breakpoint& breakpoint : breakpoints_) {
    if (breakpoint.address == address) {
      return &breakpoint;
    }
  }
  return nullptr;
}

bool DebuggedProcess::ReadMemory(uint64_t address, void* buffer, size_t size) {
  SIZE_T done = 0;
  return ReadProcessMemory(process_, reinterpret_cast<LPCVOID>(address), buffer, size, &done) &&
         done == size;
}

bool DebuggedProcess::WriteMemory(uint64_t address, const void* buffer, size_t size) {
  LPVOID target = reinterpret_cast<LPVOID>(address);
  DWORD oldProtection = 0;
  const bool unprotected =
      VirtualProtectEx(process_, target, size, PAGE_EXECUTE_READWRITE, &oldProtection) != FALSE;
  SIZE_T done = 0;
  const bool written =
      WriteProcessMemory(process_, target, buffer, size, &done) != FALSE && done == size;
  if (unprotected) {
    DWORD ignored = 0;
    VirtualProtectEx(process_, target, size, oldProtection, &ignored);
  }
  FlushInstructionCache(process_, target, size);
  return written;
}

std::string DebuggedProcess::ReadString(uint64_t address, size_t maximum) {
  std::string text;
  if (address == 0) {
    return text;
  }
  char chunk[64];
  while (text.size() < maximum) {
    // Read byte by byte at the end of a page: the next one may not be mapped.
    const size_t toPageEnd = 4096 - static_cast<size_t>(address % 4096);
    const size_t size = toPageEnd < sizeof chunk ? toPageEnd : sizeof chunk;
    if (!ReadMemory(address, chunk, size)) {
      break;
    }
    for (size_t i = 0; i < size; ++i) {
      if (chunk[i] == '\0') {
        return text;
      }
      text.push_back(chunk[i]);
    }
    address += size;
  }
  return text;
}

void DebuggedProcess::Note(const std::string& trouble) {
  Locked locked(lock_);
  if (!trouble_.empty()) {
    trouble_ += "; ";
  }
  trouble_ += trouble;
}

void DebuggedProcess::PlayEndpointVolume(const EndpointMethods& methods) {
  playEndpoint_ = true;
  answerEndpoint_ = true;
  endpointMethods_ = methods;
}

void DebuggedProcess::WatchEndpointVolume(const EndpointMethods& methods) {
  playEndpoint_ = true;
  answerEndpoint_ = false;
  endpointMethods_ = methods;
}

std::vector<ApiCall> DebuggedProcess::Calls() {
  Locked locked(lock_);
  return calls_;
}

std::vector<ApiCall> DebuggedProcess::CallsOf(Api api) {
  Locked locked(lock_);
  std::vector<ApiCall> selected;
  for (const ApiCall& call : calls_) {
    if (call.api == api) {
      selected.push_back(call);
    }
  }
  return selected;
}

uint32_t DebuggedProcess::DeviceLevel() {
  Locked locked(lock_);
  return deviceLevel_;
}

std::string DebuggedProcess::Trouble() {
  Locked locked(lock_);
  return trouble_;
}

bool DebuggedProcess::WinmmWatched() {
  Locked locked(lock_);
  return winmmWatched_;
}

bool DebuggedProcess::WaitForCalls(Api api, size_t count, bool returned, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    size_t seen = 0;
    {
      Locked locked(lock_);
      for (const ApiCall& call : calls_) {
        if (call.api == api && (call.returned || !returned)) {
          ++seen;
        }
      }
    }
    if (seen >= count) {
      return true;
    }
    if (GetTickCount64() >= deadline || WaitForSingleObject(exited_, 0) == WAIT_OBJECT_0) {
      return false;
    }
    Sleep(20);
  }
}

bool DebuggedProcess::WaitForExit(DWORD timeoutMs) {
  return WaitForSingleObject(exited_, timeoutMs) == WAIT_OBJECT_0;
}

bool DebuggedProcess::Exited() {
  return WaitForSingleObject(exited_, 0) == WAIT_OBJECT_0;
}

DWORD DebuggedProcess::ExitCode() {
  Locked locked(lock_);
  return exitCode_;
}

void DebuggedProcess::Kill() {
  InterlockedExchange(&stop_, 1);
  if (process_ != nullptr) {
    TerminateProcess(process_, 1);
  }
  WaitForSingleObject(exited_, 5000);
}
