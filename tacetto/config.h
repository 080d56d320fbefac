// tacetto.cfg: six lines, one number each.
#pragma once

#include <cstdint>

// Reads the file, fills the six Cfg values, shows the set-up messages; 0 = go on, -1 = stop.
int32_t ReadConfig();
