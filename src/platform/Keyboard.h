// Keys as the platform core knows them, whatever the system: a key's place on
// the keyboard is its USB HID usage (page 7), which SDL's scancodes are and the
// browser's KeyboardEvent.code names; with what it types in the current layout,
// that gives its Win32 virtual key.
#pragma once

#include <cstdint>

// A few usages the backends and tests name.
constexpr uint16_t UsageA = 0x04;
constexpr uint16_t UsageEscape = 0x29;
constexpr uint16_t UsageF1 = 0x3A;
constexpr uint16_t UsageRight = 0x4F;
constexpr uint16_t UsageLeft = 0x50;
constexpr uint16_t UsageDown = 0x51;
constexpr uint16_t UsageUp = 0x52;
constexpr uint16_t UsageKeypad1 = 0x59;  // Keypad1..Keypad9, then Keypad0 at 0x62
constexpr uint16_t UsageKeypad0 = 0x62;
constexpr uint16_t UsageKeypadPoint = 0x63;
constexpr uint16_t UsageCount = 256;

// The virtual key of the key at `usage` that types `character` now (an ASCII
// letter or digit, the keypad's decimal point or comma, or 0 for anything
// else). Letters and digits follow the layout, as Win32's virtual keys do, and
// fall back to the key's place; the keypad's digits and point are numbers while
// they type them (NumLock on, Shift not swapping them) and the keys printed
// under them otherwise; everything else goes by its place on a US keyboard.
// 0 for keys the game has no number for.
uint32_t VirtualKeyOf(uint16_t usage, char character);

// The key event's lParam as Win32 makes it: repeat count 1, bit 30 "was
// already down", bit 31 "being released".
intptr_t KeyLParam(bool down, bool repeat);

// Alt itself, anything pressed with Alt held, and F10 are system keys on
// Win32: the window procedure leaves them to the default handling.
bool IsSystemKey(uint32_t virtualKey, bool altHeld);
