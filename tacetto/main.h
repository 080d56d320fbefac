// The mute tool's main line, from reading the configuration to restoring the line.
#pragma once

#include <cstdint>

// Runs the whole sequence; the result is the exit code, always 0.
int32_t RunTacetto();

// Puts back the keyboard state saved at start and sets the line to UnmutedVolume; only the
// first call after the window has started does anything.
void RestoreKeyboardAndLine();
