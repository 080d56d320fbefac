#include "tests/e2e/endpoint_methods.h"

#include <windows.h>
// after windows.h
#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <objbase.h>

#include "tacetto/win32/core_audio_ids.h"

namespace {

// Slots in the IAudioEndpointVolume table: IUnknown's three, RegisterControlChangeNotify,
// UnregisterControlChangeNotify, GetChannelCount, SetMasterVolumeLevel, then these.
constexpr size_t kSetScalarSlot = 7;
constexpr size_t kGetScalarSlot = 9;

bool OffsetInModule(void* code, const char* moduleName, uint32_t& rva, std::string& trouble) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<LPCSTR>(code), &module)) {
    trouble = "no module holds the endpoint volume's code";
    return false;
  }
  char path[MAX_PATH] = {};
  GetModuleFileNameA(module, path, sizeof path);
  const std::string file(path);
  const size_t slash = file.find_last_of("\\/");
  const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
  if (lstrcmpiA(name.c_str(), moduleName) != 0) {
    trouble = "the endpoint volume's code is in " + file;
    return false;
  }
  rva = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(code) -
                              reinterpret_cast<uintptr_t>(module));
  return true;
}

}  // namespace

bool FindEndpointMethods(EndpointMethods& methods, std::string& trouble) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IMMDeviceEnumerator* enumerator = nullptr;
  IMMDevice* device = nullptr;
  IAudioEndpointVolume* volume = nullptr;
  bool found = false;
  HRESULT result =
      CoCreateInstance(kDeviceEnumeratorClass, nullptr, CLSCTX_ALL, kDeviceEnumeratorInterface,
                       reinterpret_cast<void**>(&enumerator));
  if (FAILED(result)) {
    trouble = "CoCreateInstance failed";
  } else if (FAILED(result = enumerator->GetDefaultAudioEndpoint(eCapture, eConsole, &device))) {
    trouble = "no default capture endpoint";
  } else if (FAILED(result = device->Activate(kEndpointVolumeInterface, CLSCTX_ALL, nullptr,
                                              reinterpret_cast<void**>(&volume)))) {
    trouble = "IAudioEndpointVolume not activated";
  } else {
    void** table = *reinterpret_cast<void***>(volume);
    found = OffsetInModule(table[kSetScalarSlot], "mmdevapi.dll", methods.setScalarRva, trouble) &&
            OffsetInModule(table[kGetScalarSlot], "mmdevapi.dll", methods.getScalarRva, trouble);
  }
  if (FAILED(result)) {
    trouble += ", HRESULT " + std::to_string(static_cast<unsigned long>(result));
  }
  if (volume != nullptr) {
    volume->Release();
  }
  if (device != nullptr) {
    device->Release();
  }
  if (enumerator != nullptr) {
    enumerator->Release();
  }
  if (SUCCEEDED(com)) {
    CoUninitialize();
  }
  return found;
}
