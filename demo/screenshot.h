// Pictures of windows as they are on the screen, for the docs and for looking at a failed run.
#pragma once

#include <windows.h>

// Copies the screen rectangle of `window` (GetWindowRect, frame included) from the screen DC
// into a 24-bit BMP file. False if the window has no area or the file cannot be written.
bool SaveScreenshot(HWND window, const char* bmpPath);

// The same for any rectangle of the screen in screen coordinates, e.g. the union of a window
// and its message box.
bool SaveScreenRect(const RECT& rect, const char* bmpPath);

// When E2E_SCREENSHOT_DIR is set: saves `window` (or `rect`) there as `name`.bmp (run_e2e.sh
// turns it into `name`.png) and says so on stdout. Without the variable nothing is done and the
// result is true; false only if a picture was asked for and could not be saved.
bool SaveScreenshotIfAsked(HWND window, const char* name);
bool SaveScreenRectIfAsked(const RECT& rect, const char* name);
