// The Win32 virtual-key numbers the game and its platform core use by name.
// <windows.h> defines the same names as macros with the same values; whichever
// header comes first, both orders compile.
#pragma once

#include <cstdint>

#ifndef VK_ESCAPE
constexpr uint32_t VK_BACK = 8;
constexpr uint32_t VK_TAB = 9;
constexpr uint32_t VK_CLEAR = 12;
constexpr uint32_t VK_RETURN = 13;
constexpr uint32_t VK_SHIFT = 16;
constexpr uint32_t VK_CONTROL = 17;
constexpr uint32_t VK_MENU = 18;  // Alt
constexpr uint32_t VK_PAUSE = 19;
constexpr uint32_t VK_CAPITAL = 20;
constexpr uint32_t VK_ESCAPE = 27;
constexpr uint32_t VK_SPACE = 32;
constexpr uint32_t VK_PRIOR = 33;
constexpr uint32_t VK_NEXT = 34;
constexpr uint32_t VK_END = 35;
constexpr uint32_t VK_HOME = 36;
constexpr uint32_t VK_LEFT = 37;
constexpr uint32_t VK_UP = 38;
constexpr uint32_t VK_RIGHT = 39;
constexpr uint32_t VK_DOWN = 40;
constexpr uint32_t VK_SNAPSHOT = 44;
constexpr uint32_t VK_INSERT = 45;
constexpr uint32_t VK_DELETE = 46;
constexpr uint32_t VK_LWIN = 91;
constexpr uint32_t VK_RWIN = 92;
constexpr uint32_t VK_APPS = 93;
constexpr uint32_t VK_NUMPAD0 = 96;
constexpr uint32_t VK_MULTIPLY = 106;
constexpr uint32_t VK_ADD = 107;
constexpr uint32_t VK_SUBTRACT = 109;
constexpr uint32_t VK_DECIMAL = 110;
constexpr uint32_t VK_DIVIDE = 111;
constexpr uint32_t VK_F1 = 112;
constexpr uint32_t VK_F10 = 121;
constexpr uint32_t VK_F13 = 124;
constexpr uint32_t VK_NUMLOCK = 144;
constexpr uint32_t VK_SCROLL = 145;
constexpr uint32_t VK_OEM_1 = 186;  // ;:
constexpr uint32_t VK_OEM_PLUS = 187;
constexpr uint32_t VK_OEM_COMMA = 188;
constexpr uint32_t VK_OEM_MINUS = 189;
constexpr uint32_t VK_OEM_PERIOD = 190;
constexpr uint32_t VK_OEM_2 = 191;  // /?
constexpr uint32_t VK_OEM_3 = 192;  // `~
constexpr uint32_t VK_OEM_4 = 219;  // [{
constexpr uint32_t VK_OEM_5 = 220;  // \|
constexpr uint32_t VK_OEM_6 = 221;  // ]}
constexpr uint32_t VK_OEM_7 = 222;  // '"
constexpr uint32_t VK_OEM_102 = 226;
#endif
