// Browser keys as Win32 virtual keys. No browser headers: it is plain text in,
// a number out, so it builds and is tested on every system.
#pragma once

#include <cstdint>

// The Win32 virtual key of a key event from its KeyboardEvent.code (the key's
// position) and .key (what it means in the current layout and lock state): the
// letters and digits by layout, the keypad's digits and point as numbers with
// NumLock on and as the keys printed under them without it (the browser tells
// which by .key), everything else by position. 0 for keys with no number.
uint32_t VirtualKeyFromCode(const char* code, const char* key);

// The keys whose browser default (scrolling, the help page) the game takes
// over: Esc, the arrows, F1 and what the keypad turns into arrows.
bool GameUsesKey(uint32_t virtualKey);

// Keys held now, by KeyboardEvent.code, with the virtual key each went down as.
struct HeldKey {
  char code[32];  // "" for a free entry
  uint32_t virtualKey;
};
constexpr int32_t HeldKeyCount = 64;
extern HeldKey heldKeys[HeldKeyCount];

// The virtual key of a key event, remembered from its press for its release:
// a key goes up as the key it went down as, whatever NumLock did meanwhile.
uint32_t KeyEventVirtualKey(const char* code, const char* key, bool down);

// Forgets every held key (the page lost the focus: their releases will not
// come); their virtual keys go to `out`, and the result is how many.
int32_t TakeHeldKeys(uint32_t out[HeldKeyCount]);
