// The soak: one instance pressed many times, its resources read before the first press and after
// the last, so that anything that grows with the presses shows.
#pragma once

#include <cstdint>

#include "bench/bench_figures.h"

// Presses the program `presses` times, each as soon as label and light showed the last. Prints
//   soak PATH NAME PRESSES SEEN SECONDS
//   answer PATH NAME CALL RESULT...             (what each call answered before the first press)
//   count PATH NAME MEASURE BEFORE AFTER FROM   ("-" where no call answered)
// and returns false if the program could not be started or no press was seen.
bool Soak(const char* path, const Subject& subject, uint32_t hotkey, int presses);
