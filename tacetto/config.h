// The six lines of tacetto.cfg.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kConfigValueCount = 6;

// Fills up to `size` bytes of `buffer` from `source`; returns how many, 0 at the end of the file
// or on a read error.
using ConfigReadFunction = size_t (*)(void* source, char* buffer, size_t size);

// The values of the six lines, in line order: each line's number, or its default when the line
// holds no character or is missing (-1 for the first four, 0 for the last two). A line ends at
// CR, with one LF right after it; a Ctrl-Z ends the data; a UTF-8 byte order mark at the very
// start is skipped. `read` nullptr: there is no file.
// Reads through a buffer of 512 bytes and stops after the sixth line.
void ReadConfigValues(ConfigReadFunction read, void* source, int32_t (&values)[kConfigValueCount]);
