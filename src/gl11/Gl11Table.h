// The GL 1.1 layer as a filling of the OpenGL table: every call goes to the
// layer's Gl11* function of the same name (gl11/GL11.h says what they do).
#pragma once

#include "gl11/GlTable.h"

void FillGl11Table(GlTable& table);
