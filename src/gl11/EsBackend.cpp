// The ES half (EsBackend.h): two programs (with and without the texture), one
// vertex array, one buffer, one sampler, one texture per image, and what ES
// was last set to.
#include "gl11/EsBackend.h"

#include <GLES3/gl3.h>

#include <cstdio>

namespace gl11 {

namespace {

// What EsStart made.
struct EsObjects {
  GLuint programs[2];  // [0] colour only, [1] the texel times the colour
  GLuint vertexArray, vertexBuffer, sampler;
};

// What ES was last set to, so a draw sets only what differs.
struct EsSettings {
  RasterState raster;
  GLuint boundTexture;
  GLint minFilter, magFilter;
  float clearColour[4];
  int program;  // index into EsObjects::programs
};

// The most corners one ES draw takes; a pass with more is drawn in pieces, in
// order. When any triangle of a draw needs clipping, Mesa's software pipeline
// runs the whole draw through its clipper and, each time its small vertex
// buffer fills, marks every vertex of the draw anew: a cost that grows with
// the square of the draw's size (a play frame's tiles are one pass of about
// 3,000 corners, and the edge columns need clipping). Pieces of 64 quads
// keep that small for a few more draw calls.
constexpr size_t kDrawCorners = 384;

EsObjects objects;
EsSettings lastSet;
// The corners of every pass of a draw, uploaded at once; kept for its storage.
std::vector<BatchVertex> uploadCorners;

const char kVertexShader[] = R"(#version 300 es
layout(location = 0) in vec4 position;
layout(location = 1) in vec4 colour;
layout(location = 2) in vec3 texCoordTextured;
out vec4 vColour;
out vec2 vTexCoord;
flat out float vTextured;
void main() {
  gl_Position = position;
  vColour = colour;
  vTexCoord = texCoordTextured.xy;
  vTextured = texCoordTextured.z;
}
)";

// GL_MODULATE: the texel times the colour; untextured, the colour alone. A
// draw's untextured triangles go to kColourShader instead wherever they come
// in a run: a software rasterizer samples the texture for every fragment the
// shader could sample it for, and half a play frame is sky, grass and leaves.
const char kFragmentShader[] = R"(#version 300 es
precision highp float;
uniform highp sampler2D image;
in vec4 vColour;
in vec2 vTexCoord;
flat in float vTextured;
out vec4 fragColour;
void main() {
  vec4 texel = texture(image, vTexCoord);
  fragColour = vTextured > 0.5 ? vColour * texel : vColour;
}
)";

const char kColourShader[] = R"(#version 300 es
precision highp float;
in vec4 vColour;
out vec4 fragColour;
void main() {
  fragColour = vColour;
}
)";

GLuint CompileShader(GLenum kind, const char* source, char* error, int errorSize) {
  GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok) return shader;
  char log[256] = "";
  glGetShaderInfoLog(shader, sizeof log, nullptr, log);
  for (char* p = log; *p; ++p)
    if (*p == '\n') *p = ' ';
  if (error && errorSize > 0)
    std::snprintf(error, size_t(errorSize), "the %s shader does not compile (an ES 3 context?): %s",
                  kind == GL_VERTEX_SHADER ? "vertex" : "fragment", log);
  glDeleteShader(shader);
  return 0;
}

void DeleteObjects() {
  for (GLuint program : objects.programs)
    if (program) glDeleteProgram(program);
  if (objects.vertexBuffer) glDeleteBuffers(1, &objects.vertexBuffer);
  if (objects.vertexArray) glDeleteVertexArrays(1, &objects.vertexArray);
  if (objects.sampler) glDeleteSamplers(1, &objects.sampler);
  objects = EsObjects();
}

void SetCapability(GLenum cap, bool on) {
  if (on)
    glEnable(cap);
  else
    glDisable(cap);
}

void ChangeCapability(GLenum cap, bool on, bool was) {
  if (on != was) SetCapability(cap, on);
}

void SetRaster(const RasterState& r) {
  if (r == lastSet.raster) return;
  const RasterState& was = lastSet.raster;
  ChangeCapability(GL_BLEND, r.blend.on, was.blend.on);
  if (r.blend.src != was.blend.src || r.blend.dst != was.blend.dst) glBlendFunc(r.blend.src, r.blend.dst);
  ChangeCapability(GL_DEPTH_TEST, r.depthTest, was.depthTest);
  ChangeCapability(GL_CULL_FACE, r.cullFace, was.cullFace);
  if (std::memcmp(r.viewport, was.viewport, sizeof r.viewport) != 0)
    glViewport(r.viewport[0], r.viewport[1], r.viewport[2], r.viewport[3]);
  lastSet.raster = r;
}

void SetTexture(const TextureState& t) {
  if (lastSet.boundTexture != t.esTexture) {
    glBindTexture(GL_TEXTURE_2D, t.esTexture);
    lastSet.boundTexture = t.esTexture;
  }
  if (t.minFilter != lastSet.minFilter) glSamplerParameteri(objects.sampler, GL_TEXTURE_MIN_FILTER, t.minFilter);
  if (t.magFilter != lastSet.magFilter) glSamplerParameteri(objects.sampler, GL_TEXTURE_MAG_FILTER, t.magFilter);
  lastSet.minFilter = t.minFilter;
  lastSet.magFilter = t.magFilter;
}

// The program of `vertex` (kept) and the fragment shader of `source`; 0 on failure.
GLuint LinkProgram(GLuint vertex, const char* source, char* error, int errorSize) {
  GLuint fragment = CompileShader(GL_FRAGMENT_SHADER, source, error, errorSize);
  if (!fragment) return 0;
  GLuint program = glCreateProgram();
  glAttachShader(program, vertex);
  glAttachShader(program, fragment);
  glLinkProgram(program);
  glDeleteShader(fragment);
  GLint linked = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (linked) return program;
  if (error && errorSize > 0) std::snprintf(error, size_t(errorSize), "the layer's program does not link");
  glDeleteProgram(program);
  return 0;
}

void UseProgram(int program) {
  if (program == lastSet.program) return;
  glUseProgram(objects.programs[program]);
  lastSet.program = program;
}

// The pass's triangles from `first` in the buffer, in order: each run of
// textured or untextured ones with its program, in pieces of kDrawCorners.
void DrawPass(const Pass& p, size_t first) {
  const size_t count = p.corners.size();
  size_t done = 0;
  while (done < count) {
    const bool textured = p.textured && p.corners[done].textured > 0.5f;
    size_t end = done + 3;
    while (end < count && end - done < kDrawCorners && (p.textured && p.corners[end].textured > 0.5f) == textured)
      end += 3;
    UseProgram(textured ? 1 : 0);
    glDrawArrays(GL_TRIANGLES, GLint(first + done), GLsizei(end - done));
    done = end;
  }
}

}  // namespace

GLuint EsLinkProgram(const char* vertexSource, const char* fragmentSource, char* error, int errorSize) {
  GLuint vertex = CompileShader(GL_VERTEX_SHADER, vertexSource, error, errorSize);
  if (!vertex) return 0;
  GLuint program = LinkProgram(vertex, fragmentSource, error, errorSize);
  glDeleteShader(vertex);
  return program;
}

bool EsStart(RasterState& raster, const TextureState& texture, const float clearColour[4], char* error,
             int errorSize) {
  GLuint vertex = CompileShader(GL_VERTEX_SHADER, kVertexShader, error, errorSize);
  if (!vertex) return false;
  const char* fragments[2] = {kColourShader, kFragmentShader};
  for (int k = 0; k < 2; ++k) {
    objects.programs[k] = LinkProgram(vertex, fragments[k], error, errorSize);
    if (!objects.programs[k]) {
      glDeleteShader(vertex);
      DeleteObjects();
      return false;
    }
  }
  glDeleteShader(vertex);
  glUseProgram(objects.programs[1]);
  lastSet.program = 1;

  glGenVertexArrays(1, &objects.vertexArray);
  glBindVertexArray(objects.vertexArray);
  glGenBuffers(1, &objects.vertexBuffer);
  glBindBuffer(GL_ARRAY_BUFFER, objects.vertexBuffer);
  const GLsizei stride = sizeof(BatchVertex);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offsetof(BatchVertex, position)));
  glEnableVertexAttribArray(1);
  glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offsetof(BatchVertex, colour)));
  glEnableVertexAttribArray(2);
  glVertexAttribPointer(2, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offsetof(BatchVertex, texCoord)));

  glGenSamplers(1, &objects.sampler);
  glBindSampler(0, objects.sampler);
  glActiveTexture(GL_TEXTURE0);
  // The layer unpacks and packs rows itself.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);

  // The state the layer starts from, set rather than assumed, with the viewport
  // the context was made with.
  SetCapability(GL_BLEND, raster.blend.on);
  SetCapability(GL_DEPTH_TEST, raster.depthTest);
  SetCapability(GL_CULL_FACE, raster.cullFace);
  glDisable(GL_SCISSOR_TEST);
  glBlendFunc(raster.blend.src, raster.blend.dst);
  glDepthFunc(GL_LESS);
  glDepthMask(GL_TRUE);
  glCullFace(GL_BACK);
  glFrontFace(GL_CCW);
  glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
  glClearDepthf(1.0f);
  glBindTexture(GL_TEXTURE_2D, 0);
  glGetIntegerv(GL_VIEWPORT, raster.viewport);
  lastSet.raster = raster;
  lastSet.boundTexture = 0;
  lastSet.minFilter = texture.minFilter;
  lastSet.magFilter = texture.magFilter;
  glSamplerParameteri(objects.sampler, GL_TEXTURE_MIN_FILTER, lastSet.minFilter);
  glSamplerParameteri(objects.sampler, GL_TEXTURE_MAG_FILTER, lastSet.magFilter);
  glSamplerParameteri(objects.sampler, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glSamplerParameteri(objects.sampler, GL_TEXTURE_WRAP_T, GL_REPEAT);
  std::memcpy(lastSet.clearColour, clearColour, sizeof lastSet.clearColour);
  return true;
}

void EsStop() { DeleteObjects(); }

void EsResume() {
  glUseProgram(objects.programs[lastSet.program]);
  glBindVertexArray(objects.vertexArray);
  const RasterState& r = lastSet.raster;
  SetCapability(GL_BLEND, r.blend.on);
  SetCapability(GL_DEPTH_TEST, r.depthTest);
  SetCapability(GL_CULL_FACE, r.cullFace);
  glViewport(r.viewport[0], r.viewport[1], r.viewport[2], r.viewport[3]);
}

void EsDraw(const Pass* passes, size_t count) {
  uploadCorners.clear();
  for (size_t k = 0; k < count; ++k)
    uploadCorners.insert(uploadCorners.end(), passes[k].corners.begin(), passes[k].corners.end());
  if (!uploadCorners.empty())
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(uploadCorners.size() * sizeof(BatchVertex)), uploadCorners.data(),
                 GL_STREAM_DRAW);
  size_t first = 0;
  for (size_t k = 0; k < count; ++k) {
    const Pass& p = passes[k];
    if (p.clear) {
      if (std::memcmp(p.clearColour, lastSet.clearColour, sizeof lastSet.clearColour) != 0) {
        glClearColor(p.clearColour[0], p.clearColour[1], p.clearColour[2], p.clearColour[3]);
        std::memcpy(lastSet.clearColour, p.clearColour, sizeof lastSet.clearColour);
      }
      glClear(p.clearMask);
      continue;
    }
    SetRaster(p.raster);
    if (p.textured) SetTexture(p.texture);
    DrawPass(p, first);
    first += p.corners.size();
  }
}

GLuint EsNewTexture(int32_t width, int32_t height, const uint8_t* rgba) {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  lastSet.boundTexture = texture;
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  return texture;
}

void EsDeleteTexture(GLuint texture) {
  if (lastSet.boundTexture == texture) lastSet.boundTexture = 0;
  glDeleteTextures(1, &texture);
}

void EsReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, uint8_t* rgba) {
  glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

GLenum EsError() { return glGetError(); }

void EsFlush(bool finish) {
  if (finish)
    glFinish();
  else
    glFlush();
}

}  // namespace gl11
