// The recording line's volume: the toggle between silence and the unmuted level, and the end of
// the run.
#pragma once

#include <cstdint>

// Request -1 reads the level, -2 restores UnmutedVolume, a value equal to CurrentVolume mutes,
// any other value sets that percentage. Returns the level in percent, or -1 after a failure
// that has been shown in a message box.
int32_t SwitchVolume(const int32_t& request);

// Saves the keyboard state for the end of the run.
void SaveKeyboardState();

// The end of the run, when the volume window is gone or the session ends: the keyboard state
// saved at start is put back and the line set to UnmutedVolume. Only the first call after
// SaveKeyboardState does anything.
void RestoreKeyboardAndLine();
