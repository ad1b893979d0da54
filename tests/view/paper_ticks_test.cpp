#include "view/paper_ticks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <set>
#include <string>

namespace zentrel {
namespace {

// The value a label states, in the axis' units.
double Stated(const TickLabel& label, int powerOfTen) {
  if (!label.superscript.empty()) return std::pow(std::strtod(label.text.c_str(), nullptr), std::stoi(label.superscript));
  return std::strtod(label.text.c_str(), nullptr) * std::pow(10.0, powerOfTen);
}

// A step is round when it is 1, 2 or 5 times a power of ten.
bool IsRoundStep(double step) {
  const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-12));
  for (const double m : {1.0, 2.0, 5.0, 10.0})
    if (std::fabs(mantissa - m) < 1e-9) return true;
  return false;
}

void ExpectTicksState(const AxisTicks& ticks, double lo, double hi, const std::string& what) {
  ASSERT_EQ(ticks.major.size(), ticks.labels.size()) << what;
  std::set<std::string> distinct;
  for (size_t k = 0; k < ticks.major.size(); ++k) {
    const double v = ticks.major[k];
    EXPECT_GE(v, lo - 1e-12 * std::fabs(lo)) << what;
    EXPECT_LE(v, hi + 1e-12 * std::fabs(hi)) << what;
    const double stated = Stated(ticks.labels[k], ticks.powerOfTen);
    EXPECT_NEAR(stated, v, 1e-12 * std::max(std::fabs(v), std::fabs(hi - lo))) << what << " label " << ticks.labels[k].text;
    distinct.insert(ticks.labels[k].text + "^" + ticks.labels[k].superscript);
  }
  EXPECT_EQ(distinct.size(), ticks.labels.size()) << what << ": two labels read alike";
}

TEST(PaperTicks, RoundStepIsTheSmallestOneTwoFiveThatFits) {
  const struct {
    double span;
    int steps;
    double step;
  } cases[] = {{10, 5, 2}, {10, 10, 1}, {7, 5, 2}, {1, 10, 0.1}, {0.3, 3, 0.1}, {0.3, 2, 0.2},
               {2.75, 5, 1}, {3e-9, 4, 1e-9}, {45000, 4, 20000}, {1, 1, 1}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(RoundStep(c.span, c.steps), c.step) << c.span << " / " << c.steps;
  EXPECT_EQ(RoundStep(0, 5), 0.0);
  EXPECT_EQ(RoundStep(-1, 5), 0.0);
  EXPECT_EQ(RoundStep(std::numeric_limits<double>::infinity(), 5), 0.0);
  EXPECT_EQ(RoundStep(std::nan(""), 5), 0.0);
}

TEST(PaperTicks, LinearLabelsStateRoundTicksExactly) {
  const struct {
    double lo, hi;
    int maxTicks;
    bool factor;
  } cases[] = {
      {0, 2.75, 6, false},        {0.15, 3.05, 6, false},  {-1.3, 7.9, 8, false},   {0.1, 0.7, 7, false},
      {1e-9, 5e-9, 5, false},     {1e-9, 5e-9, 5, true},   {12345, 12389, 5, true}, {12345, 12389, 5, false},
      {1e6, 5e6, 5, false},       {1e6, 5e6, 5, true},     {0.001, 0.0042, 6, true}, {-5e-4, 5e-4, 6, true},
      {1000.001, 1000.002, 5, false}, {-3e12, 8e12, 6, true}, {0.2, 0.3, 11, false},
  };
  for (const auto& c : cases) {
    const std::string what = std::to_string(c.lo) + ".." + std::to_string(c.hi);
    const AxisTicks ticks = LinearTicks(c.lo, c.hi, c.maxTicks, c.factor);
    ASSERT_GE(ticks.major.size(), 2u) << what;
    EXPECT_LE(static_cast<int>(ticks.major.size()), c.maxTicks) << what;
    ExpectTicksState(ticks, c.lo, c.hi, what);
    const double step = ticks.major[1] - ticks.major[0];
    EXPECT_TRUE(IsRoundStep(step)) << what << " step " << step;
    // Decimals are only as many as the step needs: they cannot all end in 0.
    bool allEndInZero = true;
    for (const auto& label : ticks.labels)
      allEndInZero = allEndInZero && label.text.find('.') != std::string::npos && label.text.back() == '0';
    EXPECT_FALSE(allEndInZero) << what;
    for (const double m : ticks.minor) EXPECT_TRUE(m >= c.lo - 1e-12 * std::fabs(c.lo) && m <= c.hi + 1e-9) << what;
    EXPECT_GT(ticks.minor.size(), ticks.major.size()) << what;
  }
}

TEST(PaperTicks, PowersOfTenAreFactoredOnlyWhenAsked) {
  const AxisTicks factored = LinearTicks(12000, 18000, 7, true);
  EXPECT_EQ(factored.powerOfTen, 3);
  EXPECT_EQ(factored.labels.front().text, "12");
  const AxisTicks plain = LinearTicks(12000, 18000, 7, false);
  EXPECT_EQ(plain.powerOfTen, 0);
  EXPECT_EQ(plain.labels.front().text, "12000");
  EXPECT_EQ(LinearTicks(2e-6, 8e-6, 4, true).powerOfTen, -6);
  EXPECT_EQ(LinearTicks(0, 10, 6, true).powerOfTen, 0);
  // Far from 1 without factoring: short scientific labels, still exact.
  EXPECT_EQ(LinearTicks(2e-9, 6e-9, 3, false).labels.front().text, "2e-9");
}

TEST(PaperTicks, DegenerateRangesGiveNoTicks) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_TRUE(LinearTicks(1, 1, 5, false).major.empty());
  EXPECT_TRUE(LinearTicks(2, 1, 5, false).major.empty());
  EXPECT_TRUE(LinearTicks(0, inf, 5, false).major.empty());
  EXPECT_TRUE(LinearTicks(std::nan(""), 1, 5, false).major.empty());
  // Beyond what a double counts exactly in steps.
  EXPECT_TRUE(LinearTicks(1e20, 1e20 + 1e5, 5, false).major.empty());
  EXPECT_TRUE(LogTicks(0, 10, 5).major.empty());
  EXPECT_TRUE(LogTicks(-1, 10, 5).major.empty());
}

TEST(PaperTicks, LogAxesTickAtDecades) {
  const AxisTicks ticks = LogTicks(1e-3, 1e3, 10);
  ASSERT_EQ(ticks.major.size(), 7u);
  for (size_t k = 0; k < ticks.major.size(); ++k) {
    const int decade = static_cast<int>(k) - 3;
    EXPECT_DOUBLE_EQ(ticks.major[k], std::pow(10.0, decade));
    EXPECT_EQ(ticks.labels[k], (TickLabel{"10", std::to_string(decade)}));
  }
  // 2..9 in each of the six decades.
  EXPECT_EQ(ticks.minor.size(), 6u * 8u);
  ExpectTicksState(ticks, 1e-3, 1e3, "1e-3..1e3");

  // Thirty decades in at most five labels: every tenth decade.
  const AxisTicks wide = LogTicks(1, 1e30, 5);
  ASSERT_FALSE(wide.major.empty());
  EXPECT_LE(wide.major.size(), 5u);
  for (size_t k = 1; k < wide.major.size(); ++k)
    EXPECT_NEAR(std::log10(wide.major[k] / wide.major[k - 1]), std::log10(wide.major[1] / wide.major[0]), 1e-9);
  ExpectTicksState(wide, 1, 1e30, "1..1e30");
}

TEST(PaperTicks, ShortLogRangesUseRoundValues) {
  const AxisTicks ticks = LogTicks(1.5, 60, 8);  // one decade inside: 2, 5, 10, 20, 50
  ExpectTicksState(ticks, 1.5, 60, "1.5..60");
  ASSERT_EQ(ticks.major.size(), 5u);
  EXPECT_EQ(ticks.labels.front().text, "2");
  EXPECT_EQ(ticks.labels.back().text, "50");
  const AxisTicks narrow = LogTicks(2.1, 4.9, 5);  // no 1-2-5 values: linear ticks
  ExpectTicksState(narrow, 2.1, 4.9, "2.1..4.9");
  EXPECT_GE(narrow.major.size(), 2u);
}

}  // namespace
}  // namespace zentrel
