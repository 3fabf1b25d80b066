// Immediate mode and the queue. A primitive becomes triangles in clip space and
// joins the last queued draw whose raster state (and texture, when both are
// textured) it shares, even across later draws of other states, as long as
// none of those touches its window-space bounds: draws that cover different
// pixels give the same pixels in either order. A primitive wholly outside the
// viewport is dropped: GL clips it away, and it would only cost the rasterizer
// a clipping pass (the game draws a row and a column of tiles beyond the
// view). The draws and clears of a frame
// wait in the queue and reach ES together at the next flush: glFlush,
// glFinish, glReadPixels, or the clear that starts the next frame.
//
// Neighbouring untextured rectangles of one colour (a column of sky) become
// one: two rectangles that share a whole side cover exactly the pixels of the
// rectangle round both, with the same colour and depth, and a software
// rasterizer pays for every triangle's edges.
#include "gl11/Gl11Context.h"

namespace gl11 {

namespace {

// How many draws back a primitive may look for one to join.
constexpr size_t kLookBack = 16;
// Past this many queued corners the queue goes to ES without waiting for a flush.
constexpr size_t kQueueLimit = 1 << 18;

// A new pass at the end of the queue, reusing the storage of an earlier frame's.
Pass& AddPass() {
  Context& c = context;
  if (c.passCount == c.passes.size()) c.passes.emplace_back();
  Pass& p = c.passes[c.passCount++];
  p.clear = false;
  p.clearMask = 0;
  std::memset(p.clearColour, 0, sizeof p.clearColour);
  p.textured = false;
  p.corners.clear();
  return p;
}

void AddCorner(const PrimitiveVertex& v, bool textured) {
  BatchVertex b;
  std::memcpy(b.position, v.position, sizeof b.position);
  std::memcpy(b.colour, v.colour, sizeof b.colour);
  b.texCoord[0] = v.texCoord[0];
  b.texCoord[1] = v.texCoord[1];
  b.textured = textured ? 1.0f : 0.0f;
  context.primitiveCorners.push_back(b);
}

void AddTriangle(size_t a, size_t b, size_t c, bool textured) {
  AddCorner(context.primitive[a], textured);
  AddCorner(context.primitive[b], textured);
  AddCorner(context.primitive[c], textured);
}

// Every triangle keeps the winding its primitive was given in, so culling
// treats it as GL treats the primitive.
void Triangulate(bool textured) {
  const size_t n = context.primitive.size();
  context.primitiveCorners.clear();
  switch (context.primitiveMode) {
    case GL_TRIANGLE_STRIP:
      // Every other triangle turned round.
      for (size_t i = 0; i + 2 < n; ++i) {
        if (i % 2 == 0)
          AddTriangle(i, i + 1, i + 2, textured);
        else
          AddTriangle(i + 1, i, i + 2, textured);
      }
      break;
    case GL_POLYGON:
      for (size_t i = 1; i + 1 < n; ++i) AddTriangle(0, i, i + 1, textured);
      break;
    default:  // GL_QUADS
      for (size_t i = 0; i + 3 < n; i += 4) {
        AddTriangle(i, i + 1, i + 2, textured);
        AddTriangle(i, i + 2, i + 3, textured);
      }
      break;
  }
}

// The window-space box around the primitive's vertices, a pixel wider on every
// side; unbounded when a vertex is not in front of the eye.
void PrimitiveBounds(float bounds[4]) {
  const GLint* viewport = context.raster.viewport;
  bounds[0] = bounds[1] = 1e30f;
  bounds[2] = bounds[3] = -1e30f;
  for (const PrimitiveVertex& v : context.primitive) {
    const float w = v.position[3];
    const float x = (v.position[0] / w * 0.5f + 0.5f) * float(viewport[2]) + float(viewport[0]);
    const float y = (v.position[1] / w * 0.5f + 0.5f) * float(viewport[3]) + float(viewport[1]);
    if (!(w > 0.0f) || !(x > -1e29f && x < 1e29f) || !(y > -1e29f && y < 1e29f)) {
      bounds[0] = bounds[1] = -1e30f;
      bounds[2] = bounds[3] = 1e30f;
      return;
    }
    if (x < bounds[0]) bounds[0] = x;
    if (y < bounds[1]) bounds[1] = y;
    if (x > bounds[2]) bounds[2] = x;
    if (y > bounds[3]) bounds[3] = y;
  }
  bounds[0] -= 1.0f;
  bounds[1] -= 1.0f;
  bounds[2] += 1.0f;
  bounds[3] += 1.0f;
}

// Whether the primitive is four corners of an axis-aligned rectangle in clip
// space, going round it (so its two triangles cover it once), at w 1 with one
// depth and one colour; if so `r` gets it.
bool AsRectangle(QueuedRect& r) {
  const std::vector<PrimitiveVertex>& v = context.primitive;
  if (v.size() != 4) return false;
  for (const PrimitiveVertex& p : v)
    if (p.position[3] != 1.0f || p.position[2] != v[0].position[2] ||
        std::memcmp(p.colour, v[0].colour, sizeof p.colour) != 0)
      return false;
  // A strip's corners go round as 0, 1, 3, 2.
  const bool strip = context.primitiveMode == GL_TRIANGLE_STRIP;
  const float* k[4] = {v[0].position, v[1].position, v[strip ? 3 : 2].position, v[strip ? 2 : 3].position};
  const bool upright = k[0][0] == k[1][0] && k[1][1] == k[2][1] && k[2][0] == k[3][0] && k[3][1] == k[0][1];
  const bool across = k[0][1] == k[1][1] && k[1][0] == k[2][0] && k[2][1] == k[3][1] && k[3][0] == k[0][0];
  if (!(upright || across) || k[0][0] == k[2][0] || k[0][1] == k[2][1]) return false;
  r.x0 = k[0][0] < k[2][0] ? k[0][0] : k[2][0];
  r.x1 = k[0][0] < k[2][0] ? k[2][0] : k[0][0];
  r.y0 = k[0][1] < k[2][1] ? k[0][1] : k[2][1];
  r.y1 = k[0][1] < k[2][1] ? k[2][1] : k[0][1];
  r.z = k[0][2];
  std::memcpy(r.colour, v[0].colour, sizeof r.colour);
  r.counterClockwise = (k[1][0] - k[0][0]) * (k[2][1] - k[0][1]) - (k[2][0] - k[0][0]) * (k[1][1] - k[0][1]) > 0.0f;
  return true;
}

// Widens `into` by `r` when the two are alike and share a whole side.
bool Widen(QueuedRect& into, const QueuedRect& r) {
  if (r.z != into.z || r.counterClockwise != into.counterClockwise ||
      std::memcmp(r.colour, into.colour, sizeof r.colour) != 0)
    return false;
  const bool column = r.x0 == into.x0 && r.x1 == into.x1 && (r.y0 == into.y1 || r.y1 == into.y0);
  const bool row = r.y0 == into.y0 && r.y1 == into.y1 && (r.x0 == into.x1 || r.x1 == into.x0);
  if (!column && !row) return false;
  if (r.x0 < into.x0) into.x0 = r.x0;
  if (r.y0 < into.y0) into.y0 = r.y0;
  if (r.x1 > into.x1) into.x1 = r.x1;
  if (r.y1 > into.y1) into.y1 = r.y1;
  return true;
}

// The rectangle's two triangles, untextured, in its winding.
void WriteRectangle(BatchVertex* corners, const QueuedRect& r) {
  const float xs[6] = {r.x0, r.x1, r.x1, r.x0, r.x1, r.x0};
  const float ys[6] = {r.y0, r.y0, r.y1, r.y0, r.y1, r.y1};
  for (int k = 0; k < 6; ++k) {
    // Clockwise: the second and third corners of each triangle change places.
    const int from = r.counterClockwise || k % 3 == 0 ? k : (k % 3 == 1 ? k + 1 : k - 1);
    BatchVertex& b = corners[k];
    b.position[0] = xs[from];
    b.position[1] = ys[from];
    b.position[2] = r.z;
    b.position[3] = 1.0f;
    std::memcpy(b.colour, r.colour, sizeof b.colour);
    b.texCoord[0] = b.texCoord[1] = 0.0f;
    b.textured = 0.0f;
  }
}

bool Overlap(const float a[4], const float b[4]) { return a[0] < b[2] && b[0] < a[2] && a[1] < b[3] && b[1] < a[3]; }

// Whether a primitive drawn under `raster` with `texture` (when textured) can go into pass p.
bool Joins(const Pass& p, const RasterState& raster, bool textured, const TextureState& texture) {
  return p.raster == raster && !(textured && p.textured && p.texture != texture);
}

}  // namespace

void BeginPrimitive(GLenum mode) {
  if (mode != GL_QUADS && mode != GL_TRIANGLE_STRIP && mode != GL_POLYGON) {
    SetError(GL_INVALID_ENUM);
    return;
  }
  context.inBegin = true;
  context.primitiveMode = mode;
  context.primitive.clear();
}

void AddVertex(float x, float y) {
  if (!context.inBegin) return;  // GL leaves a vertex outside glBegin/glEnd undefined
  PrimitiveVertex v;
  Transform(Mvp(), x, y, v.position);
  std::memcpy(v.colour, context.colour, sizeof v.colour);
  v.texCoord[0] = context.texCoord[0];
  v.texCoord[1] = context.texCoord[1];
  context.primitive.push_back(v);
}

// The primitive goes into the latest queued draw it can join: the last one, or
// an earlier one when no draw after that touches its bounds.
void EndPrimitive() {
  Context& c = context;
  if (!c.inBegin) {
    SetError(GL_INVALID_OPERATION);
    return;
  }
  c.inBegin = false;
  if (c.primitive.size() < 3) return;
  if (c.queuedCorners >= kQueueLimit) FlushQueue();
  const bool textured = c.texturing && TextureComplete();
  float bounds[4];
  PrimitiveBounds(bounds);
  const GLint* viewport = c.raster.viewport;
  const float view[4] = {float(viewport[0]), float(viewport[1]), float(viewport[0]) + float(viewport[2]),
                         float(viewport[1]) + float(viewport[3])};
  if (!Overlap(bounds, view)) return;

  Pass* target = nullptr;
  for (size_t k = c.passCount; k > 0 && c.passCount - k < kLookBack; --k) {
    Pass& p = c.passes[k - 1];
    if (p.clear) break;
    if (Joins(p, c.raster, textured, c.defaultTexture)) {
      target = &p;
      break;
    }
    if (Overlap(p.bounds, bounds)) break;
  }
  if (!target) {
    target = &AddPass();
    target->raster = c.raster;
    std::memcpy(target->bounds, bounds, sizeof bounds);
  }
  if (textured && !target->textured) {
    target->texture = c.defaultTexture;
    target->textured = true;
  }
  for (int k = 0; k < 2; ++k) {
    if (bounds[k] < target->bounds[k]) target->bounds[k] = bounds[k];
    if (bounds[k + 2] > target->bounds[k + 2]) target->bounds[k + 2] = bounds[k + 2];
  }
  QueuedRect rect;
  const bool isRect = !textured && AsRectangle(rect);
  const size_t pass = size_t(target - c.passes.data());
  if (isRect && c.lastRect.valid && c.lastRect.pass == pass && c.lastRect.end == target->corners.size() &&
      Widen(c.lastRect, rect)) {
    WriteRectangle(&target->corners[c.lastRect.end - 6], c.lastRect);
    return;
  }
  Triangulate(textured);
  target->corners.insert(target->corners.end(), c.primitiveCorners.begin(), c.primitiveCorners.end());
  c.queuedCorners += c.primitiveCorners.size();
  c.lastRect = rect;
  c.lastRect.valid = isRect;
  c.lastRect.pass = pass;
  c.lastRect.end = target->corners.size();
}

void QueueClear(GLbitfield mask) {
  // A clear starts a frame: what the last one queued goes to ES now.
  FlushQueue();
  Pass& p = AddPass();
  p.clear = true;
  p.clearMask = mask;
  std::memcpy(p.clearColour, context.clearColour, sizeof p.clearColour);
}

void FlushQueue() {
  if (context.passCount == 0) return;
  if (context.started) EsDraw(context.passes.data(), context.passCount);
  context.passCount = 0;
  context.lastRect.valid = false;
  context.queuedCorners = 0;
}

}  // namespace gl11
