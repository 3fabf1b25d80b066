// Browser key events in the platform core's terms (Keyboard.h). No browser
// headers: it is plain text in, numbers out, so it builds and is tested on
// every system.
#pragma once

#include <cstdint>

// The usage of the key a KeyboardEvent.code names (its place on the
// keyboard); 0 for codes the game has no key for.
uint16_t UsageOfCode(const char* code);

// What a KeyboardEvent.key says the key types now, as the core wants it: a
// one-character ASCII letter, digit, point or comma; 0 for anything else.
char CharacterOfKey(const char* key);

// The keys whose browser default (scrolling, the help page) the game takes
// over: Esc, the arrows, F1 and what the keypad turns into arrows.
bool GameUsesKey(uint32_t virtualKey);
