// The numeric error routine and the 1-based workspace.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "numeric/numeric_error.h"
#include "numeric/workspace.h"

namespace zentrel {
namespace {

TEST(ReportNumericError, WritesThreeLinesAndReturns) {
  ::testing::internal::CaptureStderr();
  reportNumericError("bad args in savgol");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Numerical Recipes run-time error...\nbad args in savgol\n...now exiting to system...\n");
}

TEST(NumericErrorState, BelongsToItsThread) {
  SetNumericError(kSingularityError, "here");
  std::thread worker([] {
    EXPECT_EQ(NumericErrorState().code, 0);
    SetNumericError(kOverflowError, "there");
  });
  worker.join();
  EXPECT_EQ(NumericErrorState().code, kSingularityError);
  EXPECT_EQ(NumericErrorState().message, "here");
  ClearNumericError();
  EXPECT_EQ(NumericErrorState().code, 0);
  EXPECT_EQ(NumericErrorState().message, "");
}

TEST(Workspace, VectorsAddressTheirRange) {
  DVector v(1, 5);
  ASSERT_TRUE(v);
  EXPECT_EQ(v.size(), 5u);
  for (long i = 1; i <= 5; ++i) v[i] = static_cast<double>(i * i);
  EXPECT_EQ(v[1], 1);
  EXPECT_EQ(v[5], 25);
  EXPECT_EQ(&v[1], v.data());

  IVector w(-2, 2);
  ASSERT_TRUE(w);
  for (long i = -2; i <= 2; ++i) w[i] = static_cast<int>(i);
  EXPECT_EQ(w[-2], -2);
  EXPECT_EQ(w.data()[4], 2);

  DVector empty(1, 0);
  EXPECT_TRUE(empty);
  EXPECT_EQ(empty.size(), 0u);
}

TEST(Workspace, MatrixIsOneBlockInRowOrder) {
  DMatrix m(1, 3, 0, 3);
  ASSERT_TRUE(m);
  for (long i = 1; i <= 3; ++i)
    for (long j = 0; j <= 3; ++j) m[i][j] = static_cast<double>(10 * i + j);
  EXPECT_EQ(m[2][3], 23);
  EXPECT_EQ(&m[2][0], &m[1][0] + 4);
  EXPECT_EQ(&m[3][3], &m[1][0] + 11);
}

TEST(Workspace, AllocationFailureIsLoggedAndLeavesAnEmptyObject) {
  struct Case {
    std::function<bool()> make;
    const char* text;
  };
  const Case cases[] = {
      {[] { return static_cast<bool>(DVector(1, 1L << 61)); }, "allocation failure in dvector()"},
      {[] { return static_cast<bool>(IVector(1, 1L << 62)); }, "allocation failure in ivector()"},
      {[] { return static_cast<bool>(DMatrix(1, 1L << 62, 1, 2)); }, "allocation failure 1 in matrix()"},
      {[] { return static_cast<bool>(DMatrix(1, 1L << 20, 1, 1L << 40)); }, "allocation failure 2 in matrix()"},
  };
  for (const Case& c : cases) {
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(c.make()) << c.text;
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              std::string("Numerical Recipes run-time error...\n") + c.text + "\n...now exiting to system...\n");
  }
}

}  // namespace
}  // namespace zentrel
