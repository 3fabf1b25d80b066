// The ES half: one program, one vertex array, one buffer, one sampler, one
// texture per image, and a cache of the ES state they were last left in, so a
// draw sets only what differs. Everything else in the layer reaches ES through
// the Es* functions here, and only while the layer is started.
#include <GLES3/gl3.h>

#include "gl11/Gl11Context.h"
#include "gl11/Gl11Table.h"

#include <cstdio>

namespace gl11 {

namespace {

struct EsObjects {
  GLuint program, vertexArray, vertexBuffer, sampler;
  // What ES was last set to.
  RasterState raster;
  GLuint texture;
  GLint minFilter, magFilter;
  float clearColour[4];
  std::vector<BatchVertex> upload;
};

EsObjects es;

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

// GL_MODULATE: the texel times the colour; untextured, the colour alone.
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

void DeleteEsObjects() {
  if (es.program) glDeleteProgram(es.program);
  if (es.vertexBuffer) glDeleteBuffers(1, &es.vertexBuffer);
  if (es.vertexArray) glDeleteVertexArrays(1, &es.vertexArray);
  if (es.sampler) glDeleteSamplers(1, &es.sampler);
  es.program = es.vertexBuffer = es.vertexArray = es.sampler = 0;
}

void EsEnable(GLenum cap, bool on, bool cached) {
  if (on == cached) return;
  if (on)
    glEnable(cap);
  else
    glDisable(cap);
}

void EsRaster(const RasterState& r) {
  if (r == es.raster) return;
  EsEnable(GL_BLEND, r.blend.on, es.raster.blend.on);
  if (r.blend.src != es.raster.blend.src || r.blend.dst != es.raster.blend.dst) glBlendFunc(r.blend.src, r.blend.dst);
  EsEnable(GL_DEPTH_TEST, r.depthTest, es.raster.depthTest);
  EsEnable(GL_CULL_FACE, r.cullFace, es.raster.cullFace);
  if (std::memcmp(r.viewport, es.raster.viewport, sizeof r.viewport) != 0)
    glViewport(r.viewport[0], r.viewport[1], r.viewport[2], r.viewport[3]);
  es.raster = r;
}

void EsTexture(const TextureState& t) {
  const GLuint texture = context.images[size_t(t.image)].texture;
  if (es.texture != texture) {
    glBindTexture(GL_TEXTURE_2D, texture);
    es.texture = texture;
  }
  if (t.minFilter != es.minFilter) glSamplerParameteri(es.sampler, GL_TEXTURE_MIN_FILTER, t.minFilter);
  if (t.magFilter != es.magFilter) glSamplerParameteri(es.sampler, GL_TEXTURE_MAG_FILTER, t.magFilter);
  es.minFilter = t.minFilter;
  es.magFilter = t.magFilter;
}

}  // namespace

void EsDraw(const Pass* passes, size_t count) {
  es.upload.clear();
  for (size_t k = 0; k < count; ++k) es.upload.insert(es.upload.end(), passes[k].corners.begin(), passes[k].corners.end());
  if (!es.upload.empty())
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(es.upload.size() * sizeof(BatchVertex)), es.upload.data(), GL_STREAM_DRAW);
  size_t first = 0;
  for (size_t k = 0; k < count; ++k) {
    const Pass& p = passes[k];
    if (p.clear) {
      if (std::memcmp(p.clearColour, es.clearColour, sizeof es.clearColour) != 0) {
        glClearColor(p.clearColour[0], p.clearColour[1], p.clearColour[2], p.clearColour[3]);
        std::memcpy(es.clearColour, p.clearColour, sizeof es.clearColour);
      }
      glClear(p.clearMask);
      continue;
    }
    EsRaster(p.raster);
    if (p.textured) EsTexture(p.texture);
    glDrawArrays(GL_TRIANGLES, GLint(first), GLsizei(p.corners.size()));
    first += p.corners.size();
  }
}

GLuint EsNewTexture(const Image& image) {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  es.texture = texture;
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, image.rgba.data());
  return texture;
}

void EsDeleteTexture(GLuint texture) {
  if (es.texture == texture) es.texture = 0;
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

using namespace gl11;

bool StartGl11(char* errorText, int errorSize) {
  StopGl11();
  GLuint vertex = CompileShader(GL_VERTEX_SHADER, kVertexShader, errorText, errorSize);
  if (!vertex) return false;
  GLuint fragment = CompileShader(GL_FRAGMENT_SHADER, kFragmentShader, errorText, errorSize);
  if (!fragment) {
    glDeleteShader(vertex);
    return false;
  }
  es.program = glCreateProgram();
  glAttachShader(es.program, vertex);
  glAttachShader(es.program, fragment);
  glLinkProgram(es.program);
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  GLint linked = GL_FALSE;
  glGetProgramiv(es.program, GL_LINK_STATUS, &linked);
  if (!linked) {
    if (errorText && errorSize > 0) std::snprintf(errorText, size_t(errorSize), "the layer's program does not link");
    DeleteEsObjects();
    return false;
  }
  glUseProgram(es.program);

  glGenVertexArrays(1, &es.vertexArray);
  glBindVertexArray(es.vertexArray);
  glGenBuffers(1, &es.vertexBuffer);
  glBindBuffer(GL_ARRAY_BUFFER, es.vertexBuffer);
  const GLsizei stride = sizeof(BatchVertex);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offsetof(BatchVertex, position)));
  glEnableVertexAttribArray(1);
  glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offsetof(BatchVertex, colour)));
  glEnableVertexAttribArray(2);
  glVertexAttribPointer(2, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offsetof(BatchVertex, texCoord)));

  glGenSamplers(1, &es.sampler);
  glBindSampler(0, es.sampler);
  glActiveTexture(GL_TEXTURE0);
  // The layer unpacks and packs rows itself.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);

  // The ES state the layer starts from, set rather than assumed: GL 1.1's
  // initial state, with the viewport the context was made with.
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_SCISSOR_TEST);
  glBlendFunc(GL_ONE, GL_ZERO);
  glDepthFunc(GL_LESS);
  glDepthMask(GL_TRUE);
  glCullFace(GL_BACK);
  glFrontFace(GL_CCW);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClearDepthf(1.0f);
  glBindTexture(GL_TEXTURE_2D, 0);
  glGetIntegerv(GL_VIEWPORT, context.raster.viewport);
  es.raster = context.raster;
  es.texture = 0;
  es.minFilter = context.texture.minFilter;
  es.magFilter = context.texture.magFilter;
  glSamplerParameteri(es.sampler, GL_TEXTURE_MIN_FILTER, es.minFilter);
  glSamplerParameteri(es.sampler, GL_TEXTURE_MAG_FILTER, es.magFilter);
  glSamplerParameteri(es.sampler, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glSamplerParameteri(es.sampler, GL_TEXTURE_WRAP_T, GL_REPEAT);
  std::memset(es.clearColour, 0, sizeof es.clearColour);
  context.started = true;
  InstallGlTable(Gl11Table());
  return true;
}

void StopGl11() {
  if (context.started) {
    // What is queued is dropped, undrawn, as with a context that goes.
    context.passCount = 0;
    for (Image& i : context.images)
      if (i.texture) glDeleteTextures(1, &i.texture);
    DeleteEsObjects();
  }
  ResetState();
}
