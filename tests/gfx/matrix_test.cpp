// The matrix helpers: the operand order of the product, its single-precision
// sums, the sense of the rotations and the fixed projection's numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "gfx/gfx.h"

namespace {

const float* E(const D3DMATRIX& m) { return &m._11; }

// A row vector (x, y, z, 1) times m.
void Transform(const D3DMATRIX& m, float x, float y, float z, float out[3]) {
  const float* e = E(m);
  for (int j = 0; j < 3; ++j) out[j] = x * e[j] + y * e[4 + j] + z * e[8 + j] + e[12 + j];
}

bool Same(const D3DMATRIX& a, const D3DMATRIX& b) { return std::memcmp(&a, &b, sizeof(D3DMATRIX)) == 0; }

D3DMATRIX FromRows(std::initializer_list<float> values) {
  D3DMATRIX m = MakeZeroMatrix();
  float* e = &m._11;
  int i = 0;
  for (float v : values) e[i++] = v;
  return m;
}

TEST(Matrices, ZeroIdentityAndTranslationHoldExactlyTheirValues) {
  D3DMATRIX zero = MakeZeroMatrix();
  for (int i = 0; i < 16; ++i) EXPECT_EQ(0.0f, E(zero)[i]);
  D3DMATRIX t;
  MakeTranslationMatrix(t, 1.5f, -2.0f, 3.25f);
  const D3DMATRIX expected = FromRows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1.5f, -2.0f, 3.25f, 1});
  EXPECT_TRUE(Same(expected, t));
}

TEST(Matrices, TranslationTimesRotationTurnsFirstThenMoves) {
  const float a = 0.7f;
  D3DMATRIX t, r;
  MakeTranslationMatrix(t, 2.0f, 3.0f, 4.0f);
  MakeRotationZ(r, a);
  MultiplyMatrices(t, r, t);
  const float c = (float)std::cos((double)a), s = (float)std::sin((double)a);
  const D3DMATRIX expected = FromRows({c, -s, 0, 0, s, c, 0, 0, 0, 0, 1, 0, 2, 3, 4, 1});
  for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(E(expected)[i], E(t)[i]) << i;
}

TEST(Matrices, TheProductIsSecondTimesFirstAndMayOverwriteEitherInput) {
  const D3DMATRIX a = FromRows({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  const D3DMATRIX b = FromRows({0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1});
  D3DMATRIX r;
  MultiplyMatrices(a, b, r);
  // b x a: b's rows pick and scale a's rows.
  const D3DMATRIX expected = FromRows({5, 6, 7, 8, 1, 2, 3, 4, 18, 20, 22, 24, 13, 14, 15, 16});
  EXPECT_TRUE(Same(expected, r));
  D3DMATRIX intoA = a, intoB = b;
  MultiplyMatrices(intoA, b, intoA);
  MultiplyMatrices(a, intoB, intoB);
  EXPECT_TRUE(Same(expected, intoA));
  EXPECT_TRUE(Same(expected, intoB));
}

TEST(Matrices, ProductsAreSummedInSinglePrecisionInAscendingOrder) {
  // 1 + 1e8 rounds back to 1e8 in single precision, so the ascending sum
  // 1 + 1e8 - 1e8 ends at 0, where exact arithmetic (or another order) gives 1.
  D3DMATRIX a = MakeZeroMatrix();
  a._11 = 1.0f;
  a._21 = 1e8f;
  a._31 = -1e8f;
  D3DMATRIX b = MakeZeroMatrix();
  b._11 = b._12 = b._13 = 1.0f;
  D3DMATRIX r;
  MultiplyMatrices(a, b, r);
  EXPECT_EQ(0.0f, r._11);
}

TEST(Matrices, PositiveAnglesTurnClockwiseSeenFromTheCamera) {
  const float quarter = 1.5707964f;
  float p[3];
  D3DMATRIX m;
  MakeRotationZ(m, quarter);  // x right, y up: (0, 1) goes to (1, 0)
  Transform(m, 0, 1, 0, p);
  EXPECT_NEAR(1.0f, p[0], 1e-6);
  EXPECT_NEAR(0.0f, p[1], 1e-6);
  MakeRotationX(m, quarter);  // (y, z) = (1, 0) goes to (0, -1)
  Transform(m, 0, 1, 0, p);
  EXPECT_NEAR(0.0f, p[1], 1e-6);
  EXPECT_NEAR(-1.0f, p[2], 1e-6);
  MakeRotationY(m, quarter);  // (x, z) = (1, 0) goes to (0, 1)
  Transform(m, 1, 0, 0, p);
  EXPECT_NEAR(0.0f, p[0], 1e-6);
  EXPECT_NEAR(1.0f, p[2], 1e-6);
}

TEST(Matrices, RotationElementsAreTheSingleRoundingOfDoubleSinesAndCosines) {
  const float a = 0.3f;
  const float c = (float)std::cos((double)a), s = (float)std::sin((double)a);
  D3DMATRIX x, y, z;
  MakeRotationX(x, a);
  MakeRotationY(y, a);
  MakeRotationZ(z, a);
  EXPECT_TRUE(Same(x, FromRows({1, 0, 0, 0, 0, c, -s, 0, 0, s, c, 0, 0, 0, 0, 1})));
  EXPECT_TRUE(Same(y, FromRows({c, 0, s, 0, 0, 1, 0, 0, -s, 0, c, 0, 0, 0, 0, 1})));
  EXPECT_TRUE(Same(z, FromRows({c, -s, 0, 0, s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1})));
}

TEST(Matrices, TheProjectionHasTheCamerasFixedNumbers) {
  const D3DMATRIX p = MakeProjectionMatrix(0.01f, 100.0f, 1.5707964f, 1.1780972f);
  EXPECT_EQ(0.99999994f, p._11);
  EXPECT_FLOAT_EQ(1.4966058f, p._22);
  EXPECT_FLOAT_EQ(1.0001f, p._33);
  EXPECT_EQ(1.0f, p._34);
  EXPECT_FLOAT_EQ(-0.010001f, p._43);
  const float* e = E(p);
  for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 12, 13, 15}) EXPECT_EQ(0.0f, e[i]) << i;
  // A point at depth z keeps w = z; near maps to depth 0 and far to 1.
  for (float z : {0.01f, 100.0f}) {
    const float depth = z * p._33 + p._43;
    EXPECT_NEAR(z == 0.01f ? 0.0f : 1.0f, depth / z, 1e-5) << z;
  }
}

}  // namespace
