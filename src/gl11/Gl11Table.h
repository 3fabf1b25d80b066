// The GL 1.1 layer as an OpenGL table: every call goes to the layer's Gl11*
// function of the same name (gl11/GL11.h says what they do). StartGl11
// installs it.
#pragma once

#include "gl11/GlTable.h"

GlTable Gl11Table();
