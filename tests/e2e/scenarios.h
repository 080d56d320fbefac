// The end-to-end scenarios as table rows, run by driver.cpp against one build of the programs.
#pragma once

struct Row {
  const char* name;
  const char* program;  // "tacetto" or "tastrel"
  bool windowsXp;       // the mixer path (Windows XP) or the endpoint path (Windows 10)
  const char* config;   // tacetto.cfg, lines separated by '/' (each written with CR LF); or none
  const char* sound;    // sound.txt of the doubles, '\n'-separated; or none
  const char* steps;    // one step a line: actions and what must be seen (driver.cpp)
};

struct Macro {
  const char* name;  // "@open"
  const char* text;  // log lines separated by '|'; $1, $2 are the words after the name
};

extern const Row kRows[];
extern const int kRowCount;
extern const Macro kMacros[];
extern const int kMacroCount;
