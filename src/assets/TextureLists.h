// Textures kept as display lists that re-upload their image into the context's
// one default texture when called.
#pragma once

#include <cstdint>

extern uint32_t spriteTextureList;
extern uint32_t fontTextureList;

void CreateTextureLists();
void CompileTextureList(uint32_t list, const char* fileName);
