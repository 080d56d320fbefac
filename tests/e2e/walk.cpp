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
#include "tests/e2e/walk_model.h"

namespace {

constexpr DWORD kSettledMs = 2500;  // a change made elsewhere, a device back, a stroke made again

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
  world.unmuted = world.ownLevel = world.level;
  const bool scroll = ConfigValue(4) != 0, inverted = ConfigValue(5) == 1;
  const BYTE key = scroll ? VK_SCROLL : VK_NUMLOCK;
  const std::string sound = folder + "\\sound.txt";
  const char* write = row.windowsXp ? "mixerSetControlDetails" : "SetMasterVolumeLevelScalar";
  std::string id = "mic", newId;  // the tool's endpoint, and the one a device paired again has
  std::vector<std::string> done;
  bool reading = false;  // another program reads the label without pause
  char late = 0;         // a change of the device's state told late: 'a' away, 'b' back
  int boxSteps = 0;      // the steps the box of a failed write stays open
  // What a user sees and what reached the sound system, as one line; the light only while the
  // tool's strokes reach the system.
  auto show = [&](const std::string& light, const std::string& label, uint32_t level, bool flag,
                  bool active, unsigned writes) {
    char device[64];
    snprintf(device, sizeof device, row.windowsXp ? "%u" : "%08x %d%s", level, flag,
             active ? "" : " away");
    return "light " + light + ", label \"" + label + "\", device " + device + ", writes " +
           std::to_string(writes);
  };
  auto swallowing = [] { return KeyEventsStillSwallowed() > 0; };
  auto endpointOf = [](const std::string& which) { return "{0.0.1.00000000}.{" + which + "}"; };
  auto seen = [&](bool hidden) {
    Sound now = SoundNow();
    const SoundWaveIn* in = now.WaveInOfEndpoint(endpointOf(id));
    const SoundWaveIn none = {0, 0, false, "", 1, true, 'u', ""};
    in = in != nullptr ? in : &none;
    return show(hidden ? "-" : OnOff(LockLight(key) != 0),
                WindowText(GetDlgItem(window, kTacettoLabelId)),
                row.windowsXp ? now.devices[0].lines[0].level : in->scalarBits, in->mute,
                in->plugged, now.counts[write]);
  };
  auto expected = [&](bool hidden) {
    return show(hidden ? "-" : OnOff((world.muted != world.struck) != inverted), world.label,
                world.level, world.flag, world.present, world.writes);
  };
  // One look at whether strokes are swallowed serves both sides: the count can run out on a
  // stroke of the tool's between two looks, and that stroke is lost until the tool strikes again.
  bool hidden = false;
  std::string want, got;
  auto agree = [&] {
    hidden = swallowing();
    want = expected(hidden);
    got = seen(hidden);
    return want == got;
  };
  auto changeDevice = [&](const std::string& which, auto change) {
    ChangeSound(sound, [&](Sound& now) { change(*now.WaveInOfEndpoint(endpointOf(which))); });
  };
  // Whether the tool has taken in news of its device's state told since `before`: it asked the
  // state (of a device removed and not found: looked it up), or, with its box open, the news came.
  // Until then nothing else changes: the doubles tell the state as it is when they come to it.
  auto stateTaken = [&](Sound& before) {
    const bool notFound = !world.present && world.away.away == 'r' && world.away.Has('n');
    const char* taken = world.boxOpen ? "news" : notFound ? "GetDevice" : "GetState";
    return SoundNow().counts[taken] > before.counts[taken];
  };
  // A change of state held back is told now, and taken in (then the device is read).
  auto tellLate = [&] {
    if (late != 0) {
      Sound before = SoundNow();
      changeDevice(id, [](SoundWaveIn& in) { in.variants.erase(in.variants.find('l'), 1); });
      late = 0;
      Poll(kSettledMs, [&] { return stateTaken(before); });
      world.Followed();
      Poll(kSettledMs, agree);  // its reads after the state done too
    }
  };
  auto press = [&](const std::string& how) {
    Step(how);
    const int times = how.rfind("burst", 0) == 0 ? atoi(how.c_str() + 6) : 1;
    const bool away = !world.present && !world.boxOpen;
    for (int n = 0; n < (away ? 1 : times); ++n) {
      world.Pressed();
    }
    if (away) {
      Step(kAwayBox);
    }
  };
  // The tool closed, its end checked. Under wine a program sees the lights off at its start,
  // whatever they show: before each start the walk strikes them off, as every row starts
  // (Windows hands a new program the lights as they are).
  auto close = [&](const std::string& what) {
    tellLate();
    const int swallowed = KeyEventsStillSwallowed();
    if (swallowed > 4) {  // let through while the tool strikes again at its end
      SwallowKeyEvents(4);
    } else if (swallowed == 0 && below(3) == 0) {  // its first stroke at the end
      SwallowKeyEvents(2);  // lost: a window in front that takes no injected keys
    }
    Step("close");
    const std::string box = world.Ended();
    if (!box.empty()) {
      Step(box);
    }
    Step("exit");
    SwallowKeyEvents(0);
    Poll(kSettledMs, agree);
    Check(what, want, got);
  };
  auto restart = [&](bool kill) {
    if (kill) {
      tellLate();
      const SoundLock between;  // killed between two sound calls: a client leaves the state whole
      EndProgram(process, 0);
    } else {
      close("closed");
    }
    if (world.repaired) {  // the device paired again is the next start's
      Sound now = SoundNow();
      const SoundWaveIn* in = now.WaveInOfEndpoint(endpointOf(newId));
      world.level = in->scalarBits;
      world.flag = in->mute;
      world.present = true;
      world.repaired = false;
      id = newId;
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
  int step = 1;
  for (; step <= steps && failures == 0; ++step) {
    if (hidden && !swallowing()) {  // the last strokes swallowed were the tool's, since the check
      Poll(kSettledMs, agree);
      Check("before step " + std::to_string(step) + ", once the strokes pass", want, got);
    }
    const bool endpoint = !row.windowsXp, present = world.present;
    std::string what;
    HANDLE resume = nullptr;
    // The steps and their weights: presses 4, a change made elsewhere 5, the device 2, a restart
    // 6, the rest 1; an open box is closed when its steps are over.
    constexpr int kDraw[] = {0, 0, 0, 0, 1, 2, 3, 3, 3, 3, 3,  4,  4,
                             5, 6, 7, 8, 9, 9, 9, 9, 9, 9, 10, 11, 12};
    int draw = world.boxOpen && --boxSteps <= 0 ? 13 : kDraw[below(sizeof kDraw / sizeof *kDraw)];
    if (world.flag && world.otherFlag && below(3) == 0) {  // after a mute made elsewhere: the end
      draw = 9;
    }
    if (world.boxOpen && (draw == 2 || draw == 6 || draw == 9)) {
      draw = 13;
    }
    if (swallowing() && draw == 7) {
      draw = 5;
    }
    switch (draw) {
      case 0:
        press(what = "press");
        tellLate();
        break;
      case 1:
        press(what = "burst " + std::to_string(3 + below(7)));
        tellLate();
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
          Step(kAwayBox);
        }
        tellLate();
        break;
      }
      case 3:  // a change made elsewhere: mute, unmute, a level; now and then two, told reversed
        if (endpoint && present) {
          std::string changes;
          // Over the tool's mute, two are often a mute button pressed twice: unmuted, muted again.
          const bool twice = world.flag && !world.otherFlag && below(2) == 0;
          const int count = below(3) == 0 ? 2 : 1;
          for (int n = count; n > 0; --n) {
            const bool flag = count == 2 && twice ? n == 1 : below(2) == 0;
            world.level = below(2) == 0 ? world.level : kLevels[below(4)].scalar;  // a mute button
            world.flag = flag;
            if (!world.dead) {  // a volume that died hears nothing until it is looked up anew
              world.Told(world.level, flag);
            }
            char change[32];
            snprintf(change, sizeof change, " %08x %d", world.level, flag);
            changes += change;
          }
          const uint32_t reads = SoundNow().counts["GetMute"];
          ChangeElsewhere(sound, id, changes);
          what = "elsewhere" + changes;
          if (!world.dead) {
            world.Followed();
          }
          if (!world.dead && !world.boxOpen) {  // each news read before the next step: a read
            // left over would find what that step changes, told or not
            Poll(kSettledMs, [&] { return SoundNow().counts["GetMute"] >= reads + count; });
          }
        }
        break;
      case 4:  // the device away (unplugged, disabled, removed), or back (under a new id: paired
               // again); its news now and then late or lost
        if (endpoint && !world.repaired) {
          tellLate();
          const int news = below(6);
          SoundWaveIn& away = world.away;
          const bool again = !present && away.away == 'r' && below(3) == 0;
          if (present) {
            away.away = "udr"[below(3)];
            away.variants = below(2) == 0 ? "a" : "";
            away.variants += away.away == 'r' && below(2) == 0 ? "n" : "";
            world.dead = world.dead || away.away == 'r' || (away.away == 'u' && below(2) == 0);
          }
          const std::string told = news == 0 ? "l" : news == 1 ? "x" : "";
          what =
              present ? "device away " + std::string(1, away.away) + away.variants : "device back";
          what += again       ? " paired again"
                  : news == 0 ? ", told late"
                  : news == 1 ? ", not told"
                              : "";
          Sound before = SoundNow();
          if (again) {
            newId = "mic" + std::to_string(step);
            ChangeSound(sound, [&](Sound& now) {
              now.waveIns.push_back({0, world.level, world.flag, newId, 1, true, 'u', ""});
            });
            world.repaired = true;
          } else {
            changeDevice(id, [&](SoundWaveIn& in) {
              in.plugged = !present;
              in.plug += present && (away.away == 'r' || world.dead) ? 1 : 0;
              in.away = away.away;
              in.variants = away.variants + told;
            });
            world.present = !present;
            late = news == 0 ? 'l' : 0;
          }
          if (!again && news >= 2) {  // told now: taken in before the next step, as a late one
            Poll(kSettledMs, [&] { return stateTaken(before); });
            world.Followed();
          }
        }
        break;
      case 5:  // the tool's strokes swallowed by another program: some, or until let through
        if (swallowing()) {
          SwallowKeyEvents(0);
          what = "strokes let through";
        } else {
          const int count = below(4);
          SwallowKeyEvents(count == 0 ? 1000 : 2 * count);
          what = "strokes swallowed: " + (count == 0 ? "until let through" : std::to_string(count));
        }
        break;
      case 6:  // the next level write fails; its box stays open for a few steps
        if (present) {
          what = "next write fails; " + std::string(below(2) == 0 ? "press" : "burst 4");
          ChangeSound(sound, [&](Sound& now) {
            now.failures.push_back({write, world.writes + 1, endpoint ? 0x80004005 : 11});
          });
          Step(what.substr(18));  // the presses after the first come while its box is open
          Step(endpoint ? "boxopen Tacetto|error #2147500037 calling setmastervolumelevelscalar()"
                        : "boxopen Tacetto|error #11 calling mixersetcontroldetails()");
          world.WriteFailed();
          boxSteps = below(4);
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
        if (present || world.repaired) {
          const bool kill = below(5) < 2;
          what = kill ? "killed, started again" : "closed, started again";
          restart(kill);
        }
        break;
      case 10:  // held through auto-repeats: one switch
        press(what = "presshold");
        tellLate();
        break;
      case 11:
        Step(what = reading ? "reader off" : "reader on");
        reading = !reading;
        break;
      case 12:
        if (present) {
          Step(what = "again");
        }
        break;
      default:
        tellLate();  // a change of state told late comes before the box closes, as at a press
        Step(what = "boxok");
        world.BoxClosed();
        break;
    }
    if (what.empty()) {
      continue;
    }
    done.push_back(std::to_string(step) + " " + what);
    Poll(kSettledMs, agree);
    Check("step " + std::to_string(step) + " (" + what + ")", want, got);
    if (resume != nullptr) {
      CloseHandle(resume);
    }
    const bool live = world.present && (world.xp ? world.level != 0 : !world.flag);
    const bool saysMuted = (LockLight(key) != 0) != inverted;
    Check("step " + std::to_string(step) + ": the light says muted while the line is live", "",
          live && saysMuted && !world.struck && !world.boxOpen && !hidden ? "it does" : "");
  }
  if (failures == 0) {
    if (world.boxOpen) {
      Step("boxok");
      world.BoxClosed();
    }
    close("the end of the walk");
  } else if (!done.empty()) {
    printf("  the walk stops at step %d of seed %u; the steps before:\n", step - 1, seed);
    for (size_t i = done.size() > 10 ? done.size() - 10 : 0; i < done.size(); ++i) {
      printf("    %s\n", done[i].c_str());
    }
  }
  logSeen = LogLines().size();
  strokesSeen = Strokes().size();
}
