// The fixed-function transform on the CPU. Every product is computed in single
// precision with the same operations in the same order as Mesa's fixed
// function, so a vertex lands on the same window position as under desktop GL
// (a different summation order moves some edges by a pixel).
#include "gl11/Gl11Context.h"

namespace gl11 {

void Identity(Matrix& a) {
  std::memset(a.m, 0, sizeof a.m);
  a.m[0] = a.m[5] = a.m[10] = a.m[15] = 1.0f;
}

void Multiply(Matrix& product, const Matrix& a, const Matrix& b) {
  Matrix p;
  for (int i = 0; i < 4; ++i) {
    const float ai0 = a.m[i], ai1 = a.m[4 + i], ai2 = a.m[8 + i], ai3 = a.m[12 + i];
    for (int j = 0; j < 4; ++j)
      p.m[4 * j + i] = ai0 * b.m[4 * j] + ai1 * b.m[4 * j + 1] + ai2 * b.m[4 * j + 2] + ai3 * b.m[4 * j + 3];
  }
  product = p;
}

void MultiplyOrtho(Matrix& m, float left, float right, float bottom, float top, float zNear, float zFar) {
  Matrix o;
  Identity(o);
  o.m[0] = 2.0f / (right - left);
  o.m[12] = -(right + left) / (right - left);
  o.m[5] = 2.0f / (top - bottom);
  o.m[13] = -(top + bottom) / (top - bottom);
  o.m[10] = -2.0f / (zFar - zNear);
  o.m[14] = -(zFar + zNear) / (zFar - zNear);
  Multiply(m, m, o);
}

// Only the last column changes: m x T(x, y, z).
void Translate(Matrix& m, float x, float y, float z) {
  float* a = m.m;
  a[12] = a[0] * x + a[4] * y + a[8] * z + a[12];
  a[13] = a[1] * x + a[5] * y + a[9] * z + a[13];
  a[14] = a[2] * x + a[6] * y + a[10] * z + a[14];
  a[15] = a[3] * x + a[7] * y + a[11] * z + a[15];
}

void Scale(Matrix& m, float x, float y, float z) {
  for (int k = 0; k < 4; ++k) {
    m.m[k] *= x;
    m.m[4 + k] *= y;
    m.m[8 + k] *= z;
  }
}

// As the fixed-function vertex program does it: x times column 0, then
// multiply-adds with y, z = 0 and w = 1.
void Transform(const Matrix& m, float x, float y, float clip[4]) {
  const float* c = m.m;
  for (int k = 0; k < 4; ++k) {
    float p = x * c[k];
    p = y * c[4 + k] + p;
    p = 0.0f * c[8 + k] + p;
    p = 1.0f * c[12 + k] + p;
    clip[k] = p;
  }
}

}  // namespace gl11
