// The demonstration run of the mute tool (scripts/demo.sh): not a test scenario.
#pragma once

// Works with a tacetto.exe started from the current directory, whose tacetto.cfg is there:
// waits for its window, prints the label and the lock light, presses the configured hotkey twice
// printing the label and the light after each press, saves pictures of the window as BMP files into
// `shotDir` (a Windows path), closes the window with the system close command and prints the exit
// code and the light. With `elsewhere`, before the close another program mutes the recording
// device and then unmutes it (the capture endpoint of the sound doubles), with the label and the
// light printed after each. Returns 0 if the labels, the lights and the exit code were the expected
// ones and the pictures were saved.
int RunDemo(const char* shotDir, bool elsewhere);

// Works with a tastrel.exe already started: puts Ctrl+Alt+M into its hotkey field, clicks
// "Hotkey aktivieren" and saves a picture of the answer over the window as probe-window.bmp.
int RunProbeDemo(const char* shotDir);

// Waits for the window with `title` of a program already started, saves a picture of it as
// `name`.bmp and closes it.
int RunPictureDemo(const char* title, const char* name, const char* shotDir);

// Prints the lines of the doubles' sound.log at `path`; a scalar of the capture endpoint (the bits
// of a float, eight hex digits) gets its value in percent after it.
int PrintSoundLog(const char* path);
