// The recording line's volume: the toggle between silence and the unmuted level, and the end of
// the run.
#pragma once

#include <cstdint>

// Request -1 reads the level, -2 restores UnmutedVolume, a value equal to CurrentVolume mutes
// (on the endpoint only while LineMuted is 0), any other value sets that percentage. Before a level
// is written the lock light shows the line muted or live (after a read: live); when the write
// fails, it shows again what it showed before. Returns the level in percent, or -1 after a failure
// that has been shown in a message box.
int32_t SwitchVolume(const int32_t& request);

// The end of the run, when the volume window is gone or the session ends: the line set to
// UnmutedVolume, the light to live; an endpoint muted elsewhere last is left as it is. Only the
// first call does anything.
void RestoreLine();
