// What the mute tool's scenarios expect of it: its window, the configured hotkey, its boxes, and
// what it asks of the mixer.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "tests/e2e/debugged_process.h"
#include "tests/e2e/report.h"

inline constexpr char kTacettoTitle[] = "Tacetto v0.2alpha by Quorvel";
inline constexpr int kTacettoLabelId = 201;
inline constexpr char kTacettoGreeting[] =
    "Hotkey dr\xFC"
    "cken zum Lautst\xE4"
    "rke umschalten!";

// Ctrl+Shift+F9 as a hotkey number: modifier set 6, key code 0x78.
inline constexpr uint32_t kHotkey = 6 * 256 + VK_F9;
static_assert(kHotkey == 1656, "the configured hotkey number");

inline constexpr uint32_t kMixerErrorStyle = 0x2010;  // MB_OK | MB_ICONHAND | MB_TASKMODAL
inline constexpr uint32_t kMicrophone = 0x1003;       // MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE
// What a device with no level set so far reports.
inline constexpr uint32_t kUntouchedLevel = 7000;

// The label's text after a press that left the line at `percent`.
inline std::string VolumeLabel(int percent) {
  return "Mikrofon/Line-Volume: " + std::to_string(percent) + "%";
}

// The tool opened mixer #1 and looked up its microphone line.
void ExpectVolumeOpened(Report& report, DebuggedProcess& process);
