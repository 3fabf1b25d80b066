// Which OpenGL the Linux render thread runs the game's calls on: the GL 1.1
// layer (gl11/GL11.h) in an OpenGL ES 3 context, or the system's OpenGL as
// the game calls it. The layer batches a frame's immediate-mode calls into a
// few draws and keeps each texture list's image, where the system's OpenGL
// re-uploads it at every call; with a software rasterizer that halves what a
// play frame costs. So the layer is taken wherever an ES 3 context can be had,
// and an open that is refused one goes on with the system's OpenGL without a
// word to the player.
//
// A maintainer forces either with the environment variable QUARN_GL ("layer"
// or "desktop"); each open says on stderr which one draws when that changes.
// No SDL here: what an open tries is a pure function of the setting and of
// what happened before.
#pragma once

enum class RenderGl : unsigned char { Layer, Desktop };

// The OpenGL an open tries first. `setting` is QUARN_GL's value (null when
// unset); `layerBuilt` whether this build has the layer (libgles-dev);
// `layerRefused` whether an earlier open of this run was refused an ES 3
// context, which a later one need not ask for again. An open that tries the
// layer and is refused goes on with RenderGl::Desktop. `note`, when the
// setting is not understood or cannot be followed, gets the line to print.
RenderGl ChooseRenderGl(const char* setting, bool layerBuilt, bool layerRefused, const char** note);

// What stderr says draws: "the GL 1.1 layer on OpenGL ES 3", "the system's OpenGL".
const char* RenderGlName(RenderGl gl);
