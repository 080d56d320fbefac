// The probe window: a hotkey field and a button that registers the combination typed into it.
#pragma once

#include <cstdint>

#include "common/window_system.h"

constexpr uint16_t kInstructionsLabelId = 1001;
constexpr uint16_t kHotkeyFieldId = 1002;
constexpr uint16_t kFieldCaptionId = 1003;
constexpr uint16_t kActivateButtonId = 1004;

extern WindowHandle ProbeDialog;
extern int32_t HotkeyAtom;

// Builds the window and its controls, runs it and returns when it is gone; the dialog result,
// 0 after the system close command.
int32_t RunProbeWindow(WindowHandle parent);

int32_t ProbeWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// The five numbered steps shown in the window, each ended by CR LF.
extern const char* const kProbeInstructions;
