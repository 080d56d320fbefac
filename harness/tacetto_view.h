// The mute tool as its user sees it: its window and its label.
#pragma once

#include <string>

inline constexpr char kTacettoTitle[] = "Tacetto v0.2alpha by Quorvel";
inline constexpr int kTacettoLabelId = 201;
inline constexpr char kTacettoGreeting[] =
    "Hotkey dr\xFC"
    "cken zum Lautst\xE4"
    "rke umschalten!";

// The label at a level of `percent` (-1: a failed switch, or the device gone).
inline std::string LabelText(int percent) {
  return "Mikrofon/Line-Volume: " + std::to_string(percent) + "%";
}
