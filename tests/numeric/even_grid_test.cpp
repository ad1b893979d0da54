// Even grids keep their end point: x_i = lo + i·step, not repeated sums.

#include "numeric/even_grid.h"

#include <cmath>

#include <gtest/gtest.h>

namespace zentrel {
namespace {

TEST(EvenGrid, ARangeOfWholeStepsEndsOnItsEndPoint) {
  struct Case {
    double lo, hi, step;
    double count;
  };
  const Case cases[] = {
      {0, 1, 0.01, 101},            // 0.01 added 100 times is 1.0000000000000007
      {0, 1, 0.1, 11},              // 0.1 added ten times is 0.9999999999999999
      {-3, 7.2, 10.2 / 199, 200},   // the step of 200 points
      {1e-3, 2e-3, 1e-5, 101},
      {5, 5, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lo << ".." << c.hi << " step " << c.step);
    ASSERT_EQ(EvenGridCount(c.lo, c.hi, c.step), c.count);
    const auto n = static_cast<long long>(c.count);
    EXPECT_EQ(EvenGridPoint(c.lo, c.hi, c.step, 0, n), c.lo);
    EXPECT_EQ(EvenGridPoint(c.lo, c.hi, c.step, n - 1, n), c.hi);
    for (long long i = 1; i < n; ++i)
      EXPECT_GT(EvenGridPoint(c.lo, c.hi, c.step, i, n), EvenGridPoint(c.lo, c.hi, c.step, i - 1, n));
  }
  // Each point is computed afresh: no drift in the middle either.
  EXPECT_EQ(EvenGridPoint(0, 1, 0.01, 37, 101), 37 * 0.01);
}

TEST(EvenGrid, ARangeThatIsNoWholeNumberOfStepsStopsShortOfItsEnd) {
  EXPECT_EQ(EvenGridCount(0, 1, 0.3), 4);
  EXPECT_DOUBLE_EQ(EvenGridPoint(0, 1, 0.3, 3, 4), 0.9);
  EXPECT_EQ(EvenGridCount(0, 1, 0.6), 2);
  EXPECT_EQ(EvenGridCount(0, 0.999, 0.01), 100);  // a tenth of a step short is no rounding
  EXPECT_EQ(EvenGridPoint(0, 0.999, 0.01, 99, 100), 99 * 0.01);
  EXPECT_TRUE(std::isnan(EvenGridCount(std::nan(""), 1, 0.1)));
  EXPECT_TRUE(std::isinf(EvenGridCount(0, 1, 0)));
}

}  // namespace
}  // namespace zentrel
