#include "tacetto/main.h"

#include "tacetto/config.h"
#include "tacetto/globals.h"
#include "tacetto/platform.h"
#include "tacetto/volume.h"
#include "tacetto/volume_window.h"

namespace {
uint8_t g_savedKeys[256];
bool g_restorePending = false;
}  // namespace

void RestoreKeyboardAndLine() {
  if (!g_restorePending) {
    return;
  }
  g_restorePending = false;
  Keys().SetState(g_savedKeys);
  const int32_t restore = -2;
  SwitchVolume(restore);
}

int32_t RunTacetto() {
  g_restorePending = false;
  if (ReadConfig() != 0) {
    return 0;
  }
  const int32_t readOnly = -1;
  UnmutedVolume = SwitchVolume(CfgVolume != -1 ? CfgVolume : readOnly);
  if (UnmutedVolume == -1) {
    return 0;
  }
  CurrentVolume = UnmutedVolume;
  Keys().GetState(g_savedKeys);
  g_restorePending = true;
  RunVolumeWindow();
  RestoreKeyboardAndLine();
  return 0;
}
