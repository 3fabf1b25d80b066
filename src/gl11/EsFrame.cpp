// The frame of the layer's own (EsBackend.h): the game draws its fixed view
// into it, and the page shows it at whatever size it has room for. Showing it
// larger by repeating pixels makes strokes of one width come out one or two
// pixels wider in one place than in the next; here every shown pixel takes
// the frame's colours in the shares of its area they cover, so a stroke keeps
// one weight wherever it lies, an edge is soft over one pixel at most, and a
// whole multiple repeats every pixel exactly.
#include "gl11/EsBackend.h"

#include <GLES3/gl3.h>

#include <algorithm>
#include <cstdio>

namespace gl11 {

namespace {

struct FrameObjects {
  GLuint framebuffer, colour, depth, program;
  GLint scale;  // the uniform
  GLsizei width, height;
};

FrameObjects frame;

// Unit 1 holds the frame's colour for the showing, so unit 0 stays the
// layer's own.
constexpr GLint kFrameUnit = 1;

// One triangle over the whole target: corners (-1, -1), (3, -1), (-1, 3),
// counter-clockwise.
const char kShowVertexShader[] = R"(#version 300 es
void main() {
  gl_Position = vec4(float((gl_VertexID & 1) * 4 - 1), float((gl_VertexID & 2) * 2 - 1), 0.0, 1.0);
}
)";

// `scale` is shown pixels per frame pixel, at least 1 on each axis, so a
// shown pixel spans at most one border between frame pixels, the one nearest
// its centre. Its share past that border is where one linear sample between
// the two pixels' centres is taken: one fetch, which a software renderer
// draws far faster than four.
const char kShowFragmentShader[] = R"(#version 300 es
precision highp float;
uniform highp sampler2D frame;
uniform vec2 scale;
out vec4 colour;
void main() {
  vec2 centre = gl_FragCoord.xy / scale;
  vec2 border = floor(centre + 0.5);
  vec2 past = clamp((centre - border) * scale + 0.5, 0.0, 1.0);
  colour = texture(frame, (border - 0.5 + past) / vec2(textureSize(frame, 0)));
}
)";

void Fail(char* error, int errorSize, const char* text) {
  if (error && errorSize > 0) std::snprintf(error, size_t(errorSize), "%s", text);
}

}  // namespace

bool EsFrameStart(GLsizei width, GLsizei height, char* error, int errorSize) {
  EsFrameStop();
  frame.program = EsLinkProgram(kShowVertexShader, kShowFragmentShader, error, errorSize);
  if (!frame.program) return false;
  glUseProgram(frame.program);
  glUniform1i(glGetUniformLocation(frame.program, "frame"), kFrameUnit);
  frame.scale = glGetUniformLocation(frame.program, "scale");

  glActiveTexture(GL_TEXTURE0 + kFrameUnit);
  glGenTextures(1, &frame.colour);
  glBindTexture(GL_TEXTURE_2D, frame.colour);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  // Complete without mipmaps; the showing's one sample mixes two pixels.
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glActiveTexture(GL_TEXTURE0);
  glGenRenderbuffers(1, &frame.depth);
  glBindRenderbuffer(GL_RENDERBUFFER, frame.depth);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);

  glGenFramebuffers(1, &frame.framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, frame.framebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, frame.colour, 0);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, frame.depth);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    Fail(error, errorSize, "the layer's frame is not a complete framebuffer");
    EsFrameStop();
    return false;
  }
  frame.width = width;
  frame.height = height;
  glViewport(0, 0, width, height);
  return true;
}

void EsFrameStop() {
  if (frame.framebuffer) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &frame.framebuffer);
  }
  if (frame.depth) glDeleteRenderbuffers(1, &frame.depth);
  if (frame.colour) glDeleteTextures(1, &frame.colour);
  if (frame.program) glDeleteProgram(frame.program);
  frame = FrameObjects();
}

void EsFrameShow(GLsizei width, GLsizei height) {
  if (!frame.framebuffer || width <= 0 || height <= 0) return;
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glUseProgram(frame.program);
  glUniform2f(frame.scale, std::max(1.0f, float(width) / float(frame.width)),
              std::max(1.0f, float(height) / float(frame.height)));
  glBindVertexArray(0);
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glViewport(0, 0, width, height);
  glDrawArrays(GL_TRIANGLES, 0, 3);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, frame.framebuffer);
  EsResume();
}

}  // namespace gl11
