#include "tests/e2e/endpoint_methods.h"

#include <windows.h>
// after windows.h
#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <objbase.h>

namespace {

// {BCDE0395-E52F-467C-8E3D-C4579291692E}
const CLSID kDeviceEnumeratorClass = {
    0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
// {A95664D2-9614-4F35-A746-DE8DB63617E6}
const IID kDeviceEnumeratorInterface = {
    0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};
// {5CDF2C82-841E-4546-9722-0CF74078229A}
const IID kEndpointVolumeInterface = {
    0x5CDF2C82, 0x841E, 0x4546, {0x97, 0x22, 0x0C, 0xF7, 0x40, 0x78, 0x22, 0x9A}};

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
