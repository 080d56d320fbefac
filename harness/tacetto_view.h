// The mute tool as its user sees it: its window and its label.
#pragma once

inline constexpr char kTacettoTitle[] = "Tacetto v0.2alpha by Quorvel";
inline constexpr int kTacettoLabelId = 201;
inline constexpr char kTacettoGreeting[] =
    "Hotkey dr\xFC"
    "cken zum Lautst\xE4"
    "rke umschalten!";
