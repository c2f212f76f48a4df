// 4x4 matrices for row vectors (v' = v x M). The rotations are the transposes
// of the textbook ones, so a positive angle turns clockwise on the screen; the
// whole show is laid out with that sense of turning.
#include <cmath>

#include "gfx/gfx.h"

namespace {

float* Elements(D3DMATRIX& m) { return &m._11; }
const float* Elements(const D3DMATRIX& m) { return &m._11; }

// Rounds to single precision for certain: the 32-bit x87 build would otherwise
// keep a running sum in a wider register.
float Single(float value) {
  volatile float stored = value;
  return stored;
}

}  // namespace

D3DMATRIX MakeZeroMatrix() {
  D3DMATRIX m;
  float* e = Elements(m);
  for (int i = 0; i < 16; ++i) e[i] = 0.0f;
  return m;
}

void MakeIdentityMatrix(D3DMATRIX& m) {
  m = MakeZeroMatrix();
  m._11 = m._22 = m._33 = m._44 = 1.0f;
}

void MakeTranslationMatrix(D3DMATRIX& m, float x, float y, float z) {
  MakeIdentityMatrix(m);
  m._41 = x;
  m._42 = y;
  m._43 = z;
}

void MultiplyMatrices(const D3DMATRIX& a, const D3DMATRIX& b, D3DMATRIX& r) {
  // Summed in single precision, in this order, so results match to the bit
  // on every build wherever the same product is formed.
  float temp[4][4] = {};
  const float* ea = Elements(a);
  const float* eb = Elements(b);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      for (int k = 0; k < 4; ++k) temp[i][j] = Single(temp[i][j] + Single(ea[k * 4 + j] * eb[i * 4 + k]));
  float* er = Elements(r);
  for (int i = 0; i < 16; ++i) er[i] = temp[i / 4][i % 4];
}

D3DMATRIX MakeProjectionMatrix(float nearPlane, float farPlane, float fovH, float fovV) {
  const float w = (float)(1.0 / std::tan((double)(fovH * 0.5f)));
  const float h = (float)(1.0 / std::tan((double)(fovV * 0.5f)));
  const float q = farPlane / (farPlane - nearPlane);
  D3DMATRIX m = MakeZeroMatrix();
  m._11 = w;
  m._22 = h;
  m._33 = q;
  m._34 = 1.0f;
  m._43 = -q * nearPlane;
  return m;
}

void MakeRotationX(D3DMATRIX& m, float angle) {
  const float c = (float)std::cos((double)angle);
  const float s = (float)std::sin((double)angle);
  MakeIdentityMatrix(m);
  m._22 = c;
  m._23 = -s;
  m._32 = s;
  m._33 = c;
}

void MakeRotationY(D3DMATRIX& m, float angle) {
  const float c = (float)std::cos((double)angle);
  const float s = (float)std::sin((double)angle);
  MakeIdentityMatrix(m);
  m._11 = c;
  m._13 = s;
  m._31 = -s;
  m._33 = c;
}

void MakeRotationZ(D3DMATRIX& m, float angle) {
  const float c = (float)std::cos((double)angle);
  const float s = (float)std::sin((double)angle);
  MakeIdentityMatrix(m);
  m._11 = c;
  m._12 = -s;
  m._21 = s;
  m._22 = c;
}
