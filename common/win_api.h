// Windows constants used by the portable logic. In the Windows builds they come
// from the SDK headers; natively they are defined here under the same names and values, so that
// the logic reads alike in both.
#pragma once

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_ENDSESSION = 0x0016;
constexpr uint32_t WM_INITDIALOG = 0x0110;
constexpr uint32_t WM_COMMAND = 0x0111;
constexpr uint32_t WM_TIMER = 0x0113;
constexpr uint32_t WM_HOTKEY = 0x0312;

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;

constexpr uint32_t KEYEVENTF_EXTENDEDKEY = 0x0001;
constexpr uint32_t KEYEVENTF_KEYUP = 0x0002;
constexpr uint8_t VK_NUMLOCK = 0x90;
constexpr uint8_t VK_SCROLL = 0x91;

constexpr uint32_t BN_CLICKED = 0;
#endif

// Hotkey field message of the common controls (commctrl.h).
constexpr uint32_t kHkmGetHotkey = 0x0402;
