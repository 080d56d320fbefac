#include "tacetto/win32/lockkey.h"

#include <windows.h>

#include "tacetto/lock_light.h"
#include "tacetto/win32/globals.h"

namespace {

// The longest a switch waits for its stroke to show on the light.
constexpr DWORD kStrokeShownMs = 100;
// The most looks at the queue for the key input waiting in it, each one after a sent message.
constexpr int kLooks = 1000;

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

}  // namespace

int32_t SetLockKey(const int32_t& muted) {
  const BYTE key = LockKeyOf(CfgLockKey);
  const int32_t light = LightOf(key);
  if (LockKeyStrike(CfgLockInvert, muted, light)) {
    keybd_event(key, 0, KEYEVENTF_EXTENDEDKEY, 0);
    keybd_event(key, 0, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
    // The system takes injected strokes in its own time: the level follows, and the next switch
    // reads the light, once the light shows this one (or a program that swallows injected keys
    // has kept it).
    const DWORD start = GetTickCount();
    while (LightOf(key) == light && GetTickCount() - start < kStrokeShownMs) {
      Sleep(1);
    }
  }
  return MuteStateShown(CfgLockInvert, light);
}
