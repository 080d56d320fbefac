// The mute tool as its user sees it: its window, its label and the hotkey the drivers configure.
#pragma once

#include <windows.h>

#include <cstdint>

inline constexpr char kTacettoTitle[] = "Tacetto v0.2alpha by Quorvel";
inline constexpr int kTacettoLabelId = 201;
inline constexpr char kTacettoGreeting[] =
    "Hotkey dr\xFC"
    "cken zum Lautst\xE4"
    "rke umschalten!";
// Ctrl+Shift+F9 as a hotkey number: modifier set 6, key code 0x78.
inline constexpr uint32_t kHotkey = 6 * 256 + VK_F9;
