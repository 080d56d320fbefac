#include "tacetto/win32/volume_window.h"

#include <cstring>

#include "common/hotkey_number.h"
#include "common/text.h"
#include "common/win32/tool_window.h"
#include "tacetto/level_scale.h"
#include "tacetto/win32/endpoint.h"
#include "tacetto/win32/endpoint_news.h"
#include "tacetto/win32/globals.h"
#include "tacetto/win32/lockkey.h"
#include "tacetto/win32/volume.h"

int32_t HotkeyAtom = 0;
HWND VolumeWindow = nullptr;

namespace {

constexpr UINT kVolumeLabelId = 201;

// WS_SYSMENU | DS_CENTER | DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK; created hidden.
constexpr DialogSpec kVolumeWindow = {kVolumeWindowTitle,
                                      0x00080854,
                                      0x00000088,  // WS_EX_TOPMOST | WS_EX_TOOLWINDOW
                                      0,
                                      0,
                                      300,
                                      40};

// WS_CHILD | WS_VISIBLE | SS_CENTER
constexpr ControlSpec kVolumeLabel = {kVolumeLabelId,
                                      "STATIC",
                                      5,
                                      10,
                                      290,
                                      15,
                                      0x50000001,
                                      0,
                                      "Hotkey dr\xFC"
                                      "cken zum Lautst\xE4"
                                      "rke umschalten!"};

void RegisterConfiguredHotkey(HWND window) {
  HotkeyAtom = CreateHotkeyAtom();
  const HotkeyParts parts = SplitHotkeyNumber(CfgHotkey);
  if (!RegisterHotkeyOnce(window, HotkeyAtom, parts.modifiers, parts.keyCode)) {
    ShowMessageBox("Hotkey bereits belegt!", kNoticeCaption, kNoticeStyle);
  }
}

// "Mikrofon/Line-Volume: <percent>%", composed on the stack: nothing is allocated on the way
// from the key to the label.
void ShowLevel(HWND window, int32_t percent) {
  static constexpr char kPrefix[] = "Mikrofon/Line-Volume: ";
  char label[sizeof kPrefix + 22];
  memcpy(label, kPrefix, sizeof kPrefix);
  char* end = AppendDecimal(label + sizeof kPrefix - 1, percent);
  end[0] = '%';
  end[1] = '\0';
  SetWindowTextA(GetDlgItem(window, kVolumeLabelId), label);
}

// Whether a press is being switched. An open error box's own loop dispatches messages
// meanwhile: a further press is ignored, as is the auto-repeat of a held hotkey, and news of the
// endpoint waits for the end of the press, to be shown with the device as it is then.
bool g_switching = false;
bool g_newsWaiting = false;
bool g_deviceNewsWaiting = false;

// Another program has changed the endpoint, or its device has come or gone: the light, the label
// and the next press follow the device as it is now, read, not as the news told it. Muted means
// its mute flag is set: a level of 0 alone may still be heard. A device gone mutes nothing: the
// light shows live, the label -1, and the next press tries it anew. Nothing is written.
void FollowNews(HWND window, bool deviceNews) {
  g_newsWaiting = g_switching;
  g_deviceNewsWaiting = (g_deviceNewsWaiting || deviceNews) && g_switching;
  bool muted = false;
  uint32_t level = 0;
  const EndpointNow now =
      g_switching ? EndpointNow::kNotKnown : ReadFollowedEndpoint(deviceNews, muted, level);
  if (now == EndpointNow::kNotKnown) {
    return;
  }
  LineMuted = muted ? 1 : 0;
  SetLockKey(LineMuted);
  CurrentVolume = now == EndpointNow::kGone ? -1 : muted ? 0 : UnmutedVolume;
  ShowLevel(window, now == EndpointNow::kGone ? -1 : muted ? 0 : PercentFromLevel(level));
}

void ToggleOnHotkey(HWND window, LPARAM lParam) {
  if (g_switching || !NewHotkeyPress(lParam)) {
    return;
  }
  g_switching = true;
  ShowWindow(window, SW_SHOWNORMAL);
  CurrentVolume = SwitchVolume(UnmutedVolume);
  g_switching = false;
  ShowLevel(window, CurrentVolume);
  if (g_newsWaiting) {
    FollowNews(window, g_deviceNewsWaiting);
  }
}

}  // namespace

INT_PTR VolumeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      StrikeAgainThrough(window);
      RegisterConfiguredHotkey(window);
      FollowEndpoint(window);
      break;
    case WM_DESTROY:
      StrikeAgainThrough(nullptr);
      FollowEndpoint(nullptr);
      VolumeWindow = nullptr;
      ReleaseHotkeyAtom(window, HotkeyAtom);
      break;
    case WM_SHOWWINDOW:
      VolumeWindow = wParam != 0 ? window : nullptr;
      break;
    case kStrikeAgain:
      StrikeAgain();
      break;
    case kEndpointNews:
      if (wParam != kDeviceNews) {
        // Whose the flag and the level are is told by the news itself, in whatever order it
        // comes, also while a switch holds the rest of it back.
        NoteChangeElsewhere(NewsMuted(lParam), NewsLevel(lParam));
      }
      FollowNews(window, wParam == kDeviceNews);
      break;
    case WM_HOTKEY:
      ToggleOnHotkey(window, lParam);
      break;
    case WM_ENDSESSION:
      // The session ends: the line restored at once, then the run ends as after a close.
      if (wParam != 0) {
        RestoreLine();
        DestroyWindow(window);
      }
      break;
    case WM_TIMER:
      KillTimer(window, 1);
      ShowWindow(window, SW_HIDE);
      break;
    default:
      break;
  }
  return 0;
}

void RunVolumeWindow() {
  HWND window = BuildToolWindow(kVolumeWindow, &kVolumeLabel, 1, &VolumeWindowProc,
                                /*withholdActivate=*/true);
  if (window == nullptr) {
    // Without a window there is nothing to register the hotkey for and nothing to wait on:
    // return at once, so that the start-up sequence restores the line.
    return;
  }
  RunToolWindow(window);
}
