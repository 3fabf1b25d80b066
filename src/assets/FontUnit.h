// The bitmap font: 128 glyph display lists and text drawing in a fixed 800 x 600 view.
#pragma once

#include <cstdint>

extern uint32_t fontBase;

void SetupFont();
void BuildGlyphLists();
// Text standing on the line y, starting at x, in 800 x 600 view units.
void DrawTextAt(int32_t x, int32_t y, const char* text);
void FreeGlyphLists();
