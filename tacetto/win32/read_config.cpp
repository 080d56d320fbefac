#include "tacetto/win32/read_config.h"

#include <windows.h>
// after windows.h
#include <mmsystem.h>

#include "common/text.h"
#include "common/win32/tool_window.h"
#include "tacetto/config.h"
#include "tacetto/win32/globals.h"
#include "tacetto/win32/winmm_library.h"

#if defined(__i386__)
static_assert(sizeof(MIXERCAPSA) == 48, "MIXERCAPSA");
#endif

int32_t CfgDevice = 0;
int32_t CfgLine = 0;
int32_t CfgHotkey = 0;
int32_t CfgVolume = 0;
int32_t CfgLockKey = 0;
int32_t CfgLockInvert = 0;

namespace {

size_t ReadFromFile(void* file, char* buffer, size_t size) {
  DWORD read = 0;
  return ReadFile(static_cast<HANDLE>(file), buffer, static_cast<DWORD>(size), &read, nullptr)
             ? read
             : 0;
}

// The mixer devices with their numbers; a device whose capabilities cannot be read is listed
// without a name.
Text DeviceListText() {
  Text text = "Bitte eine der Folgenden Device-Nummern ins CFG eintragen!";
  const WinmmFunctions* winmm = Winmm();
  const UINT count = winmm != nullptr ? winmm->mixerGetNumDevs() : 0;
  for (UINT device = 0; device < count; ++device) {
    MIXERCAPSA caps = {};
    if (winmm->mixerGetDevCapsA(device, &caps, sizeof caps) != MMSYSERR_NOERROR) {
      caps.szPname[0] = '\0';
    }
    caps.szPname[sizeof caps.szPname - 1] = '\0';
    text += "\r\n- Device #";
    text += UnsignedDecimalText(device);
    text += ": ";
    text += caps.szPname;
  }
  return text;
}

}  // namespace

void ReadConfig() {
  // Read while other programs (an editor, a sync client, the search indexer) hold it open.
  HANDLE file = CreateFileA("tacetto.cfg", GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  const bool opened = file != INVALID_HANDLE_VALUE;
  int32_t values[kConfigValueCount];
  ReadConfigValues(opened ? &ReadFromFile : nullptr, file, values);
  if (opened) {
    CloseHandle(file);
  }
  CfgDevice = values[0];
  CfgLine = values[1];
  CfgHotkey = values[2];
  CfgVolume = values[3];
  CfgLockKey = values[4];
  CfgLockInvert = values[5];
}

int32_t CheckConfig() {
  int32_t result = 0;
  if (CfgDevice == -1) {
    ShowMessageBox(DeviceListText().c_str(), kNoticeCaption, kNoticeStyle);
    result = -1;
  }
  if (CfgHotkey == -1) {
    ShowMessageBox("Bitte tastrel.exe starten und die Hotkey-Nummer ins Config-File schreiben!",
                   kNoticeCaption, kNoticeStyle);
    result = -1;
  }
  return result;
}
