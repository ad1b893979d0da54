#include "analysis/set_arithmetic.h"

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/calculus.h"
#include "fit/catalogue.h"
#include "model/data_set.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {
namespace {

using SetList = std::vector<std::unique_ptr<Data_Set>>;

std::unique_ptr<Data_Set> MakeSet(const char* name, const std::vector<double>& x, const std::vector<double>& y) {
  auto set = std::make_unique<Data_Set>();
  set->name = name;
  for (size_t i = 0; i < x.size(); ++i) {
    set->SetValue(0, static_cast<int>(i), x[i]);
    set->SetValue(1, static_cast<int>(i), y[i]);
  }
  return set;
}

std::vector<double> Column(const Data_Set& set, int column) {
  const double* data = set.ColumnData(column);
  return data ? std::vector<double>(data, data + set.PointCount(column)) : std::vector<double>{};
}

std::vector<double> Range(double first, double last, double step) {
  std::vector<double> values;
  for (double v = first; v <= last + 1e-12; v += step) values.push_back(v);
  return values;
}

template <typename F>
std::vector<double> Map(const std::vector<double>& x, F f) {
  std::vector<double> y;
  for (double v : x) y.push_back(f(v));
  return y;
}

// The clamped cubic spline (zero slope at both ends) by a dense linear
// solve of its equations for the second derivatives: slow and obvious.
double OracleSpline(const std::vector<double>& x, const std::vector<double>& y, double at) {
  const size_t n = x.size();
  std::vector<std::vector<double>> a(n, std::vector<double>(n + 1, 0.0));
  for (size_t i = 0; i < n; ++i) {
    if (i == 0) {
      const double h = x[1] - x[0];
      a[0][0] = h / 3, a[0][1] = h / 6, a[0][n] = (y[1] - y[0]) / h;
    } else if (i == n - 1) {
      const double h = x[i] - x[i - 1];
      a[i][i - 1] = h / 6, a[i][i] = h / 3, a[i][n] = -(y[i] - y[i - 1]) / h;
    } else {
      const double h0 = x[i] - x[i - 1], h1 = x[i + 1] - x[i];
      a[i][i - 1] = h0 / 6, a[i][i] = (h0 + h1) / 3, a[i][i + 1] = h1 / 6;
      a[i][n] = (y[i + 1] - y[i]) / h1 - (y[i] - y[i - 1]) / h0;
    }
  }
  for (size_t c = 0; c < n; ++c) {
    for (size_t r = c + 1; r < n; ++r) {
      const double f = a[r][c] / a[c][c];
      for (size_t k = c; k <= n; ++k) a[r][k] -= f * a[c][k];
    }
  }
  std::vector<double> m(n);
  for (size_t r = n; r-- > 0;) {
    double s = a[r][n];
    for (size_t k = r + 1; k < n; ++k) s -= a[r][k] * m[k];
    m[r] = s / a[r][r];
  }
  size_t lo = 0;
  while (lo + 2 < n && at > x[lo + 1]) ++lo;
  const size_t hi = lo + 1;
  const double h = x[hi] - x[lo], A = (x[hi] - at) / h, B = (at - x[lo]) / h;
  return A * y[lo] + B * y[hi] + ((A * A * A - A) * m[lo] + (B * B * B - B) * m[hi]) * h * h / 6;
}

TEST(SetOperate, SymbolsAndNamesForEveryCode) {
  struct Case {
    int op;
    char symbol;
    double expected;  // 6 ∘ 2
  };
  const Case cases[] = {{1, '+', 8}, {2, '-', 4}, {3, '*', 12}, {4, '/', 3}, {5, '^', 36}, {0, ' ', 6}, {9, ' ', 6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.op);
    EXPECT_EQ(OperationSymbol(c.op), c.symbol);
    auto a = MakeSet("A", {0, 1, 2, 3, 4}, {6, 6, 6, 6, 6});
    auto b = MakeSet("B", {0, 1, 2, 3, 4}, {2, 2, 2, 2, 2});
    Data_Set target;
    ASSERT_EQ(SetOperate(target, {a.get()}, {b.get()}, c.op, {}), 0);
    EXPECT_EQ(target.name, std::string("A") + c.symbol + "B");
    ASSERT_EQ(target.PointCount(1), 5);
    for (double v : Column(target, 1)) EXPECT_NEAR(v, c.expected, 1e-12);
  }
}

TEST(SetOperate, SecondSetIsResampledOverTheCommonRange) {
  // A on 0..10, B on 2..5: the four points of A inside B's range.
  const std::vector<double> ax = Range(0, 10, 1), bx = {2, 3, 4, 5}, by = {1, 4, 2, 8};
  auto a = MakeSet("A", ax, Map(ax, [](double x) { return 10 * x; }));
  auto b = MakeSet("B", bx, by);
  Data_Set target;
  ASSERT_EQ(SetOperate(target, {a.get()}, {b.get()}, kOpAdd, {}), 0);
  EXPECT_EQ(target.name, "A+B");
  EXPECT_EQ(Column(target, 0), (std::vector<double>{2, 3, 4, 5}));
  const std::vector<double> y = Column(target, 1);
  ASSERT_EQ(y.size(), 4u);
  for (size_t k = 0; k < 4; ++k) EXPECT_NEAR(y[k], 10 * bx[k] + by[k], 1e-12);
  EXPECT_EQ(target.ColumnCount(), 2);

  // Between the knots the values follow the clamped spline through B.
  const std::vector<double> cx = Range(0, 6, 1), cy = Map(cx, [](double x) { return std::sin(x); });
  const std::vector<double> dx = Range(-0.75, 6.75, 0.5);
  auto c = MakeSet("C", cx, cy);
  auto d = MakeSet("D", dx, std::vector<double>(dx.size(), 0.0));
  ASSERT_EQ(SetOperate(target, {d.get()}, {c.get()}, kOpSubtract, {}), 0);
  const std::vector<double> tx = Column(target, 0), ty = Column(target, 1);
  ASSERT_EQ(tx, Range(0.25, 5.75, 0.5));
  for (size_t k = 0; k < tx.size(); ++k) EXPECT_NEAR(ty[k], -OracleSpline(cx, cy, tx[k]), 1e-12) << tx[k];
}

TEST(SetOperate, SortsUnsortedOperandsInPlace) {
  auto a = MakeSet("A", {3, 1, 2, 0}, {30, 10, 20, 0});
  auto b = MakeSet("B", {2, 0, 3, 1}, {2, 0, 3, 1});
  Data_Set target;
  ASSERT_EQ(SetOperate(target, {a.get()}, {b.get()}, kOpAdd, {}), 0);
  EXPECT_EQ(Column(*a, 0), (std::vector<double>{0, 1, 2, 3}));
  EXPECT_EQ(Column(*b, 0), (std::vector<double>{0, 1, 2, 3}));
  const std::vector<double> y = Column(target, 1);
  for (size_t k = 0; k < 4; ++k) EXPECT_NEAR(y[k], 11.0 * static_cast<double>(k), 1e-12);
}

TEST(SetOperate, RefusesOperandsThatCannotBeResampled) {
  struct Case {
    const char* what;
    std::vector<double> bx, by;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
    {"three points: no spline", {1, 2, 3}, {1, 2, 3}},
    {"repeated x", {1, 2, 2, 3, 4}, {1, 2, 5, 3, 4}},
    {"a NaN y", {1, 2, 3, 4}, {1, nan, 3, 4}},
    {"no common range", {20, 21, 22, 23}, {1, 2, 3, 4}},
    {"empty", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto a = MakeSet("A", Range(0, 10, 1), Range(0, 10, 1));
    auto b = MakeSet("B", c.bx, c.by);
    Data_Set target;
    target.name = "untouched";
    target.SetValue(0, 0, 7);
    EXPECT_EQ(SetOperate(target, {a.get()}, {b.get()}, kOpAdd, {}), -1);
    EXPECT_EQ(target.name, "untouched");
    EXPECT_EQ(Column(target, 0), std::vector<double>{7});
  }
}

// A straight line y0 + a1 (x - x0) over [start, end].
std::unique_ptr<Fit> LineFit(const char* name, double y0, double slope, double start, double end) {
  auto fit = std::make_unique<Fit>();
  SelectModel(*fit, "Polynomial", 1);
  fit->name = name;
  fit->params[0] = y0;
  fit->params[2] = slope;
  fit->fitStart = start;
  fit->fitEnd = end;
  return fit;
}

TEST(SetOperate, FitAndSetInDialogOrder) {
  SetList sets;
  sets.push_back(MakeSet("S", {4, 0, 1, 2, 3}, {1, 1, 1, 1, 1}));
  sets[0]->fits.push_back(LineFit("Line", 0, 10, 1, 3));
  Fit* fit = sets[0]->fits[0].get();

  Data_Set modelMinusData;
  ASSERT_EQ(SetOperate(modelMinusData, {sets[0].get(), fit}, {sets[0].get()}, kOpSubtract, sets), 0);
  EXPECT_EQ(modelMinusData.name, "Line-S");
  EXPECT_EQ(Column(modelMinusData, 0), (std::vector<double>{1, 2, 3}));  // within the fit range, sorted
  EXPECT_EQ(Column(modelMinusData, 1), (std::vector<double>{9, 19, 29}));

  Data_Set dataMinusModel;
  ASSERT_EQ(SetOperate(dataMinusModel, {sets[0].get()}, {sets[0].get(), fit}, kOpSubtract, sets), 0);
  EXPECT_EQ(dataMinusModel.name, "S-Line");
  EXPECT_EQ(Column(dataMinusModel, 1), (std::vector<double>{-9, -19, -29}));
}

TEST(SetOperate, PointsWhereTheModelFailsAreSkipped) {
  SetList sets;
  sets.push_back(MakeSet("S", {-1, 0, 1, 2}, {0, 0, 0, 0}));
  auto fit = std::make_unique<Fit>();
  ASSERT_EQ(CompileCustomFunction(*fit, "LN(X)").status, 0);
  SelectModel(*fit, "Custom function", 1);
  fit->name = "Log";
  fit->fitStart = -1;
  fit->fitEnd = 2;
  sets[0]->fits.push_back(std::move(fit));
  Data_Set target;
  ASSERT_EQ(SetOperate(target, {sets[0].get()}, {sets[0].get(), sets[0]->fits[0].get()}, kOpAdd, sets), 0);
  EXPECT_EQ(Column(target, 0), (std::vector<double>{1, 2}));
  EXPECT_NEAR(target.GetValue(1, 1), std::log(2.0), 1e-12);
  EXPECT_EQ(NumericErrorState().code, kNoNumericError);

  // A model that divides by a zero parameter gives no number at some x;
  // those points are left out rather than stored as NaN.
  Fit broken;
  SelectModel(broken, "Exponential", 1);  // a0 exp(-u / t0) with t0 = 0
  broken.params[2] = 1;
  broken.fitStart = -1;
  broken.fitEnd = 2;
  ASSERT_EQ(SetOperate(target, {sets[0].get()}, {nullptr, &broken}, kOpAdd, sets), 0);
  EXPECT_LT(target.PointCount(0), 4);
  for (double v : Column(target, 1)) EXPECT_TRUE(std::isfinite(v));
  ClearNumericError();
}

TEST(SetOperate, TwoFitsUseTheFirstFitsSetOverBothRanges) {
  SetList sets;
  sets.push_back(MakeSet("Other", {100, 200}, {0, 0}));
  sets.push_back(MakeSet("Owner", Range(0, 6, 1), std::vector<double>(7, 0.0)));
  sets[1]->fits.push_back(LineFit("F", 1, 1, 1, 5));
  sets[0]->fits.push_back(LineFit("G", 0, 2, 2, 9));
  Data_Set target;
  ASSERT_EQ(SetOperate(target, {sets[1].get(), sets[1]->fits[0].get()}, {sets[0].get(), sets[0]->fits[0].get()},
                       kOpMultiply, sets),
            0);
  EXPECT_EQ(target.name, "F*G");
  EXPECT_EQ(Column(target, 0), (std::vector<double>{2, 3, 4, 5}));
  EXPECT_EQ(Column(target, 1), (std::vector<double>{12, 24, 40, 60}));  // (1 + x) * 2x

  EXPECT_EQ(SetOperate(target, {nullptr, sets[1]->fits[0].get()}, {nullptr, sets[0]->fits[0].get()}, kOpAdd, {}),
            -1);
}

TEST(SetOperate, TargetMayBeTheFirstOperand) {
  auto a = MakeSet("A", {0, 1, 2, 3, 4, 5}, {1, 1, 1, 1, 1, 1});
  a->SetValue(2, 5, 0.5);  // an error column the result must not keep
  auto b = MakeSet("B", {1, 2, 3, 4}, {1, 2, 3, 4});
  ASSERT_EQ(SetOperate(*a, {a.get()}, {b.get()}, kOpAdd, {}), 0);
  EXPECT_EQ(a->name, "A+B");
  EXPECT_EQ(a->ColumnCount(), 2);
  EXPECT_EQ(Column(*a, 0), (std::vector<double>{1, 2, 3, 4}));
  for (size_t k = 0; k < 4; ++k) EXPECT_NEAR(a->GetValue(1, static_cast<int>(k)), 2.0 + static_cast<double>(k), 1e-12);
}

// A division by zero has no value: the point is left out (not the
// numerator kept) and counted, as are non-finite results of finite
// operands; the other points are computed as usual.
TEST(SetOperate, PointsWithoutAValueAreLeftOutAndCounted) {
  SetList sets;
  sets.push_back(MakeSet("A", Range(0, 6, 1), {1, 2, 3, 4, 5, 6, 7}));
  sets.push_back(MakeSet("Z", Range(0, 6, 1), {2, 0, 2, 0, 2, 2, 0}));
  sets.push_back(MakeSet("N", Range(0, 6, 1), {-1, -1, -1, -1, -1, -1, -1}));
  sets.push_back(MakeSet("M", Range(0, 6, 1), {-8, 8, -8, 8, -8, 8, 8}));
  sets.push_back(MakeSet("H", Range(0, 6, 1), std::vector<double>(7, 0.5)));
  sets[0]->fits.push_back(LineFit("X", 0, 1, 0, 6));  // the fit y = x, 0 at x = 0
  const struct {
    const char* what;
    Operand first, second;
    int op;
    std::vector<double> x;
    int divisionsByZero, mathErrors;
  } cases[] = {
      {"set / set with zeros", {sets[0].get()}, {sets[1].get()}, kOpDivide, {0, 2, 4, 5}, 3, 0},
      {"set / fit that is 0 at x = 0", {sets[0].get()}, {sets[0].get(), sets[0]->fits[0].get()}, kOpDivide,
       {1, 2, 3, 4, 5, 6}, 1, 0},
      {"fit / set with zeros", {sets[0].get(), sets[0]->fits[0].get()}, {sets[1].get()}, kOpDivide, {0, 2, 4, 5},
       3, 0},
      {"negative base to a fractional power", {sets[3].get()}, {sets[4].get()}, kOpPower, {1, 3, 5, 6}, 0, 3},
      {"0 to a negative power", {sets[1].get()}, {sets[2].get()}, kOpPower, {0, 2, 4, 5}, 0, 3},
      {"multiplying by zero is fine", {sets[0].get()}, {sets[1].get()}, kOpMultiply, Range(0, 6, 1), 0, 0},
  };
  for (const auto& c : cases) {
    Data_Set target;
    SetOperateCounts leftOut;
    ASSERT_EQ(SetOperate(target, c.first, c.second, c.op, sets, &leftOut), 0) << c.what;
    EXPECT_EQ(Column(target, 0), c.x) << c.what;
    for (double v : Column(target, 1)) EXPECT_TRUE(std::isfinite(v)) << c.what;
    EXPECT_EQ(leftOut.divisionsByZero, c.divisionsByZero) << c.what;
    EXPECT_EQ(leftOut.mathErrors, c.mathErrors) << c.what;
  }
  // Values themselves: 3 / 2 at x = 2, never the numerator where Z is 0.
  Data_Set quotient;
  ASSERT_EQ(SetOperate(quotient, {sets[0].get()}, {sets[1].get()}, kOpDivide, sets), 0);
  EXPECT_NEAR(quotient.GetValue(1, 1), 1.5, 1e-12);

  // Nothing left at all: a failure, still with the count.
  auto zeros = MakeSet("0", Range(0, 6, 1), std::vector<double>(7, 0.0));
  Data_Set target;
  SetOperateCounts leftOut;
  EXPECT_EQ(SetOperate(target, {sets[0].get()}, {zeros.get()}, kOpDivide, sets, &leftOut), -1);
  EXPECT_EQ(leftOut.divisionsByZero, 7);
  EXPECT_EQ(target.PointCount(0), 0);
}

TEST(CombineValues, WeightsAreOneOverTheError) {
  struct Case {
    double y1, e1, y2, e2, y, e;
  };
  const Case cases[] = {
    {1, 1, 5, 3, (1 + 5.0 / 3) / (1 + 1.0 / 3), 0.5 * std::sqrt(10.0)},
    {1, 2, 5, 0, 3, 1},
    {1, -2, 5, 4, 3, 2},  // a negative error counts as none
    {1, 0, 5, 0, 3, 0},
  };
  for (const Case& c : cases) {
    const Combined r = CombineValues(c.y1, c.e1, c.y2, c.e2);
    EXPECT_DOUBLE_EQ(r.y, c.y);
    EXPECT_DOUBLE_EQ(r.e, c.e);
  }
}

TEST(MergeInto, SharedXIsCombinedAndTheRestInterleaved) {
  auto a = MakeSet("first", {3, 1}, {30, 10});
  auto b = MakeSet("second", {2, 3}, {20, 50});
  MergeInto(*a, *b);
  EXPECT_EQ(a->name, "first+second");
  EXPECT_EQ(Column(*a, 0), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(Column(*a, 1), (std::vector<double>{10, 20, 40}));
  EXPECT_EQ(a->ColumnCount(), 2);  // no errors anywhere: none stored

  auto c = MakeSet("c", {1, 3}, {1, 1});
  auto d = MakeSet("d", {3}, {5});
  c->SetValue(2, 0, 9), c->SetValue(2, 1, 1);
  d->SetValue(2, 0, 3);
  MergeInto(*c, *d);
  EXPECT_EQ(Column(*c, 0), (std::vector<double>{1, 3}));
  EXPECT_DOUBLE_EQ(c->GetValue(1, 1), (1 + 5.0 / 3) / (1 + 1.0 / 3));
  EXPECT_DOUBLE_EQ(c->GetValue(2, 1), 0.5 * std::sqrt(10.0));
  EXPECT_DOUBLE_EQ(c->GetValue(2, 0), 9);
}

TEST(MergeInto, XErrorIntervalsDecideWhatCoincides) {
  struct Case {
    const char* what;
    double xa, ea, xb, eb;
    std::vector<double> x, xError;
  };
  const Case cases[] = {
    {"touching intervals, both errors", 1.0, 0.5, 2.0, 0.5, {1.5}, {0.5 * std::sqrt(0.5)}},
    {"only the first has an error", 1.0, 1.0, 2.0, 0.0, {2.0}, {0.5}},
    {"only the second has an error", 2.0, 0.0, 1.0, 1.0, {2.0}, {0.5}},
    {"apart", 1.0, 0.4, 2.0, 0.5, {1.0, 2.0}, {0.4, 0.5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto a = MakeSet("a", {c.xa}, {4});
    auto b = MakeSet("b", {c.xb}, {8});
    a->SetValue(3, 0, c.ea);
    b->SetValue(3, 0, c.eb);
    MergeInto(*a, *b);
    EXPECT_EQ(Column(*a, 0), c.x);
    ASSERT_EQ(Column(*a, 3).size(), c.xError.size());
    for (size_t k = 0; k < c.xError.size(); ++k) EXPECT_DOUBLE_EQ(a->GetValue(3, static_cast<int>(k)), c.xError[k]);
  }
}

TEST(MergeInto, ASetThatRunsOutFirstIsNeverReadAgain) {
  auto a = MakeSet("a", {1, 2}, {1, 2});
  a->SetValue(2, 0, 0.1), a->SetValue(2, 1, 0.2);
  auto b = MakeSet("b", {5, 6, 7}, {5, 6, 7});
  MergeInto(*a, *b);
  EXPECT_EQ(Column(*a, 0), (std::vector<double>{1, 2, 5, 6, 7}));
  EXPECT_EQ(Column(*a, 1), (std::vector<double>{1, 2, 5, 6, 7}));
  // The errors belong to the first two points only; nothing stale after them.
  EXPECT_EQ(Column(*a, 2), (std::vector<double>{0.1, 0.2}));

  auto c = MakeSet("c", {5, 6}, {5, 6});
  auto d = MakeSet("d", {-2, -1}, {-2, -1});
  MergeInto(*c, *d);
  EXPECT_EQ(Column(*c, 0), (std::vector<double>{-2, -1, 5, 6}));

  // An error that is not stored (not > 0) must not survive at a shifted index.
  auto e = MakeSet("e", {1, 3}, {1, 3});
  e->SetValue(2, 0, 0.1), e->SetValue(2, 1, -0.3);
  auto f = MakeSet("f", {2}, {2});
  MergeInto(*e, *f);
  EXPECT_EQ(Column(*e, 0), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(e->GetValue(2, 1), 0.0);
  EXPECT_EQ(e->GetValue(2, 2), 0.0);
}

TEST(IndexWindows, FirstAtOrAboveAndLastAtOrBelow) {
  struct Case {
    std::vector<double> x;
    double value;
    int first, last;
  };
  const Case cases[] = {
    {{0, 1, 2, 3, 4}, 1.5, 2, 1},
    {{0, 1, 2, 3, 4}, 2, 2, 2},
    {{0, 1, 2, 3, 4}, 9, -1, 4},
    {{0, 1, 2, 3, 4}, -9, 0, -1},
    {{0, 1, 5, 3, 4}, 3.5, 4, 1},  // runs, not a sorted search
    {{4, 3, 2, 1, 0}, 1.5, 2, 3},  // descending
    {{4, 3, 2, 1, 0}, 9, -1, 0},
    {{4, 3, 2, 1, 0}, -9, 4, -1},
    {{7}, 3, 0, 0},
    {{}, 3, 0, 0},
  };
  for (const Case& c : cases) {
    auto set = MakeSet("s", c.x, c.x);
    EXPECT_EQ(FirstIndexAtOrAbove(*set, c.value), c.first) << c.value;
    EXPECT_EQ(LastIndexAtOrBelow(*set, c.value), c.last) << c.value;
  }
}

TEST(IndexWindows, NearestYInAWindow) {
  auto set = MakeSet("s", {0, 1, 2, 3, 4, 5}, {10, 11, 12, 13, 14, 15});
  struct Case {
    double x;
    int lo, hi;
    double y;
  };
  const Case cases[] = {
    {-5, 0, 5, 10}, {99, 0, 5, 15}, {0.4, 0, 5, 10}, {0.6, 0, 5, 11}, {2.5, 0, 5, 13},  // a tie takes the upper
    {3, 0, 5, 13},  {0, 2, 4, 12},  {9, 2, 4, 14},   {3.2, 2, 4, 13}, {3, 3, 3, 13},
  };
  for (const Case& c : cases) EXPECT_EQ(NearestY(*set, c.x, c.lo, c.hi), c.y) << c.x << " in " << c.lo << ".." << c.hi;
}

TEST(CropAndSwap, CropKeepsThePointsInsideTheRectangle) {
  auto set = MakeSet("s", {5, 0, 1, 2, 3, 4}, {50, 0, 10, 99, 30, 40});
  set->SetValue(2, 5, 0.5);  // y error of the last point as given (x = 4)
  CropTo(*set, 1, 5, 4, 60);
  EXPECT_EQ(Column(*set, 0), (std::vector<double>{1, 3, 4}));
  EXPECT_EQ(Column(*set, 1), (std::vector<double>{10, 30, 40}));
  EXPECT_EQ(Column(*set, 2), (std::vector<double>{0, 0, 0.5}));

  auto swapped = MakeSet("t", {1, 2}, {3, 4});
  swapped->SetValue(2, 1, 0.2);
  swapped->SetValue(3, 1, 0.3);
  swapped->modified = false;
  SwapXY(*swapped);
  EXPECT_EQ(Column(*swapped, 0), (std::vector<double>{3, 4}));
  EXPECT_EQ(Column(*swapped, 1), (std::vector<double>{1, 2}));
  EXPECT_EQ(swapped->GetValue(2, 1), 0.3);
  EXPECT_EQ(swapped->GetValue(3, 1), 0.2);
  EXPECT_TRUE(swapped->modified);
}

SetList SineSets(double secondScale) {
  const std::vector<double> x = Range(0, 3, 0.1);
  SetList sets;
  sets.push_back(MakeSet("ref", x, Map(x, [](double v) { return std::sin(v); })));
  sets.push_back(MakeSet("twice", x, Map(x, [&](double v) { return secondScale * std::sin(v); })));
  return sets;
}

TEST(Overlap, SineOntoTwiceSineGivesOneHalf) {
  SetList sets = SineSets(2.0);
  sets.push_back(MakeSet("far", {10, 11, 12, 13}, {1, 2, 3, 4}));  // no point inside the window
  sets.push_back(MakeSet("below", {-9, -8, -7}, {1, 2, 3}));
  const std::vector<double> reference = Column(*sets[0], 1), twice = Column(*sets[1], 1);
  OverlapSets(sets, 0.5, 2.5, kOverlapPlain);
  EXPECT_EQ(Column(*sets[0], 1), reference);
  const std::vector<double> scaled = Column(*sets[1], 1);
  for (size_t k = 0; k < scaled.size(); ++k) EXPECT_NEAR(scaled[k], 0.5 * twice[k], 1e-8);
  EXPECT_EQ(Column(*sets[2], 1), (std::vector<double>{1, 2, 3, 4}));
  EXPECT_EQ(Column(*sets[3], 1), (std::vector<double>{1, 2, 3}));
}

TEST(Overlap, AReferenceWithoutPointsInTheWindowIsPassedOver) {
  SetList sets = SineSets(2.0);
  sets.insert(sets.begin(), MakeSet("outside", {7, 8, 9, 10}, {1, 1, 1, 1}));
  OverlapSets(sets, 0.5, 2.5, kOverlapContinuousIntegral);
  EXPECT_EQ(Column(*sets[0], 1), (std::vector<double>{1, 1, 1, 1}));
  EXPECT_NEAR(sets[2]->GetValue(1, 10), sets[1]->GetValue(1, 10), 1e-8);
}

TEST(Overlap, InactiveSetsTakeNoPart) {
  SetList sets = SineSets(2.0);
  sets[0]->active = 0;
  sets.push_back(MakeSet("third", Range(0, 3, 0.1), Map(Range(0, 3, 0.1), [](double v) { return 4 * std::sin(v); })));
  OverlapSets(sets, 0.5, 2.5, kOverlapPlain);
  EXPECT_NEAR(sets[1]->GetValue(1, 10), 2 * std::sin(1.0), 1e-12);  // now the reference
  EXPECT_NEAR(sets[2]->GetValue(1, 10), 2 * std::sin(1.0), 1e-7);
}

TEST(Overlap, NoUsableRatioLeavesTheSetAlone) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* what;
    std::vector<double> refY, setY;
  };
  const Case cases[] = {
    {"all zero", {1, 2, 3, 4, 5, 6}, {0, 0, 0, 0, 0, 0}},
    {"reference zero", {0, 0, 0, 0, 0, 0}, {1, 2, 3, 4, 5, 6}},
    {"NaN", {1, nan, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<double> x = {0, 1, 2, 3, 4, 5};
    SetList sets;
    sets.push_back(MakeSet("r", x, c.refY));
    sets.push_back(MakeSet("s", x, c.setY));
    OverlapSets(sets, 0, 5, kOverlapPlain);
    const std::vector<double> after = Column(*sets[1], 1);
    for (size_t k = 0; k < after.size(); ++k) EXPECT_EQ(after[k], c.setY[k]);
  }
  // A reference window too short for a spline gives no factor either.
  auto r = MakeSet("r", {0, 1, 2}, {1, 2, 3});
  auto s = MakeSet("s", {0, 1, 2}, {2, 4, 6});
  EXPECT_EQ(OverlapFactor(*r, {0, 2}, *s, {0, 2}, kOverlapPlain), 0.0);
  EXPECT_EQ(OverlapFactor(*r, {-1, 2}, *s, {0, 2}, kOverlapPlain), 0.0);
}

// The continuous-integral cost, from plain trapezoid integrals at the shared
// x values (where the spline through the reference integral is exact).
double OracleIntegralCost(const std::vector<double>& x, const std::vector<double>& r, const std::vector<double>& s,
                          size_t from, size_t to, double factor) {
  std::vector<double> ri(x.size(), 0.0), si(x.size(), 0.0);
  for (size_t k = from; k < to; ++k) {
    si[k + 1] = si[k] + (s[k] + s[k + 1]) * (x[k + 1] - x[k]) / 2;
    ri[k + 1] = ri[k] + (r[k] + r[k + 1]) * (x[k + 1] - x[k]) / 2;
  }
  double sum = 0;
  for (size_t k = from; k < to; ++k) sum += std::fabs(ri[k] - ri[from] - factor * si[k]);
  return sum / static_cast<double>(to - from);
}

TEST(Overlap, ContinuousIntegralMatchesTheIntegrals) {
  // The second set is twice the reference plus a wiggle that averages out of
  // the integrals but not out of the point-wise ratios.
  const std::vector<double> x = Range(0, 6, 0.05);
  const std::vector<double> r = Map(x, [](double v) { return 1 + 0.5 * v; });
  const std::vector<double> s = Map(x, [](double v) { return 2 * (1 + 0.5 * v) + 1.5 * std::sin(9 * v); });
  auto ref = MakeSet("r", x, r);
  auto set = MakeSet("s", x, s);
  const auto rw = OverlapWindow(*ref, 1, 5);
  const auto sw = OverlapWindow(*set, 1, 5);
  ASSERT_TRUE(rw && sw);
  const double plain = OverlapFactor(*ref, *rw, *set, *sw, kOverlapPlain);
  const double integral = OverlapFactor(*ref, *rw, *set, *sw, kOverlapContinuousIntegral);

  const auto from = static_cast<size_t>(sw->lo), to = static_cast<size_t>(sw->hi);
  double best = 0, bestCost = 1e300;
  for (double f = 0.3; f <= 0.7; f += 1e-5) {
    const double c = OracleIntegralCost(x, r, s, from, to, f);
    if (c < bestCost) bestCost = c, best = f;
  }
  EXPECT_NEAR(integral, best, 2e-4);
  EXPECT_LT(OracleIntegralCost(x, r, s, from, to, integral), OracleIntegralCost(x, r, s, from, to, plain));
  EXPECT_GT(std::fabs(plain - integral), 1e-3);
}

TEST(Overlap, ScalingXStretchesOntoTheReference) {
  const std::vector<double> ax = Range(0, 10, 1), bx = Range(0, 20, 2);
  SetList sets;
  sets.push_back(MakeSet("a", ax, Map(ax, [](double x) { return x * x / 10; })));
  sets.push_back(MakeSet("b", bx, Map(bx, [](double x) { return (x / 2) * (x / 2) / 10; })));
  sets.push_back(MakeSet("flat", {0, 1}, {50, 50}));  // outside the visible rectangle
  OverlapScalingX(sets, -1, -1, 21, 11, -1, 11);
  EXPECT_EQ(Column(*sets[0], 0), ax);
  const std::vector<double> scaled = Column(*sets[1], 0);
  for (size_t k = 0; k < scaled.size(); ++k) EXPECT_NEAR(scaled[k], ax[k], 1e-7);
  EXPECT_EQ(Column(*sets[2], 0), (std::vector<double>{0, 1}));
}

TEST(ScaledPreview, RefillEmptiesThePreviewFirst) {
  const std::vector<double> ax = Range(0, 10, 1);
  auto first = MakeSet("A", ax, Map(ax, [](double x) { return 3 * x; }));
  auto second = MakeSet("B", {2, 3, 4, 5, 12}, {1, 1, 1, 1, 1});
  second->SetValue(2, 0, 0.5);
  second->fits.push_back(std::make_unique<Fit>());
  second->ReattachFits();
  Data_Set preview;
  for (int k = 0; k < 30; ++k) preview.SetValue(3, k, 9);  // an earlier, longer refill
  ASSERT_TRUE(RefillScaledPreview(preview, *first, *second, 1.1));
  EXPECT_EQ(preview.ColumnCount(), 2);
  EXPECT_TRUE(preview.fits.empty());
  EXPECT_EQ(Column(preview, 0), (std::vector<double>{2, 3, 4, 5}));
  for (int k = 0; k < 4; ++k) EXPECT_NEAR(preview.GetValue(1, k), 3 * (k + 2) - 1.1, 1e-12);
  EXPECT_EQ(preview.name, "B+A");

  auto tiny = MakeSet("T", {0, 1, 2}, {0, 1, 2});
  EXPECT_FALSE(RefillScaledPreview(preview, *tiny, *second, 2.0));
  EXPECT_EQ(preview.PointCount(0), 4);
}

}  // namespace
}  // namespace zentrel
