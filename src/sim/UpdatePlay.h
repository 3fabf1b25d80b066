// One frame of play: walking, jumping, falling, camera, digging, tunnel lighting
// and the range of columns to draw.
#pragma once

void UpdatePlay();
