// The main loop's timing rules, apart from the loop so that they can be checked
// at their edges without waiting for a clock.
#pragma once

#include <cstdint>

// A frame is due once more than 10 ms have passed since the previous one was
// presented. The difference is taken modulo 2^32, so a wrap of the tick does not
// stall the loop.
bool FrameDue(uint32_t now, uint32_t lastFrameTick);

// How many milliseconds after `now` the gate opens: 0 once a frame is due, at
// most 11 right after one was presented. The loop may wait that long for a
// message, and no longer.
uint32_t TimeUntilFrameDue(uint32_t now, uint32_t lastFrameTick);

// The frame rate is measured once more than 1000 ms have passed since the last
// measurement (a signed difference of the two ticks); `elapsed` receives it.
bool FpsUpdateDue(uint32_t frameTick, uint32_t lastFpsTick, int32_t& elapsed);

// Frames per second: frameCount x 1000 as a 32-bit product, divided in floating
// point and truncated toward zero.
int32_t MeasureFps(int32_t frameCount, int32_t elapsed);
