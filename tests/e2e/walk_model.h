// The walk's model of the user's world (walk.cpp): what must be true after every step, written
// from the rules the README gives, never from the tool's code.
#pragma once

#include <cstdint>
#include <string>

#include "harness/tacetto_view.h"
#include "tests/e2e/doubles/sound_state.h"

// Scalars of the endpoint: the percent shown for each, and the scalar the tool writes for that
// percent.
struct Level {
  uint32_t scalar;
  int percent;
  uint32_t written;
};
inline constexpr Level kLevels[] = {
    {0x3f4ccccd, 80, 0x3f4ccccd}, {0x3f014a81, 50, 0x3effff00}, {0x3effff00, 50, 0x3effff00}, {}};
inline const Level& LevelOf(uint32_t scalar) {
  const Level* level = kLevels;
  while (level->scalar != scalar && level->scalar != 0) {
    ++level;
  }
  return *level;
}

inline const char* const kAwayBox = "box Tacetto|error #2290679812 calling activate()";
inline const char* const kRemovedBox = "box Tacetto|error #2147943568 calling getdevice()";

// What must be true, from the rules the README gives. The device of the tool: its level (the
// mixer's, or the endpoint's scalar), its mute flag, whether it is active, and while it is away
// how (sound_state.h: 'u', 'd', 'r' and the variants drawn) and whether the objects the tool holds
// died. The tool: the level it unmutes to, the state its light shows, whether its last press
// failed (the next unmutes), the user's flag found at start, whether the user struck the light
// since the tool set it, whether its error box is open and news came meanwhile. Who changed the
// device last: the flag and the level the tool wrote last, whether a change made elsewhere that
// the tool was told of reported another flag since, and whether the tool's level is the last.
struct World {
  bool xp;
  uint32_t level;
  bool flag = false, present = true, dead = false, repaired = false;
  SoundWaveIn away = {};
  uint32_t unmuted = 0;
  int unmutedPercent = 80;
  bool muted = false, failed = false, userFlag = false, struck = false;
  bool boxOpen = false, newsWaiting = false;
  bool ownFlag = false, otherFlag = false, ownLevelLast = true;
  uint32_t ownLevel = 0;
  std::string label = kTacettoGreeting;
  unsigned writes = 1;  // level writes that reached the sound system, failed ones included

  // A run starts: at 80 %, or (keep) at the level found.
  void Started(bool keep) {
    userFlag = flag && level != 0;  // a flag with a level of 0 is a run's that did not end
    failed = struck = boxOpen = newsWaiting = otherFlag = dead = false;
    label = kTacettoGreeting;
    unmutedPercent = keep ? LevelOf(level).percent : 80;
    unmuted = keep ? LevelOf(level).written : xp ? 52428 : 0x3f4ccccd;
    muted = keep && flag;
    ownFlag = flag;
    ownLevelLast = false;
    if (!keep) {
      Writes(unmuted, false);
    }
  }
  void Writes(uint32_t newLevel, bool newFlag) {
    level = ownLevel = newLevel;
    flag = ownFlag = newFlag;
    ownLevelLast = true;
    otherFlag = false;
    ++writes;
  }
  // Another program changed the device, and the tool was told.
  void Told(uint32_t newLevel, bool newFlag) {
    otherFlag = otherFlag || newFlag != ownFlag;
    ownLevelLast = ownLevelLast && newLevel == ownLevel;
  }
  // The light set by the tool; the label "-1%" once no box of the tool's is open.
  void Shows(bool nowMuted, bool failing) {
    muted = nowMuted;
    failed = failing;
    struck = false;
    label = failing ? LabelText(-1) : label;
  }
  void Pressed() {
    if (boxOpen) {  // inside the switch whose box is open: nothing
      return;
    }
    if (!present) {  // the box of the device away; nothing written, the light live
      return Shows(false, true);
    }
    dead = false;  // read before the write: a volume that died is looked up anew
    const bool mute = !muted && !failed;
    Writes(mute ? 0 : unmuted, mute && !xp);
    Shows(mute, false);
    label = LabelText(mute ? 0 : unmutedPercent);
  }
  // The level write failed: the light shows the device as it holds the line; the label waits
  // for the box.
  void WriteFailed() {
    ++writes;
    dead = false;
    const std::string before = label;
    Shows(xp ? level == 0 : flag, true);
    label = before;
    boxOpen = true;
  }
  void BoxClosed() {
    boxOpen = false;
    label = LabelText(-1);
    if (newsWaiting) {
      newsWaiting = false;
      Followed();
    }
  }
  // Told of a change: the tool reads the device as it is now (once its box is closed).
  void Followed() {
    newsWaiting = boxOpen;
    if (boxOpen) {
      return;
    }
    if (!present) {
      return Shows(false, true);
    }
    dead = false;
    Shows(flag, false);
    label = LabelText(flag ? 0 : LevelOf(level).percent);
  }
  // The end of the run. A flag another program set last stays, and a level changed elsewhere
  // stays with it; else the line is put back. The device away takes the write where the system
  // lets it. Returns the box of a restore that could not reach the device, or "".
  std::string Ended() {
    const bool othersFlag = !xp && flag && (otherFlag || !ownFlag);
    std::string box;
    if (!present && dead && away.State() == 4 && away.Has('n')) {
      box = kRemovedBox;
    } else if (!present && dead && away.Has('a')) {
      box = kAwayBox;
    } else if (othersFlag && !(ownLevelLast && level == ownLevel)) {
    } else {
      Writes(unmuted, othersFlag ? flag : userFlag);
    }
    muted = struck = false;
    label = "";
    return box;
  }
};
