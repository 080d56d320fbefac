// The endpoint of the run: found once, through the wave input that belongs to the configured
// mixer device, and kept by its id.
#include <windows.h>
// after windows.h
#include <mmsystem.h>

#include "tacetto/win32/endpoint.h"
#include "tacetto/win32/winmm_library.h"

namespace {

constexpr DWORD kFirstEndpointWindows = 6;  // Windows Vista
// Driver messages of the wave devices (mmddk.h).
constexpr UINT kQueryFunctionInstanceId = 0x0800 + 17;
constexpr UINT kQueryFunctionInstanceIdSize = 0x0800 + 18;

// The endpoint of the run, a short string such as "{0.0.1.00000000}.{<guid>}"; empty until the
// first switch has found it.
wchar_t g_endpointId[256];

}  // namespace

const wchar_t* EndpointOfRun() {
  return g_endpointId;
}

bool UseEndpoint() {
  return (GetVersion() & 0xFF) >= kFirstEndpointWindows;
}

bool EndpointChosen() {
  return g_endpointId[0] != L'\0';
}

uint32_t ChooseEndpoint(UINT device, const char*& call) {
  const WinmmFunctions* winmm = Winmm();
  // A wave input whose mixerGetID fails is passed over; when none belongs to the device, the box
  // shows the first such failure's own code, else MMSYSERR_BADDEVICEID.
  const UINT count = winmm->waveInGetNumDevs();
  MMRESULT firstFailure = MMSYSERR_NOERROR;
  UINT waveIn = 0;
  for (; waveIn < count; ++waveIn) {
    UINT mixer = 0;
    const MMRESULT result = winmm->mixerGetID(
        reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(waveIn)), &mixer, MIXER_OBJECTF_WAVEIN);
    if (result == MMSYSERR_NOERROR && mixer == device) {
      break;
    }
    if (firstFailure == MMSYSERR_NOERROR) {
      firstFailure = result;
    }
  }
  if (waveIn == count) {
    call = "mixergetid()";
    return firstFailure != MMSYSERR_NOERROR ? firstFailure : MMSYSERR_BADDEVICEID;
  }
  call = "waveinmessage()";
  HWAVEIN handle = reinterpret_cast<HWAVEIN>(static_cast<UINT_PTR>(waveIn));
  // Documented as a ULONG, but some implementations write a full pointer-sized value: a zeroed
  // DWORD_PTR holds the size either way.
  DWORD_PTR bytes = 0;
  MMRESULT result = winmm->waveInMessage(handle, kQueryFunctionInstanceIdSize,
                                         reinterpret_cast<DWORD_PTR>(&bytes), 0);
  if (result == MMSYSERR_NOERROR && bytes >= sizeof g_endpointId) {
    result = MMSYSERR_NOMEM;
  }
  if (result == MMSYSERR_NOERROR) {
    result = winmm->waveInMessage(handle, kQueryFunctionInstanceId,
                                  reinterpret_cast<DWORD_PTR>(g_endpointId), sizeof g_endpointId);
  }
  // Left empty unless the whole id was read, so that EndpointChosen is true only for one.
  if (result == MMSYSERR_NOERROR) {
    g_endpointId[sizeof g_endpointId / sizeof *g_endpointId - 1] = L'\0';
  } else {
    g_endpointId[0] = L'\0';
  }
  return result;
}
