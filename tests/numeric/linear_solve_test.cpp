// The dense solvers, each on a system it must solve and on ones it must
// refuse.

#include "numeric/linear_solve.h"

#include <cmath>

#include <gtest/gtest.h>

#include "numeric/workspace.h"

namespace zentrel {
namespace {

TEST(GaussJordan, InvertsAndSolves) {
  double a[] = {2, 1, 1, 3};
  double b[] = {3, 5};
  ASSERT_EQ(GaussJordan(a, 2, b, 1), 0);
  EXPECT_NEAR(b[0], 0.8, 1e-15);
  EXPECT_NEAR(b[1], 1.4, 1e-15);
  EXPECT_NEAR(a[0], 0.6, 1e-15);
  EXPECT_NEAR(a[1], -0.2, 1e-15);
  double singular[] = {1, 2, 2, 4};
  double rhs[] = {1, 2};
  EXPECT_EQ(GaussJordan(singular, 2, rhs, 1), -1);
  double nan[] = {NAN, NAN, NAN, NAN};
  EXPECT_EQ(GaussJordan(nan, 2, rhs, 1), -1);
  EXPECT_EQ(GaussJordan(nullptr, 0, nullptr, 1), 0);
}

TEST(LuDecomposition, SolvesWithPivotingAndRefusesSingular) {
  DMatrix a(1, 3, 1, 3);
  const double values[3][3] = {{0, 2, 1}, {1, 1, 1}, {2, 1, 5}};  // needs a row swap
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) a[i + 1][j + 1] = values[i][j];
  IVector index(1, 3);
  ASSERT_EQ(luDecompose(a, 3, index), 0);
  DVector b(1, 3);
  b[1] = 7, b[2] = 6, b[3] = 19;  // x = (1, 2, 3)
  luBackSubstitute(a, 3, index, b);
  EXPECT_NEAR(b[1], 1, 1e-14);
  EXPECT_NEAR(b[2], 2, 1e-14);
  EXPECT_NEAR(b[3], 3, 1e-14);

  DMatrix zeroRow(1, 2, 1, 2);
  zeroRow[1][1] = 1, zeroRow[1][2] = 2, zeroRow[2][1] = 0, zeroRow[2][2] = 0;
  EXPECT_EQ(luDecompose(zeroRow, 2, index), kSingularMatrix);
  DMatrix dependent(1, 2, 1, 2);
  dependent[1][1] = 1, dependent[1][2] = 2, dependent[2][1] = 2, dependent[2][2] = 4;
  EXPECT_EQ(luDecompose(dependent, 2, index), kSingularMatrix);
}

}  // namespace
}  // namespace zentrel
