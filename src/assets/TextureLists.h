// Textures kept as display lists that re-upload their image into the context's
// one default texture when called.
#pragma once

#include <cstdint>

extern uint32_t spriteTextureList;
extern uint32_t fontTextureList;

void CreateTextureLists();
void CompileTextureList(uint32_t list, const char* fileName);
// Records `fileName` into `list`: the upload, GL_REPEAT wrapping and, for the font,
// GL_NEAREST filters.
void RecordTextureList(uint32_t list, const char* fileName, bool nearestFilters);
