// The user's world as a seeded random walk: steps drawn at random, a model of what must be true
// written from the rules the tool promises, and after every step the light as another program
// sees it, the label and what the device holds compared with the model, until they agree or the
// deadline passes. A failure prints the seed, the step and the steps before it, and ends the walk.
//   E2E_SEED=N repeats a walk; E2E_WALK_STEPS=N sets its length.
#include <windows.h>

#include <cstdlib>
#include <random>

#include "harness/desktop.h"
#include "harness/lock_lights.h"
#include "harness/tacetto_view.h"
#include "tests/e2e/doubles/sound_state.h"
#include "tests/e2e/scenario.h"

namespace {

constexpr DWORD kSettledMs = 2500;  // a change made elsewhere, a device back, a stroke made again

// Scalars of the endpoint: the percent shown for each, and the scalar the tool writes for that
// percent.
struct Level {
  uint32_t scalar;
  int percent;
  uint32_t written;
};
constexpr Level kLevels[] = {
    {0x3f4ccccd, 80, 0x3f4ccccd}, {0x3f014a81, 50, 0x3effff00}, {0x3effff00, 50, 0x3effff00}, {}};
const Level& LevelOf(uint32_t scalar) {
  const Level* level = kLevels;
  while (level->scalar != scalar && level->scalar != 0) {
    ++level;
  }
  return *level;
}

// What must be true. The device: its level (the mixer's, or the endpoint's scalar), its mute
// flag, whether it is plugged in. The tool: the level it unmutes to, the state its light shows,
// whether its last press failed (the next unmutes), the user's flag found at start, whether the
// flag was muted elsewhere last, whether the user has struck the light since the tool set it.
struct World {
  bool xp;
  uint32_t level;
  bool flag = false, present = true;
  uint32_t unmuted = 0;
  int unmutedPercent = 80;
  bool muted = false, failed = false, userFlag = false, mutedElsewhere = false, struck = false;
  std::string label = kTacettoGreeting;
  unsigned writes = 1;  // level writes that reached the sound system, failed ones included

  // A run starts: at 80 %, or (keep) at the level found.
  void Started(bool keep) {
    userFlag = flag && level != 0;  // a flag with a level of 0 is a run's that did not end
    mutedElsewhere = failed = struck = false;
    label = kTacettoGreeting;
    unmutedPercent = keep ? LevelOf(level).percent : 80;
    unmuted = keep ? LevelOf(level).written : xp ? 52428 : 0x3f4ccccd;
    muted = keep && flag;
    if (!keep) {
      Set(unmuted, false);
      ++writes;
    }
  }
  void Set(uint32_t newLevel, bool newFlag) {
    mutedElsewhere = newFlag != flag ? false : mutedElsewhere;
    level = newLevel;
    flag = newFlag;
  }
  // A switch failed, or the device went away: its box, "-1%", the next press unmutes.
  void Failed() {
    failed = true;
    label = LabelText(-1);
  }
  void Pressed() {
    if (!present) {  // the box of the failed lookup; nothing written, nothing struck
      return Failed();
    }
    struck = false;
    ++writes;
    const bool mute = !muted && !failed;
    Set(mute ? 0 : unmuted, mute && !xp);
    muted = mute;
    failed = false;
    label = LabelText(mute ? 0 : unmutedPercent);
  }
  // Read after news or a device back: what the device shows.
  void Followed() {
    muted = flag;
    failed = struck = false;
    label = LabelText(flag ? 0 : LevelOf(level).percent);
  }
  void Ended() {
    if (present && !(mutedElsewhere && flag)) {
      Set(unmuted, userFlag);
      ++writes;
    }
    muted = struck = false;
    label = "";
  }
};

}  // namespace

void Scenario::Walk() {
  const char* seedText = getenv("E2E_SEED");
  const char* stepsText = getenv("E2E_WALK_STEPS");
  const unsigned seed = seedText != nullptr ? strtoul(seedText, nullptr, 10) : GetTickCount();
  const int steps = stepsText != nullptr ? atoi(stepsText) : row.windowsXp ? 60 : 150;
  printf("  seed %u (E2E_SEED=%u repeats this walk), %d steps\n", seed, seed, steps);
  std::mt19937 random(seed);
  auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  World world{row.windowsXp, row.windowsXp ? 52428u : 0x3f4ccccdu};  // started at 80 %
  world.unmuted = world.level;
  const bool scroll = ConfigValue(4) != 0, inverted = ConfigValue(5) == 1;
  const BYTE key = scroll ? VK_SCROLL : VK_NUMLOCK;
  const std::string sound = folder + "\\sound.txt";
  const char* write = row.windowsXp ? "mixerSetControlDetails" : "SetMasterVolumeLevelScalar";
  const std::string failedLookup = "box Tacetto|error #2290679812 calling activate()";
  std::vector<std::string> done;
  bool reading = false;  // another program reads the label without pause
  // What a user sees and what reached the sound system, as one line.
  auto show = [&](bool on, const std::string& label, uint32_t level, bool flag, bool plugged,
                  unsigned writes) {
    char device[64];
    snprintf(device, sizeof device, row.windowsXp ? "%u" : "%08x %d%s", level, flag,
             plugged ? "" : " unplugged");
    return std::string("light ") + OnOff(on) + ", label \"" + label + "\", device " + device +
           ", writes " + std::to_string(writes);
  };
  auto seen = [&] {
    Sound now = SoundNow();
    const SoundWaveIn& in = now.waveIns[0];
    return show(LockLight(key) != 0, WindowText(GetDlgItem(window, kTacettoLabelId)),
                row.windowsXp ? now.devices[0].lines[0].level : in.scalarBits, in.mute, in.plugged,
                now.counts[write]);
  };
  auto expected = [&] {
    return show((world.muted != world.struck) != inverted, world.label, world.level, world.flag,
                world.present, world.writes);
  };
  auto press = [&](const std::string& how) {
    Step(how);
    const int times = how.rfind("burst", 0) == 0 ? atoi(how.c_str() + 6) : 1;
    for (int n = 0; n < (world.present ? times : 1); ++n) {
      world.Pressed();
    }
    if (!world.present) {
      Step(failedLookup);
    }
  };
  // Under wine a program sees the lights off at its start, whatever they show: before each start
  // the walk strikes them off, as every row starts (Windows hands a new program the lights as
  // they are).
  auto restart = [&](bool kill) {
    if (kill) {
      EndProgram(process, 0);
    } else {
      Step("close");
      Step("exit");
      world.Ended();
      Poll(kSettledMs, [&] { return seen() == expected(); });
      Check("the end", expected(), seen());
    }
    LightsOff();
    const bool keep = !row.windowsXp && below(2) == 0;
    Lines lines = Split(row.config, '/');
    lines[3] = keep ? "-1" : "80";
    WriteConfig(lines);
    world.Started(keep);
    if (Start()) {
      Step("win");
      Step(reading ? "reader on" : "reader off");
    }
  };
  for (int step = 1; step <= steps && failures == 0; ++step) {
    const bool endpoint = !row.windowsXp, present = world.present;
    std::string what;
    HANDLE resume = nullptr;
    // The steps and their weights: presses 4, a change made elsewhere 5, the device 2, a restart
    // 6, the rest 1; after a mute made elsewhere, the end of the run comes sooner.
    constexpr int kDraw[] = {0, 0, 0, 0, 1, 2, 3, 3, 3, 3, 3,  4,  4,
                             5, 6, 7, 8, 9, 9, 9, 9, 9, 9, 10, 11, 12};
    const bool endNow = world.mutedElsewhere && world.flag && below(3) == 0;
    switch (endNow ? 9 : kDraw[below(sizeof kDraw / sizeof *kDraw)]) {
      case 0:
        press(what = "press");
        break;
      case 1:
        press(what = "burst " + std::to_string(3 + below(7)));
        break;
      case 2: {  // two presses 50 to 100 ms apart, the first switch held at its write meanwhile
        const int gap = 50 + below(51);
        what = "two presses " + std::to_string(gap) + " ms apart";
        if (present) {
          ChangeSound(sound, [&](Sound& now) {
            now.pauses.push_back({write, world.writes + 1, 0});
          });
        }
        // Held open until the step is checked, the event keeps its signal until the switch comes
        // to the pause.
        resume = CreateEventA(nullptr, FALSE, FALSE, "tacetto-sound-resume");
        Sleep(kSettleMs);
        const uint32_t hotkey = static_cast<uint32_t>(ConfigValue(2));
        HotkeyKeys(hotkey, true);
        Sleep(30);
        HotkeyKeys(hotkey, false);
        Sleep(static_cast<DWORD>(gap - 30));
        HotkeyKeys(hotkey, true);
        Sleep(20);
        SetEvent(resume);
        Sleep(100);
        HotkeyKeys(hotkey, false);
        world.Pressed();
        if (present) {
          world.Pressed();
        } else {
          Step(failedLookup);
        }
        break;
      }
      case 3:  // a change made elsewhere: mute, unmute, a level; now and then two, told reversed
        if (endpoint && present) {
          what = "elsewhere";
          bool flag = false;
          for (int n = below(3) == 0 ? 2 : 1; n > 0; --n) {
            flag = below(2) == 0;
            world.level = kLevels[below(4)].scalar;
            char change[32];
            snprintf(change, sizeof change, " %08x %d", world.level, flag);
            what += change;
          }
          Step(what);
          // The tool reads the device once it is told: a flag put back meanwhile is no change.
          world.mutedElsewhere = flag != world.flag ? flag : world.mutedElsewhere;
          world.flag = flag;
          world.Followed();
        }
        break;
      case 4:  // the device taken out, or plugged in again
        if (endpoint) {
          what = present ? "device taken out" : "device plugged in again";
          ChangeSound(sound, [&](Sound& now) {
            now.waveIns[0].plugged = !present;
            now.waveIns[0].plug += present ? 0 : 1;
          });
          world.present = !present;
          world.muted = world.struck = false;
          present ? world.Failed() : world.Followed();
        }
        break;
      case 5:  // the tool's next stroke swallowed by another program, then let through
        what = "swallow; press";
        SwallowKeyEvents(2);
        press("press");
        break;
      case 6:  // the next level write fails; its box closed
        if (present) {
          what = "next write fails; " + std::string(below(2) == 0 ? "press" : "burst 4");
          ChangeSound(sound, [&](Sound& now) {
            now.failures.push_back({write, ++world.writes, endpoint ? 0x80004005 : 11});
          });
          Step(what.substr(18));  // the presses after the first come while its box is open
          Step(endpoint ? "box Tacetto|error #2147500037 calling setmastervolumelevelscalar()"
                        : "box Tacetto|error #11 calling mixersetcontroldetails()");
          world.Failed();
        }
        break;
      case 7:
        Step(what = std::string("strike ") + (scroll ? "91" : "90"));
        world.struck = !world.struck;
        break;
      case 8:
        Step(what = below(2) == 0 ? "front other" : "front tool");
        break;
      case 9:
        if (present) {
          const bool kill = !endNow && below(5) < 2;
          what = kill ? "killed, started again" : "closed, started again";
          restart(kill);
        }
        break;
      case 10:  // held through auto-repeats: one switch
        press(what = "presshold");
        break;
      case 11:
        Step(what = reading ? "reader off" : "reader on");
        reading = !reading;
        break;
      default:
        if (present) {
          Step(what = "again");
        }
        break;
    }
    if (what.empty()) {
      continue;
    }
    done.push_back(std::to_string(step) + " " + what);
    Poll(kSettledMs, [&] { return seen() == expected(); });
    Check("step " + std::to_string(step) + " (" + what + ")", expected(), seen());
    if (resume != nullptr) {
      CloseHandle(resume);
    }
    SwallowKeyEvents(0);
    const bool live = world.present && (world.xp ? world.level != 0 : !world.flag);
    const bool saysMuted = (LockLight(key) != 0) != inverted;
    Check("step " + std::to_string(step) + ": the light says muted while the line is live", "",
          live && saysMuted && !world.struck ? "it does" : "");
    if (failures != 0) {
      printf("  the walk stops at step %d of seed %u; the steps before:\n", step, seed);
      for (size_t i = done.size() > 10 ? done.size() - 10 : 0; i < done.size(); ++i) {
        printf("    %s\n", done[i].c_str());
      }
    }
  }
  Step("close");
  if (!world.present && !(world.mutedElsewhere && world.flag)) {  // nothing to put back: no box
    Step(failedLookup);
  }
  Step("exit");
  logSeen = LogLines().size();
  strokesSeen = Strokes().size();
}
