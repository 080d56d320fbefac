// The end-to-end scenarios as table rows, run by driver.cpp against one build of the programs.
#pragma once

struct Row {
  const char* name;
  const char* program;  // "tacetto" or "tastrel"
  bool windowsXp;       // the mixer path (Windows XP) or the endpoint path (Windows 10)
  const char* config;   // tacetto.cfg, lines separated by '/' (each written with CR LF); or none
  const char* sound;    // sound.txt of the doubles, '\n'-separated; or none
  const char* steps;    // steps separated by ";": actions and what must be seen (steps.cpp)
};

struct Macro {
  const char* name;  // "@open"
  const char* text;  // log lines separated by '|'; $1, $2 are the words after the name
};

// Device 0 with a microphone at level 7000 whose wave input's endpoint {mic} is at 0.25.
#define MIC "device Mic Array\nline 0x1003 7000\nwavein 0 3e800000 0 mic\n"
// The microphone (line 2 -1), start volume 80 % (level 52428, scalar 0x3f4ccccd),
// Ctrl+Shift+F9, Num Lock not inverted.
#define CFG80 "0/-1/1656/80/0/0"

// The mute tool's start failing at the first use of one call ("CALL 1 CODE"): no window, the box,
// the calls logged (the device closed and the endpoint released after the box), the end.
#define START_FAILS(name, xp, fail, box, log) \
  { name, "tacetto", xp, CFG80, MIC "fail " fail "\n", "boxh Tacetto|" box "; log " log "; exit" }

extern const Row kRows[];  // scenarios.cpp
extern const int kRowCount;
extern const Row kEndpointRows[];  // endpoint_scenarios.cpp
extern const int kEndpointRowCount;
extern const Macro kMacros[];
extern const int kMacroCount;
