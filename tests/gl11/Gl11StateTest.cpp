// The GL 1.1 layer's own state, with no ES context: the layer is never started,
// so it keeps every state, image and queued draw and sends nothing to ES. What
// the render tests cannot see: the stacks at their limits, rows read back under
// a pack alignment unlike the unpack one, and which draws the queue merges.
#include "gl11/Gl11Context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

using gl11::context;

class Gl11StateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StopGl11();  // every state to its initial value
    Gl11Viewport(0, 0, 100, 100);
    Gl11MatrixMode(GL_PROJECTION);
    Gl11Ortho(0, 100, 0, 100, -1, 1);
    Gl11MatrixMode(GL_MODELVIEW);
  }
  void TearDown() override { StopGl11(); }
};

// --- the stacks ---

enum class Stack { Attrib, Modelview, Projection };

const GLenum kFactors[] = {GL_ZERO, GL_ONE, GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR, GL_SRC_ALPHA,
                           GL_ONE_MINUS_SRC_ALPHA, GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA, GL_DST_COLOR};

// Gives the stack's state a value that tells level k from every other.
void MarkLevel(Stack stack, int k) {
  if (stack == Stack::Attrib) {
    if (k % 2)
      Gl11Enable(GL_BLEND);
    else
      Gl11Disable(GL_BLEND);
    Gl11BlendFunc(kFactors[k % 9], kFactors[(k + 4) % 9]);
    Gl11ClearColor(0.0f, 0.0f, 0.0f, float(k) / 32.0f);
    return;
  }
  Gl11MatrixMode(stack == Stack::Modelview ? GL_MODELVIEW : GL_PROJECTION);
  Gl11LoadIdentity();
  Gl11Translatef(float(k), 0.0f, 0.0f);
}

::testing::AssertionResult ShowsLevel(Stack stack, int k) {
  if (stack == Stack::Attrib) {
    GLint src = 0, dst = 0;
    Gl11GetIntegerv(GL_BLEND_SRC, &src);
    Gl11GetIntegerv(GL_BLEND_DST, &dst);
    if (Gl11IsEnabled(GL_BLEND) == GLboolean(k % 2) && GLenum(src) == kFactors[k % 9] &&
        GLenum(dst) == kFactors[(k + 4) % 9] && context.clearColour[3] == float(k) / 32.0f)
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "blend " << int(Gl11IsEnabled(GL_BLEND)) << " " << src << " " << dst
                                         << ", clear alpha " << context.clearColour[3] << ", want level " << k;
  }
  GLfloat m[16];
  Gl11GetFloatv(stack == Stack::Modelview ? GL_MODELVIEW_MATRIX : GL_PROJECTION_MATRIX, m);
  if (m[12] == float(k)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "translation " << m[12] << ", want level " << k;
}

void Push(Stack stack) {
  if (stack == Stack::Attrib) return Gl11PushAttrib(GL_COLOR_BUFFER_BIT);
  Gl11MatrixMode(stack == Stack::Modelview ? GL_MODELVIEW : GL_PROJECTION);
  Gl11PushMatrix();
}

void Pop(Stack stack) {
  if (stack == Stack::Attrib) return Gl11PopAttrib();
  Gl11MatrixMode(stack == Stack::Modelview ? GL_MODELVIEW : GL_PROJECTION);
  Gl11PopMatrix();
}

// 16 attribute frames; 32 matrices per stack, the current one among them.
TEST_F(Gl11StateTest, StacksFillToTheirLimitAndGiveEveryLevelBack) {
  const struct {
    Stack stack;
    int pushes;
  } cases[] = {{Stack::Attrib, 16}, {Stack::Modelview, 31}, {Stack::Projection, 31}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.stack));
    for (int k = 0; k < c.pushes; ++k) {
      MarkLevel(c.stack, k);
      Push(c.stack);
    }
    MarkLevel(c.stack, c.pushes);
    ASSERT_EQ(Gl11GetError(), GLenum(GL_NO_ERROR));
    Push(c.stack);
    EXPECT_EQ(Gl11GetError(), GLenum(GL_STACK_OVERFLOW));
    EXPECT_TRUE(ShowsLevel(c.stack, c.pushes));
    for (int k = c.pushes - 1; k >= 0; --k) {
      Pop(c.stack);
      EXPECT_TRUE(ShowsLevel(c.stack, k));
    }
    EXPECT_EQ(Gl11GetError(), GLenum(GL_NO_ERROR));
    Pop(c.stack);
    EXPECT_EQ(Gl11GetError(), GLenum(GL_STACK_UNDERFLOW));
    EXPECT_TRUE(ShowsLevel(c.stack, 0));
  }
}

// glTranslate, glScale and glOrtho multiply the current matrix on the right, so
// a translation after a flip moves along the flipped axis.
TEST_F(Gl11StateTest, TransformsMultiplyOnTheRight) {
  Gl11LoadIdentity();
  Gl11Translatef(10.0f, 20.0f, 0.0f);
  Gl11Scalef(2.0f, -1.0f, 1.0f);
  Gl11Translated(3.0, 5.0, 0.0);
  Gl11Ortho(0, 100, 0, 50, -1, 1);
  GLfloat m[16];
  Gl11GetFloatv(GL_MODELVIEW_MATRIX, m);
  const GLfloat want[16] = {0.04f, 0, 0, 0, 0, -0.04f, 0, 0, 0, 0, -1, 0, 14, 16, 0, 1};
  for (int k = 0; k < 16; ++k) EXPECT_FLOAT_EQ(m[k], want[k]) << k;
}

// --- rows in memory ---

// A 3 x 2 image of 24-bit texels goes in with its rows padded to one alignment
// and comes out padded to another; padding is neither read nor written.
TEST_F(Gl11StateTest, RowsArePaddedToTheUnpackAlignmentInAndThePackAlignmentOut) {
  const struct {
    GLint unpack, pack;
    GLenum format;
  } cases[] = {{1, 4, GL_RGB}, {4, 1, GL_RGB}, {8, 2, GL_RGB}, {2, 8, GL_RGBA}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "unpack " << c.unpack << ", pack " << c.pack);
    const size_t in = (9 + size_t(c.unpack) - 1) / size_t(c.unpack) * size_t(c.unpack);
    std::vector<uint8_t> source(2 * in, 0xEE);
    for (size_t y = 0; y < 2; ++y)
      for (size_t i = 0; i < 9; ++i) source[y * in + i] = uint8_t(10 * y + i + 1);
    Gl11PixelStorei(GL_UNPACK_ALIGNMENT, c.unpack);
    Gl11PixelStorei(GL_PACK_ALIGNMENT, c.pack);
    Gl11TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 3, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, source.data());

    const size_t components = c.format == GL_RGB ? 3 : 4;
    const size_t out = (3 * components + size_t(c.pack) - 1) / size_t(c.pack) * size_t(c.pack);
    std::vector<uint8_t> read(2 * out, 0xAA);
    Gl11GetTexImage(GL_TEXTURE_2D, 0, c.format, GL_UNSIGNED_BYTE, read.data());
    std::vector<uint8_t> want(2 * out, 0xAA);
    for (size_t y = 0; y < 2; ++y)
      for (size_t x = 0; x < 3; ++x)
        for (size_t k = 0; k < components; ++k)
          want[y * out + x * components + k] = k == 3 ? 255 : uint8_t(10 * y + 3 * x + k + 1);
    EXPECT_EQ(read, want);
    EXPECT_EQ(Gl11GetError(), GLenum(GL_NO_ERROR));
  }
}

// --- the queue ---

enum class Change {
  None, BlendOn, BlendFunc, DepthOn, DepthOff, CullOn, Viewport, ViewportMoved, NewImage, Filter, TextureOff,
  TextureOn, NewFrame
};

void Apply(Change change) {
  const GLubyte texel[4] = {1, 2, 3, 4};
  switch (change) {
    case Change::None: break;
    case Change::BlendOn: Gl11Enable(GL_BLEND); break;
    case Change::BlendFunc: Gl11BlendFunc(GL_ONE, GL_ONE); break;
    case Change::DepthOn: Gl11Enable(GL_DEPTH_TEST); break;
    case Change::DepthOff: Gl11Disable(GL_DEPTH_TEST); break;
    case Change::CullOn: Gl11Enable(GL_CULL_FACE); break;
    case Change::Viewport: Gl11Viewport(0, 0, 100, 99); break;
    // The view's 100 x 100 units on window pixels 50 to 100.
    case Change::ViewportMoved: Gl11Viewport(50, 50, 50, 50); break;
    case Change::NewImage: {
      // Held by a list, as the game's images are, so no image goes in the case.
      const GLuint list = Gl11GenLists(1);
      Gl11NewList(list, GL_COMPILE);
      Gl11TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
      Gl11EndList();
      Gl11CallList(list);
      break;
    }
    case Change::Filter: Gl11TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR); break;
    case Change::TextureOff: Gl11Disable(GL_TEXTURE_2D); break;
    case Change::TextureOn: Gl11Enable(GL_TEXTURE_2D); break;
    case Change::NewFrame:
      // The queue is sent (here: dropped) and the clear takes the storage of the
      // draw that was queued first.
      Gl11Finish();
      Gl11Clear(GL_COLOR_BUFFER_BIT);
      break;
  }
}

// A 10 x 10 square, counter-clockwise, at (x, y) in the 100 x 100 view.
void Square(int x, int y) {
  Gl11Begin(GL_QUADS);
  Gl11Vertex2i(x, y);
  Gl11Vertex2i(x + 10, y);
  Gl11Vertex2i(x + 10, y + 10);
  Gl11Vertex2i(x, y + 10);
  Gl11End();
}

// Each case: squares drawn one after another, each after a state change, and the
// corners of each queued draw (6 per square). Every square is textured (with a
// complete 1 x 1 image) unless the texture is turned off. A square wholly
// outside the viewport is not queued at all.
TEST_F(Gl11StateTest, DrawsMergeOnlyUnderTheSameStateAndNeverAcrossAnOverlap) {
  const struct {
    const char* name;
    std::vector<std::pair<Change, int>> squares;  // the change, then a square at (x, x)
    std::vector<size_t> corners;
  } cases[] = {
      {"same state", {{Change::None, 10}, {Change::None, 15}}, {12}},
      {"blend on", {{Change::None, 10}, {Change::BlendOn, 15}}, {6, 6}},
      {"blend function", {{Change::BlendOn, 10}, {Change::BlendFunc, 15}}, {6, 6}},
      {"depth test", {{Change::None, 10}, {Change::DepthOn, 15}}, {6, 6}},
      {"culling", {{Change::None, 10}, {Change::CullOn, 15}}, {6, 6}},
      {"viewport", {{Change::None, 10}, {Change::Viewport, 15}}, {6, 6}},
      {"image", {{Change::None, 10}, {Change::NewImage, 15}}, {6, 6}},
      {"filter", {{Change::None, 10}, {Change::Filter, 15}}, {6, 6}},
      {"untextured joins textured", {{Change::None, 10}, {Change::TextureOff, 15}}, {12}},
      {"textured joins untextured, then keeps its image",
       {{Change::TextureOff, 10}, {Change::TextureOn, 15}, {Change::NewImage, 20}},
       {12, 6}},
      {"back past a draw elsewhere", {{Change::None, 10}, {Change::DepthOn, 60}, {Change::DepthOff, 20}}, {12, 6}},
      {"not past one it overlaps", {{Change::None, 10}, {Change::DepthOn, 60}, {Change::DepthOff, 65}}, {6, 6, 6}},
      {"nor past one it touches", {{Change::None, 10}, {Change::DepthOn, 60}, {Change::DepthOff, 70}}, {6, 6, 6}},
      {"nor into a clear", {{Change::None, 10}, {Change::NewFrame, 10}}, {0, 6}},
      {"none outside the view", {{Change::None, 10}, {Change::None, 110}, {Change::None, -12}}, {6}},
      {"one partly in it", {{Change::None, 95}, {Change::None, -10}}, {12}},
      {"outside a moved viewport", {{Change::ViewportMoved, 60}, {Change::None, 104}}, {6}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    Apply(Change::NewImage);
    Gl11Enable(GL_TEXTURE_2D);
    for (const auto& square : c.squares) {
      Apply(square.first);
      Square(square.second, square.second);
    }
    ASSERT_EQ(Gl11GetError(), GLenum(GL_NO_ERROR));
    std::vector<size_t> corners;
    for (size_t k = 0; k < context.passCount; ++k) corners.push_back(context.passes[k].corners.size());
    EXPECT_EQ(corners, c.corners);
  }
}

// Untextured rectangles of one colour that share a whole side are queued as
// one rectangle round both; anything else that would draw other pixels stays
// apart. Each case: rectangles 10 high (a strip unless said), the corners
// queued, and the box those corners span. (Other colours and textured tiles
// side by side are the screens' own, which the render tests compare.)
TEST_F(Gl11StateTest, NeighbouringRectanglesOfOneColourBecomeOne) {
  struct Rect {
    int x, y;
    GLenum mode = GL_TRIANGLE_STRIP;
    bool clockwise = false;
    int width = 10, skew = 0;  // skew: a quad's last corner that much to the left
  };
  const struct {
    const char* name;
    std::vector<Rect> rects;
    size_t corners;
    float box[4];  // view units x0, y0, x1, y1 of all corners
  } cases[] = {
      {"one below the other", {{10, 10}, {10, 20}}, 6, {10, 10, 20, 30}},
      {"one above the other", {{10, 20}, {10, 10}}, 6, {10, 10, 20, 30}},
      {"side by side, as quads", {{10, 10, GL_QUADS}, {20, 10, GL_QUADS}}, 6, {10, 10, 30, 20}},
      {"a column of three", {{10, 10}, {10, 20}, {10, 30}}, 6, {10, 10, 20, 40}},
      {"clockwise ones too", {{10, 10, GL_QUADS, true}, {10, 20, GL_QUADS, true}}, 6, {10, 10, 20, 30}},
      {"not sharing a whole side", {{10, 10}, {15, 20}}, 12, {10, 10, 25, 30}},
      {"nor one only as wide", {{10, 10}, {10, 20, GL_TRIANGLE_STRIP, false, 15}}, 12, {10, 10, 25, 30}},
      {"not with a gap", {{10, 10}, {10, 21}}, 12, {10, 10, 20, 31}},
      {"not the other way round", {{10, 10, GL_QUADS}, {10, 20, GL_QUADS, true}}, 12, {10, 10, 20, 30}},
      {"not a quad that is no rectangle", {{10, 10, GL_QUADS}, {10, 20, GL_QUADS, false, 10, 2}},
       12, {8, 10, 20, 30}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    Gl11Color3f(1.0f, 0.5f, 0.25f);
    for (const Rect& r : c.rects) {
      const int x1 = r.x + r.width, y1 = r.y + 10;
      // Strip order, or round the rectangle (either way) for quads.
      int corners[4][2] = {{r.x, r.y}, {r.x, y1}, {x1, r.y}, {x1, y1}};
      if (r.mode == GL_QUADS && !r.clockwise) {
        const int round[4][2] = {{r.x, r.y}, {x1, r.y}, {x1, y1}, {r.x - r.skew, y1}};
        std::memcpy(corners, round, sizeof corners);
      } else if (r.mode == GL_QUADS) {
        const int round[4][2] = {{r.x, r.y}, {r.x, y1}, {x1, y1}, {x1, r.y}};
        std::memcpy(corners, round, sizeof corners);
      }
      Gl11Begin(r.mode);
      for (const auto& k : corners) Gl11Vertex2i(k[0], k[1]);
      Gl11End();
    }
    ASSERT_EQ(Gl11GetError(), GLenum(GL_NO_ERROR));
    ASSERT_EQ(context.passCount, 1u);
    const std::vector<gl11::BatchVertex>& corners = context.passes[0].corners;
    EXPECT_EQ(corners.size(), c.corners);
    float box[4] = {1e9f, 1e9f, -1e9f, -1e9f};
    for (const gl11::BatchVertex& v : corners) {
      // Clip space back to the 100 x 100 view.
      const float x = (v.position[0] + 1.0f) * 50.0f, y = (v.position[1] + 1.0f) * 50.0f;
      box[0] = std::min(box[0], x);
      box[1] = std::min(box[1], y);
      box[2] = std::max(box[2], x);
      box[3] = std::max(box[3], y);
    }
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(box[k], c.box[k], 1e-3f) << "box side " << k;
    // One rectangle round both keeps their winding, for culling (the strips
    // here go clockwise).
    const bool counterClockwise = c.rects[0].mode == GL_QUADS && !c.rects[0].clockwise;
    for (size_t t = 0; c.corners == 6 && t + 2 < corners.size(); t += 3) {
      const float* a = corners[t].position;
      const float* b = corners[t + 1].position;
      const float* d = corners[t + 2].position;
      EXPECT_EQ((b[0] - a[0]) * (d[1] - a[1]) - (d[0] - a[0]) * (b[1] - a[1]) > 0.0f, counterClockwise)
          << "triangle " << t / 3;
    }
  }
}

// An image that goes (its list re-recorded, the default texture given another)
// sends the draws queued before it, which may sample it, on their way first.
TEST_F(Gl11StateTest, AnImageThatGoesFlushesTheDrawsQueuedBeforeIt) {
  const GLubyte texel[4] = {1, 2, 3, 4};
  const GLuint list = Gl11GenLists(1);
  for (int k = 0; k < 2; ++k) {
    Gl11NewList(list, GL_COMPILE);
    Gl11TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    Gl11EndList();
  }
  Gl11CallList(list);
  Gl11Enable(GL_TEXTURE_2D);
  Square(10, 10);
  ASSERT_EQ(context.passCount, 1u);
  Gl11NewList(list, GL_COMPILE);
  Gl11EndList();
  EXPECT_EQ(context.passCount, 1u) << "the default texture still holds the image";
  Gl11TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
  EXPECT_EQ(context.passCount, 0u);
  EXPECT_EQ(Gl11GetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
