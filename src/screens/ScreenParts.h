// Pieces the screens share: a picture of the sprite sheet and the click latch of
// a rectangular button.
#pragma once

#include <cstdint>

// Picture `picture` (0..5) of the sprite sheet over the rectangle, t from 0 at its
// top edge to 1 at its bottom. The strip runs (left, top), (left, bottom),
// (right, top), (right, bottom): counter-clockwise on the y-down screen. The
// caller chooses the texture, the tint and whether texturing is on.
void DrawSpritePicture(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t picture);

// A button with strict edges. While the pointer is over it the latch is consumed
// on every frame, pressed or not, so a press acts once and nothing behind the
// button ever sees it. Sets the hover or idle colour; true when it was clicked.
bool HandleButton(int32_t left, int32_t top, int32_t right, int32_t bottom, const float hover[3],
                  const float idle[3]);
