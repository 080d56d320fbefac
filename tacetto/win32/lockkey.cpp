#include "tacetto/win32/lockkey.h"

#include <windows.h>

#include <atomic>

#include "tacetto/lock_light.h"
#include "tacetto/win32/globals.h"

namespace {

// The longest a switch waits for its stroke to show on the light.
constexpr DWORD kStrokeShownMs = 100;
// The most looks at the queue for the key input waiting in it, each one after a sent message.
constexpr int kLooks = 1000;
// How often a stroke that has not shown is made again, and for how long at the end of the run.
constexpr UINT kStrikeAgainMs = 500;
constexpr DWORD kLastStrikesMs = 2000;

// The mute state the light is to show, the timer that strikes again while it does not, and the
// window whose thread makes the strike (read by the timer's thread).
int32_t g_wanted = 0;
HANDLE g_strikeAgain = nullptr;
std::atomic<HWND> g_striker{nullptr};
// Whether the light is being read or struck: the queue is looked at meanwhile, and a strike asked
// for then waits for the next one.
bool g_striking = false;

// The light of `key` (1 on) as this thread sees it. While the tool's window is in front, its own
// strokes come back to this thread as key messages, and the thread sees the light they set only
// once they are taken from its input; a press queued before them would read the light as it was.
// So the key input waiting for the thread is taken first, and handed back to its windows as posted
// messages, which they get after the switch as they would have (Alt+F4 included). A message sent
// to the thread meanwhile (a program reading the label, say) is handled first and ends that look
// at the queue without the key input: so the queue is looked at again while key input waits.
int32_t LightOf(BYTE key) {
  MSG message;
  for (int look = 0; look < kLooks && (HIWORD(GetQueueStatus(QS_KEY)) & QS_KEY) != 0; ++look) {
    if (PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE | PM_QS_INPUT)) {
      PostMessageA(message.hwnd, message.message, message.wParam, message.lParam);
    }
  }
  return GetKeyState(key) & 1;
}

// Strikes `key`, whose light is `light`, and waits until the light shows the stroke or 100 ms have
// passed: the system takes injected strokes in its own time. Whether the light shows it.
bool StrikeShown(BYTE key, int32_t light) {
  keybd_event(key, 0, KEYEVENTF_EXTENDEDKEY, 0);
  keybd_event(key, 0, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
  const DWORD start = GetTickCount();
  while (LightOf(key) == light && GetTickCount() - start < kStrokeShownMs) {
    Sleep(1);
  }
  return LightOf(key) != light;
}

// On a thread of the system's: only asks the window's thread to strike again. A sent message, not
// a posted one or WM_TIMER: a program that sends the window messages without pause (a screen
// reader reading the label) keeps the thread inside its sent messages, and those of lower
// priority from coming.
void CALLBACK AskToStrikeAgain(PVOID, BOOLEAN) {
  SendNotifyMessageA(g_striker.load(), kStrikeAgain, 0, 0);
}

// A stroke can be lost: injected keys do not reach the system while a program of a higher
// integrity level is in front, and some programs swallow them. The timer strikes again while the
// light does not show the state, and only then: a stroke the user makes later is left alone.
void StrikeAgainUnless(bool shown) {
  if (shown && g_strikeAgain != nullptr) {
    DeleteTimerQueueTimer(nullptr, g_strikeAgain, nullptr);
    g_strikeAgain = nullptr;
  } else if (!shown && g_strikeAgain == nullptr &&
             !CreateTimerQueueTimer(&g_strikeAgain, nullptr, &AskToStrikeAgain, nullptr,
                                    kStrikeAgainMs, kStrikeAgainMs, WT_EXECUTEDEFAULT)) {
    g_strikeAgain = nullptr;
  }
}

}  // namespace

void StrikeAgainThrough(HWND window) {
  g_striker = window;
}

void StrikeAgain() {
  if (g_strikeAgain == nullptr || g_striking) {
    return;  // asked before the timer went, or while the light is being set
  }
  g_striking = true;
  const BYTE key = LockKeyOf(CfgLockKey);
  const int32_t light = LightOf(key);
  StrikeAgainUnless(!LockKeyStrike(CfgLockInvert, g_wanted, light) || StrikeShown(key, light));
  g_striking = false;
}

void SetLockKey(const int32_t& muted) {
  const bool striking = g_striking;
  g_striking = true;
  const BYTE key = LockKeyOf(CfgLockKey);
  const int32_t light = LightOf(key);
  g_wanted = muted;
  // The level follows, and the next switch reads the light, once the light shows the stroke.
  StrikeAgainUnless(!LockKeyStrike(CfgLockInvert, muted, light) || StrikeShown(key, light));
  g_striking = striking;
}

void LeaveLockKeyLive() {
  const int32_t live = 0;
  SetLockKey(live);
  // No window is left to ask: struck again from here, until the light shows it or the time is up.
  g_striker = nullptr;
  for (const DWORD start = GetTickCount();
       g_strikeAgain != nullptr && GetTickCount() - start < kLastStrikesMs;) {
    Sleep(kStrikeAgainMs);
    StrikeAgain();
  }
  if (g_strikeAgain != nullptr) {
    DeleteTimerQueueTimer(nullptr, g_strikeAgain, INVALID_HANDLE_VALUE);
    g_strikeAgain = nullptr;
  }
}
