// The volume window: owns the global hotkey and shows the level after each press.
#pragma once

#include <cstdint>

#include "common/window_system.h"

constexpr uint16_t kVolumeLabelId = 201;

// Builds the window, registers the hotkey, shows the window and runs it until it is closed.
void RunVolumeWindow();

int32_t VolumeWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
