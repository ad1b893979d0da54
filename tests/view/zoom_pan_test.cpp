// The wheel's zoom about the cursor and the pan drag, on linear and
// logarithmic axes, and where they give up.

#include "view/zoom_pan.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zentrel {
namespace {

// A plot 1000 units wide (0..1000) and 500 high (-500..0).
Viewport Plot(const DataRange& range, bool logX = false, bool logY = false) {
  Viewport v;
  v.pageRect = {0, 0, 1000, -500};
  v.plotRect = {0, 0, 1000, -500};
  v.range = range;
  v.logX = logX;
  v.logY = logY;
  return v;
}

// Where the data at device (x, y) of `before` lands in `after`, in device units.
std::pair<double, double> Moved(const Viewport& before, const Viewport& after, double x, double y) {
  const auto axis = [](double d, double origin, double length, double lo, double hi, double lo2, double hi2,
                       bool log) {
    const auto u = [log](double v) { return log ? std::log10(v) : v; };
    const double t = (d - origin) / length;
    const double value = log ? std::pow(10.0, u(lo) + t * (u(hi) - u(lo))) : lo + t * (hi - lo);
    return origin + length * (u(value) - u(lo2)) / (u(hi2) - u(lo2));
  };
  const DataRange& a = before.range;
  const DataRange& b = after.range;
  return {axis(x, 0, 1000, a.xMin, a.xMax, b.xMin, b.xMax, before.logX),
          axis(y, -500, 500, a.yMin, a.yMax, b.yMin, b.yMax, before.logY)};
}

TEST(WheelZoom, TheDataUnderTheCursorStaysPut) {
  struct Case {
    DataRange range;
    bool logX, logY;
    double x, y, factor;
  };
  const Case cases[] = {
      {{0, 0, 10, 10}, false, false, 250, -100, 0.8},
      {{0, 0, 10, 10}, false, false, 250, -100, 1.25},
      {{-3e-9, 5e6, 7e-9, 9e6}, false, false, 999, -1, 0.5},
      {{1e-3, 1, 1e3, 1e6}, true, true, 100, -450, 0.8},
      {{1e-3, -1, 1e3, 1}, true, false, 700, -250, 4.0},
  };
  for (const Case& c : cases) {
    const Viewport before = Plot(c.range, c.logX, c.logY);
    const auto zoomed = ZoomedAbout(before, c.x, c.y, c.factor);
    ASSERT_TRUE(zoomed.has_value());
    const Viewport after = Plot(*zoomed, c.logX, c.logY);
    const auto [x, y] = Moved(before, after, c.x, c.y);
    EXPECT_NEAR(x, c.x, 1e-6);
    EXPECT_NEAR(y, c.y, 1e-6);
  }
}

TEST(WheelZoom, ScalesTheExtentAndBackAgain) {
  const Viewport v = Plot({0, 0, 10, 10});
  const auto in = ZoomedAbout(v, 500, -250, 0.5);
  ASSERT_TRUE(in.has_value());
  EXPECT_EQ(*in, (DataRange{2.5, 2.5, 7.5, 7.5}));
  const auto out = ZoomedAbout(Plot(*in), 500, -250, 2.0);
  ASSERT_TRUE(out.has_value());
  EXPECT_EQ(*out, (DataRange{0, 0, 10, 10}));
  // A log axis zooms in decades: 1..1e4 about its middle shows 10..1e3.
  const auto decades = ZoomedAbout(Plot({1, 1, 1e4, 1e4}, true, true), 500, -250, 0.5);
  ASSERT_TRUE(decades.has_value());
  EXPECT_NEAR(decades->xMin, 10, 1e-9);
  EXPECT_NEAR(decades->xMax, 1e3, 1e-9);
}

TEST(WheelZoom, GivesUpWhereNumbersRunOut) {
  // Ends that doubles can no longer tell apart, or an extent beyond them.
  EXPECT_FALSE(ZoomedAbout(Plot({1, 1, 1 + 1e-12, 2}), 500, -250, 0.5).has_value());
  EXPECT_FALSE(ZoomedAbout(Plot({-1e308, 0, 1e308, 1}), 500, -250, 2.0).has_value());
  EXPECT_FALSE(ZoomedAbout(Plot({1e-300, 1, 1e300, 10}, true), 500, -250, 8.0).has_value());
  // No plot, no factor.
  Viewport flat = Plot({0, 0, 1, 1});
  flat.plotRect.right = flat.plotRect.left;
  EXPECT_FALSE(ZoomedAbout(flat, 0, 0, 0.5).has_value());
  EXPECT_FALSE(ZoomedAbout(Plot({0, 0, 1, 1}), 0, 0, 0.0).has_value());
  EXPECT_FALSE(ZoomedAbout(Plot({0, 0, 1, 1}), 0, 0, NAN).has_value());
}

TEST(Pan, MovesTheDataWithTheCursor) {
  // 100 units right and 50 up on a 0..10 square: what was at x = 1, y = 1
  // is now under the cursor, so the range moves 1 left and 1 down.
  const auto panned = PannedBy(Plot({0, 0, 10, 10}), {300, -300}, {400, -250});
  ASSERT_TRUE(panned.has_value());
  EXPECT_NEAR(panned->xMin, -1, 1e-12);
  EXPECT_NEAR(panned->xMax, 9, 1e-12);
  EXPECT_NEAR(panned->yMin, -1, 1e-12);
  EXPECT_NEAR(panned->yMax, 9, 1e-12);
  // On a log axis the range moves by a factor: a tenth of 1..1e10 is a decade.
  const auto log = PannedBy(Plot({1, 1, 1e10, 2}, true), {500, -250}, {400, -250});
  ASSERT_TRUE(log.has_value());
  EXPECT_NEAR(std::log10(log->xMin), 1, 1e-9);
  EXPECT_NEAR(std::log10(log->xMax), 11, 1e-9);
  EXPECT_EQ(log->yMin, 1);
  // Back where it started: the same range.
  EXPECT_EQ(PannedBy(Plot({0, 0, 10, 10}), {10, -10}, {10, -10}), (DataRange{0, 0, 10, 10}));
}

}  // namespace
}  // namespace zentrel
