// Game setup and the three screens.
#pragma once

#include <cstdint>

#include "world/GameState.h"

// Frame-rate counters: the main loop counts, SetupGame restarts the count.
extern int32_t frameCount;
extern uint32_t lastFpsTick;
extern int32_t fps;

void SetupGame();
// What of the setup lives in the rendering context (clear colour, texture
// lists, font, blending, colour, culling), in the order the setup makes it:
// made again in a context that replaces a lost one, with the same world.
void SetupContext();
// One frame of the current screen: the routine `screen` selects.
void DrawScreenFrame();
void DrawMenu();
void PlayFrame();
void DrawPlayScreen();
void DrawInventorySlot(int32_t slot, int32_t top);
void CraftFrame();
int32_t HitRecipeCell(bool& clicked);
void DrawRecipeBox(int32_t x, int32_t y, Recipe row, bool highlighted);
