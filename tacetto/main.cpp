#include "tacetto/main.h"

#include "tacetto/config.h"
#include "tacetto/globals.h"
#include "tacetto/platform.h"
#include "tacetto/volume.h"
#include "tacetto/volume_window.h"

int32_t RunTacetto() {
  uint8_t savedKeys[256] = {};
  if (ReadConfig() != 0) {
    return 0;
  }
  const int32_t readOnly = -1;
  UnmutedVolume = SwitchVolume(CfgVolume != -1 ? CfgVolume : readOnly);
  if (UnmutedVolume == -1) {
    return 0;
  }
  CurrentVolume = UnmutedVolume;
  Keys().GetState(savedKeys);
  RunVolumeWindow();
  Keys().SetState(savedKeys);
  const int32_t restore = -2;
  SwitchVolume(restore);
  return 0;
}
