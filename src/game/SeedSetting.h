// QUARN_SEED: the one setting, a fixed world seed for reproducible worlds.
#pragma once

#include <cstdint>

// Accepts only plain decimal digits with a value from 0 to 4294967295 (no sign,
// no blanks, no other characters).
bool ParseSeed(const char* text, uint32_t& seed);

// Applies the variable's value when it is set: a valid seed fixes every world
// generated from now on; anything else is ignored with a warning on stderr.
// True when a seed was fixed.
bool ApplySeedSetting(const char* value);
