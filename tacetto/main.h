// The mute tool's main line, from reading the configuration to restoring the line.
#pragma once

#include <cstdint>

// Runs the whole sequence; the result is the exit code, always 0.
int32_t RunTacetto();
