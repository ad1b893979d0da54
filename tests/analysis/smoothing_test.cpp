// Smoothing against slow, obvious references: each window summed on its own
// (Moving Window), a least-squares polynomial fitted at every point in long
// double (Savitzky-Golay), and worked examples.

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/smoothing.h"
#include "expr/expression.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"
#include "numeric/workspace.h"
#include "set_builder.h"

namespace zentrel {
namespace {

using testing::Column;
using testing::FillSet;
using V = std::vector<double>;

Expression Compile(const std::string& text) {
  Expression n;
  EXPECT_TRUE(CompileExpression(text, n).ok()) << text;
  return n;
}

V Ramp(int count, double step = 1.0) {
  V x(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) x[static_cast<size_t>(i)] = i * step;
  return x;
}

V Noisy(int count, double offset, unsigned seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> noise(0.0, 1.0);
  V y(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) y[static_cast<size_t>(i)] = offset + std::sin(i * 0.05) * 10 + noise(random);
  return y;
}

// One window at a time, cut to the points that exist.
V MovingWindowReference(const V& x, const V& y, const Expression& n) {
  const double params[32] = {};
  const int last = static_cast<int>(y.size()) - 1;
  V out(y.size());
  for (int i = 0; i <= last; ++i) {
    const int w = std::max(1, static_cast<int>(std::floor(n(params, x[static_cast<size_t>(i)]))));
    const int d = (w - 1) / 2, e = w - d - 1;
    const int lo = std::max(0, i - d), hi = std::min(last, i + e);
    double sum = 0;
    for (int q = lo; q <= hi; ++q) sum += y[static_cast<size_t>(q)];
    out[static_cast<size_t>(i)] = sum / (hi - lo + 1);
  }
  return out;
}

TEST(MovingWindow, MatchesOneWindowAtATimeExactly) {
  struct Case {
    int count;
    std::string n;
  } cases[] = {
      {1000, "10"},         // 4 before, 5 after
      {1000, "5"},          // odd: 2 on either side
      {1000, "1"},          // unchanged
      {1000, "0"},          // at least one point
      {1000, "-7"},         // likewise
      {1000, "5+X/10"},     // widening towards larger x
      {1000, "3+50*STEP(X-500)"},
      {30, "100"},          // wider than the set: every window is cut
      {2000, "21"},
      {1, "10"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n + " over " + std::to_string(c.count));
    const Expression n = Compile(c.n);
    const V x = Ramp(c.count), y = Noisy(c.count, 1e9, 3);
    Data_Set set;
    FillSet(set, {x, y});
    ASSERT_TRUE(smoothSet(set, kSmoothMovingWindow, n).ok);
    EXPECT_EQ(Column(set, 1), MovingWindowReference(x, y, n));
    EXPECT_EQ(Column(set, 0), x);
    EXPECT_EQ(set.modified, true);
  }
}

TEST(MovingWindow, EdgesAverageOnlyWhatExists) {
  Data_Set set;
  FillSet(set, {{0, 1, 2, 3, 4, 5}, {1, 2, 3, 4, 5, 60}});
  ASSERT_TRUE(smoothSet(set, kSmoothMovingWindow, Compile("5")).ok);
  EXPECT_DOUBLE_EQ(set.GetValue(1, 0), 2.0);               // y[0..2] / 3
  EXPECT_DOUBLE_EQ(set.GetValue(1, 5), (4 + 5 + 60) / 3.0);  // the last three
  Data_Set even;
  FillSet(even, {Ramp(20), Ramp(20)});
  ASSERT_TRUE(smoothSet(even, kSmoothMovingWindow, Compile("10")).ok);
  EXPECT_DOUBLE_EQ(even.GetValue(1, 10), (6 + 7 + 8 + 9 + 10 + 11 + 12 + 13 + 14 + 15) / 10.0);
}

// Least squares of degree m over the window at every point, in long double:
// the normal equations solved by Gauss-Jordan elimination.
V SavitzkyGolayReference(const V& y, int nl, int nr, int m) {
  V out = y;
  const int last = static_cast<int>(y.size()) - 1;
  long double sums[9] = {};  // sum of k^p over the window, p = 0..2m
  for (int k = -nl; k <= nr; ++k) {
    long double power = 1;
    for (int p = 0; p <= 2 * m; ++p, power *= k) sums[p] += power;
  }
  for (int i = nl; i + nr <= last; ++i) {
    long double a[5][6] = {};
    for (int r = 0; r <= m; ++r)
      for (int c = 0; c <= m; ++c) a[r][c] = sums[r + c];
    for (int k = -nl; k <= nr; ++k) {
      long double power = 1;
      for (int r = 0; r <= m; ++r, power *= k) a[r][m + 1] += power * y[static_cast<size_t>(i + k)];
    }
    for (int p = 0; p <= m; ++p) {
      int best = p;
      for (int r = p + 1; r <= m; ++r)
        if (std::fabs(a[r][p]) > std::fabs(a[best][p])) best = r;
      std::swap(a[p], a[best]);
      for (int r = 0; r <= m; ++r) {
        if (r == p) continue;
        const long double f = a[r][p] / a[p][p];
        for (int c = p; c <= m + 1; ++c) a[r][c] -= f * a[p][c];
      }
    }
    out[static_cast<size_t>(i)] = static_cast<double>(a[0][m + 1] / a[0][0]);
  }
  return out;
}

TEST(SavitzkyGolay, MatchesAPolynomialFittedAtEveryPoint) {
  struct Case {
    int count;
    std::string n;
    int nl, nr, m;
  } cases[] = {
      {100, "7", 3, 3, 4},   // the first and last three points stay
      {100, "5", 2, 2, 4},
      {100, "4", 1, 2, 2},   // even: one more point after
      {100, "3", 1, 1, 2},
      {1000, "21", 10, 10, 4},
      {1000, "21+X", 10, 10, 4},  // evaluated once, at the first point
      {20, "50", 4, 4, 4},   // np capped at L / 2 = 9
      {7, "10", 1, 1, 2},    // 7 points: np = 3
      {800, "600", 199, 199, 4},  // windows wider than one block of results
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n + " over " + std::to_string(c.count));
    const V x = Ramp(c.count), y = Noisy(c.count, 0.0, 11);
    Data_Set set;
    FillSet(set, {x, y});
    ASSERT_TRUE(smoothSet(set, kSmoothSavitzkyGolay, Compile(c.n)).ok);
    const V want = SavitzkyGolayReference(y, c.nl, c.nr, c.m);
    const V got = Column(set, 1);
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
      if (static_cast<int>(i) < c.nl || static_cast<int>(i) > c.count - 1 - c.nr)
        EXPECT_EQ(got[i], y[i]) << i;
      else
        EXPECT_NEAR(got[i], want[i], 1e-9) << i;
    }
  }
}

TEST(SavitzkyGolay, KeepsPolynomialsOfItsOrderOnALargeOffset) {
  V x = Ramp(300), y(300);
  for (int i = 0; i < 300; ++i) {
    const double t = (i - 150) / 50.0;
    y[static_cast<size_t>(i)] = 1e6 + 3 * t - 2 * t * t + 0.5 * t * t * t * t;
  }
  Data_Set set;
  FillSet(set, {x, y});
  ASSERT_TRUE(smoothSet(set, kSmoothSavitzkyGolay, Compile("9")).ok);
  for (int i = 0; i < 300; ++i) EXPECT_NEAR(set.GetValue(1, i), y[static_cast<size_t>(i)], 1e-8) << i;
}

TEST(SavitzkyGolay, CoefficientsOfKnownFilters) {
  struct Case {
    int nl, nr, m;
    V offsets;  // c(-nl) .. c(nr)
  } cases[] = {
      {2, 2, 2, {-3 / 35.0, 12 / 35.0, 17 / 35.0, 12 / 35.0, -3 / 35.0}},
      {3, 3, 4, {5 / 231.0, -30 / 231.0, 75 / 231.0, 131 / 231.0, 75 / 231.0, -30 / 231.0, 5 / 231.0}},
      {1, 1, 2, {0, 1, 0}},
      {0, 2, 2, {1, 0, 0}},
  };
  for (const Case& c : cases) {
    const int np = c.nl + c.nr + 1;
    DVector coefficients(1, np);
    ASSERT_EQ(savitzkyGolayCoefficients(coefficients, np, c.nl, c.nr, 0, c.m), 0);
    for (int k = -c.nl; k <= c.nr; ++k) {
      const int position = k <= 0 ? -k + 1 : np - k + 1;  // wrap-around order
      EXPECT_NEAR(coefficients[position], c.offsets[static_cast<size_t>(k + c.nl)], 1e-12) << k;
    }
  }
}

TEST(SavitzkyGolay, BadArgumentsAreRefusedWithoutTouchingTheCoefficients) {
  struct Case {
    int np, nl, nr, ld, m;
  } cases[] = {{2, 0, 1, 0, 2}, {1, 0, 0, 0, 2}, {5, -1, 2, 0, 2}, {3, 1, 1, 3, 2}, {3, 2, 2, 0, 2}};
  for (const Case& c : cases) {
    DVector coefficients(1, 8);
    for (int i = 1; i <= 8; ++i) coefficients[i] = 42;
    EXPECT_EQ(savitzkyGolayCoefficients(coefficients, c.np, c.nl, c.nr, c.ld, c.m), kSavgolBadArgs);
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(coefficients[i], 42);
  }
}

TEST(Reducing, BlocksAndTheLastBlockToTheEnd) {
  Data_Set set;
  FillSet(set, {Ramp(10), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}});
  set.fits.push_back(std::make_unique<Fit>());
  set.ReattachFits();
  set.fits[0]->iterationCount = 3;
  ASSERT_TRUE(smoothSet(set, kSmoothReducing, Compile("3")).ok);
  EXPECT_EQ(Column(set, 0), (V{1, 4, 7.5}));
  EXPECT_EQ(Column(set, 1), (V{2, 5, 8.5}));
  EXPECT_EQ(set.fits[0]->iterationCount, 0);  // the engine restarts on the new columns

  Data_Set widening;  // N(x) read at the start of each block
  FillSet(widening, {Ramp(10), Ramp(10)});
  ASSERT_TRUE(smoothSet(widening, kSmoothReducing, Compile("1+X")).ok);
  EXPECT_EQ(Column(widening, 0), (V{0, 1.5, 4.5, 8}));  // blocks 0, 1-2, 3-6, 7-9

  for (int count : {0, 1, 2}) {
    Data_Set tiny;
    FillSet(tiny, {Ramp(count), Ramp(count)});
    ASSERT_TRUE(smoothSet(tiny, kSmoothReducing, Compile("3")).ok);
    EXPECT_EQ(Column(tiny, 0), Ramp(count));
    EXPECT_FALSE(tiny.modified);
  }
}

TEST(Reducing, ErrorsWeightTheMeanWhenNoneIsZero) {
  Data_Set set;
  FillSet(set, {{0, 1, 2, 3, 4, 5}, {1, 3, 10, 20, 30, 40}, {1, 2, 1, 0, 1, 1}, {0.5, 0.5, 1, 1, 1, 1}});
  ASSERT_TRUE(smoothSet(set, kSmoothReducing, Compile("2")).ok);
  ASSERT_EQ(set.PointCount(0), 3);
  // Block 0-1: weights 1 and 1/4; the weighted mean's error is
  // 1 / sqrt(1 + 1/4), smaller than the smaller of the two errors.
  EXPECT_DOUBLE_EQ(set.GetValue(1, 0), (1 + 3 / 4.0) / (1 + 1 / 4.0));
  EXPECT_DOUBLE_EQ(set.GetValue(2, 0), 1 / std::sqrt(1.25));
  EXPECT_DOUBLE_EQ(set.GetValue(0, 0), 0.5);  // equal x errors: the plain mean
  EXPECT_DOUBLE_EQ(set.GetValue(3, 0), 0.5 / std::sqrt(2.0));
  // Block 2-3 holds a zero y error: the plain mean, sqrt(1 + 0) / 2.
  EXPECT_DOUBLE_EQ(set.GetValue(1, 1), 15);
  EXPECT_DOUBLE_EQ(set.GetValue(2, 1), 0.5);
}

// A block of n equal errors σ: the mean's error is σ / sqrt(n) whether the
// mean is weighted (all errors non-zero) or plain (a zero error in the
// block), never the error of the block's sum.
TEST(Reducing, ABlockMeanHasTheErrorOfAMean) {
  const struct {
    const char* what;
    double lastError;  // error of the block's last point
    double expected;
  } cases[] = {
      {"weighted", 2.0, 1.0},                         // 2 / sqrt(4)
      {"plain, one zero error", 0.0, std::sqrt(12.0) / 4},  // sqrt(3 * 4) / 4
  };
  for (const auto& c : cases) {
    Data_Set set;
    FillSet(set, {{0, 1, 2, 3, 4, 5, 6, 7}, {1, 1, 1, 1, 5, 5, 5, 5}, {2, 2, 2, c.lastError, 2, 2, 2, 2}});
    ASSERT_TRUE(smoothSet(set, kSmoothReducing, Compile("4")).ok) << c.what;
    ASSERT_EQ(set.PointCount(0), 2) << c.what;
    EXPECT_DOUBLE_EQ(set.GetValue(2, 0), c.expected) << c.what;
    EXPECT_DOUBLE_EQ(set.GetValue(2, 1), 1.0) << c.what;
    EXPECT_DOUBLE_EQ(set.GetValue(1, 1), 5.0) << c.what;
  }
}

// Every way of failing leaves every column as it was.
TEST(Smoothing, FailuresLeaveTheSetUnchanged) {
  struct Case {
    int method;
    int count;
    std::string n;
    const char* message;  // start of the outcome's message
  } cases[] = {
      {kSmoothSavitzkyGolay, 6, "10", "bad args in savgol"},  // np = L / 2 = 2
      {kSmoothSavitzkyGolay, 100, "2", "bad args in savgol"},
      {kSmoothSavitzkyGolay, 3, "10", "bad args in savgol"},
      {kSmoothMovingWindow, 50, "LN(X-20)", "Argument domain error"},
      {kSmoothReducing, 50, "LN(X-20)", "Argument domain error"},
      {kSmoothSavitzkyGolay, 50, "LN(X-20)", "Argument domain error"},
      {kSmoothMovingWindow, 50, "10^10", "Number of points to smooth is 1e+10"},
      {kSmoothMovingWindow, 50, "3+STEP(X-30)*10^20", "Number of points to smooth is 1e+20 at x=30"},
      {kSmoothReducing, 50, "-(10^10)", "Number of points to smooth is -1e+10"},
      {kSmoothSavitzkyGolay, 50, "10^300+X", "Number of points to smooth is 1e+300"},
      {kSmoothSavitzkyGolay, 50, "10^300*X", "bad args in savgol"},  // 0 at the first point: np = 2
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    const V x = Ramp(c.count), y = Noisy(c.count, 5, 1);
    Data_Set set;
    FillSet(set, {x, y, V(x.size(), 0.5)});
    const SmoothOutcome outcome = smoothSet(set, c.method, Compile(c.n));
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.message.rfind(c.message, 0), 0u) << outcome.message;
    EXPECT_EQ(Column(set, 0), x);
    EXPECT_EQ(Column(set, 1), y);
    EXPECT_EQ(Column(set, 2), V(x.size(), 0.5));
    EXPECT_FALSE(set.modified);
  }
}

TEST(Smoothing, NaNWindowIsRefusedAndTheEarlierNumericErrorKept) {
  SetNumericError(kOverflowError, "earlier");
  Data_Set set;
  V x = Ramp(10);
  x[4] = std::nan("");
  FillSet(set, {x, Ramp(10)});
  const SmoothOutcome outcome = smoothSet(set, kSmoothMovingWindow, Compile("X"));
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.message, "Number of points to smooth is nan at x=nan, not a usable size");
  EXPECT_EQ(Column(set, 1), Ramp(10));
  EXPECT_EQ(NumericErrorState().code, kOverflowError);
  EXPECT_EQ(NumericErrorState().message, "earlier");
  ClearNumericError();
}

TEST(Smoothing, OtherMethodsAndOneColumnDoNothing) {
  Data_Set set;
  FillSet(set, {Ramp(10), Noisy(10, 0, 2)});
  const V before = Column(set, 1);
  EXPECT_TRUE(smoothSet(set, 0, Compile("3")).ok);
  EXPECT_TRUE(smoothSet(set, 4, Compile("3")).ok);
  EXPECT_EQ(Column(set, 1), before);
  Data_Set xOnly;
  FillSet(xOnly, {Ramp(10)});
  EXPECT_TRUE(smoothSet(xOnly, kSmoothMovingWindow, Compile("3")).ok);
  EXPECT_EQ(xOnly.ColumnCount(), 1);
}

}  // namespace
}  // namespace zentrel
