#include "view/axes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "view/recording_surface.h"

namespace zentrel {
namespace {

using Kind = RecordingSurface::Kind;

// Page 1000 x 800 from the top-left corner; without labels the plot is
// 65..965 across and -765..-5 up.
const DeviceRect kPage{0, 0, 1000, -800};

struct Axes {
  RecordingSurface surface;
  Graph graph;
  Viewport viewport;
  void draw(bool abbreviations = true) {
    surface.clear();
    viewport = MakeViewport(graph, kPage);
    DrawAxes(surface, graph, viewport, abbreviations);
  }
  // Labels below the x axis and left of the y axis, told apart by position.
  std::vector<std::string> xLabels() const {
    return labelsWhere([&](DevicePoint p) { return p.y == viewport.plotRect.bottom - 16; });
  }
  std::vector<std::string> yLabels() const {
    return labelsWhere([&](DevicePoint p) { return p.x == viewport.plotRect.left - 55; });
  }
  template <typename Pred>
  std::vector<std::string> labelsWhere(Pred pred) const {
    std::vector<std::string> out;
    for (const auto& item : surface.itemsOfKind(Kind::Text))
      if (pred(item.a)) out.push_back(item.text);
    return out;
  }
};

TEST(Axes, LinearLabelsFollowTheRangeAndTheAbbreviationSwitch) {
  using Labels = std::vector<std::string>;
  const struct {
    double lo, hi;
    bool abbreviations;
    Labels x;
  } cases[] = {
      {0, 1, true, {"0", "0.20 ", "0.40 ", "0.60 ", "0.80 ", "1.00 "}},
      {-0.05, 1.05, true, {"0", "0.30 ", "0.60 ", "0.90 "}},
      {0, 2000, true, {"0", "0.40K", "0.80K", "1.20K", "1.60K", "2.00K"}},
      // The rounded range is 2.5e-6, so the spacing is half a micro; the
      // running sum overshoots 2e-6 by rounding, the tick is kept.
      {0, 2e-6, true, {"0", "0.50u", "1.00u", "1.50u", "2.00u"}},
      {0, 1, false, {"0", "0.2", "0.4", "0.6", "0.8", "1"}},
      {0, 2000, false, {"0", "400", "800", "1200", "1600", "2000"}},
      // Beyond 1e18 labels fall back to %g even with abbreviations on.
      {-1e20, 1e20, true, {"-1e+20", "-6e+19", "-2e+19", "2e+19", "6e+19", "1e+20"}},
  };
  for (const auto& c : cases) {
    Axes axes;
    axes.graph.SetRange(c.lo, 0, c.hi, 1);
    axes.draw(c.abbreviations);
    EXPECT_EQ(axes.xLabels(), c.x) << c.lo << ".." << c.hi;
  }
}

TEST(Axes, YLabelsHaveOneDecimalAndRaiseBeforeSnapping) {
  Axes axes;
  axes.draw();
  EXPECT_EQ(axes.yLabels(), (std::vector<std::string>{"0", "0.2 ", "0.4 ", "0.6 ", "0.8 ", "1.0 "}));
  // From -0.04 the start is -0.05. The x axis snaps it to 0 first; the y
  // axis raises it by a fifth of 1.5 first, to 0.25, and nothing snaps.
  axes.graph.SetRange(-0.04, -0.04, 1.05, 1.05);
  axes.draw();
  EXPECT_EQ(axes.xLabels(), (std::vector<std::string>{"0", "0.30 ", "0.60 ", "0.90 "}));
  EXPECT_EQ(axes.yLabels(), (std::vector<std::string>{"0.3 ", "0.6 ", "0.9 "}));  // ticks at 0.25, 0.55, 0.85
}

TEST(Axes, TicksAndLabelsSitAtTheirDevicePositions) {
  Axes axes;
  axes.draw();
  const auto& items = axes.surface.items();
  ASSERT_GE(items.size(), 3u);
  EXPECT_EQ(items[0].kind, Kind::Rectangle);
  EXPECT_EQ(items[0].a, (DevicePoint{65, -5}));
  EXPECT_EQ(items[0].b, (DevicePoint{965, -765}));
  // x tick 0.2 at 65 + 180: label 5 left and 16 below the frame, mark from 6 below to 4 above.
  EXPECT_EQ(items[3].kind, Kind::Text);
  EXPECT_EQ(items[3].a, (DevicePoint{240, -781}));
  EXPECT_EQ(items[4].a, (DevicePoint{245, -771}));
  EXPECT_EQ(items[4].b, (DevicePoint{245, -761}));
  // y tick 0.2 at -765 + 152: label 55 left of the frame and 3 up, mark 5 either side.
  bool found = false;
  for (size_t k = 0; k + 1 < items.size(); ++k) {
    if (items[k].kind == Kind::Text && items[k].text == "0.2 ") {
      found = true;
      EXPECT_EQ(items[k].a, (DevicePoint{10, -610}));
      EXPECT_EQ(items[k + 1].a, (DevicePoint{60, -613}));
      EXPECT_EQ(items[k + 1].b, (DevicePoint{70, -613}));
    }
  }
  EXPECT_TRUE(found);
}

TEST(Axes, LogarithmicTicksAreSixEqualStepsInLogarithms) {
  Axes axes;
  axes.graph.logY = 1;
  axes.graph.SetRange(0, 1, 1, 1e5);
  axes.draw();
  EXPECT_EQ(axes.yLabels(),
            (std::vector<std::string>{"1.0e+00", "1.0e+01", "1.0e+02", "1.0e+03", "1.0e+04", "1.0e+05"}));
  axes.graph.SetRange(0, 1, 1, 1000);
  axes.draw();
  EXPECT_EQ(axes.yLabels(),
            (std::vector<std::string>{"1.0e+00", "4.0e+00", "1.6e+01", "6.3e+01", "2.5e+02", "1.0e+03"}));
  // A non-positive lower end starts at 1e-10, and the mapping repairs the range.
  axes.graph.logX = 1;
  axes.graph.SetRange(-3, 1, 100, 10);
  axes.draw();
  const auto x = axes.xLabels();
  ASSERT_FALSE(x.empty());
  EXPECT_EQ(x.front(), "1.0e-10");
  EXPECT_EQ(axes.viewport.range.xMin, 1e-10);
  EXPECT_EQ(axes.graph.xMin, -3.0);  // the graph keeps its own
}

TEST(Axes, LogTicksOfARangeNotYetRepairedStartFromItsStoredEnds) {
  // The drawing right after a command, before the settle repairs the range,
  // shows what the first paint always showed: an upper end <= 0 gets no tick.
  Axes axes;
  axes.graph.logX = 1;
  axes.graph.xMin = -1;
  axes.graph.xMax = -0.5;
  axes.draw();
  EXPECT_TRUE(axes.xLabels().empty());
  axes.graph.RepairLogRanges();  // 1e-10 .. 1
  axes.draw();
  EXPECT_EQ(axes.xLabels().size(), 6u);
  // Below a tiny positive upper end the ticks start at a hundredth of it.
  axes.graph.xMin = 0;
  axes.graph.xMax = 1e-12;
  axes.draw();
  ASSERT_FALSE(axes.xLabels().empty());
  EXPECT_EQ(axes.xLabels().front(), "1.0e-14");
}

TEST(Axes, DegenerateRangesEndTheTickLoops) {
  const struct {
    double xMin, xMax;
    int logX;
  } cases[] = {{5, 5, 0}, {5, 5, 1}, {1e20, 1e20 + 1, 0}, {std::nan(""), 1, 0}, {0, INFINITY, 0}, {-1, 0, 1}};
  for (const auto& c : cases) {
    Axes axes;
    axes.graph.logX = c.logX;
    axes.graph.xMin = c.xMin;
    axes.graph.xMax = c.xMax;
    axes.draw();
    EXPECT_LE(axes.xLabels().size(), 11u) << c.xMin << ".." << c.xMax;
  }
}

TEST(Axes, TitleAndLabelsAreCentredAndTheYLabelStandsUpright) {
  Axes axes;
  axes.graph.title = "Title";    // 40 units wide at 8 per character
  axes.graph.xLabel = "X axis";  // 48
  axes.graph.yLabel = "µs!";     // three characters, one of them two bytes
  axes.draw();
  ASSERT_EQ(axes.viewport.plotRect, (DeviceRect{85, -25, 965, -745}));
  const auto texts = axes.surface.itemsOfKind(Kind::Text);
  std::vector<RecordingSurface::Item> tail(texts.end() - 5, texts.end());
  EXPECT_EQ(tail[0].text, "Title");
  EXPECT_EQ(tail[0].a, (DevicePoint{505, -5}));
  EXPECT_EQ(tail[1].text, "X axis");
  EXPECT_EQ(tail[1].a, (DevicePoint{501, -775}));
  // Centred on (-745 + -25) / 2 = -385, starting 8 units per character higher.
  EXPECT_EQ(tail[2].text, "µ");
  EXPECT_EQ(tail[2].a, (DevicePoint{10, -361}));
  EXPECT_EQ(tail[3].text, "s");
  EXPECT_EQ(tail[3].a, (DevicePoint{10, -377}));
  EXPECT_EQ(tail[4].text, "!");
  EXPECT_EQ(tail[4].a, (DevicePoint{10, -393}));
}

TEST(Axes, PolarModeDrawsOnlyTheGreyGrid) {
  Axes axes;
  axes.graph.polar = 1;
  axes.graph.SetRange(-2, -2, 2, 2);
  axes.graph.title = "not drawn in polar mode";
  axes.draw();
  EXPECT_TRUE(axes.surface.itemsOfKind(Kind::Rectangle).empty());
  EXPECT_TRUE(axes.surface.texts().empty());
  const auto lines = axes.surface.itemsOfKind(Kind::Line);
  ASSERT_EQ(lines.size(), 8u + 4 * 360);
  for (const auto& line : lines) EXPECT_EQ(line.pen, kPolarGridGrey);
  EXPECT_EQ(axes.surface.CurrentPen(), kBlack);  // restored
  Graph& g = axes.graph;
  const Viewport& v = axes.viewport;
  const DevicePoint pole{v.DataToDeviceX(0), v.DataToDeviceY(0)};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(lines[k].a, pole);
  EXPECT_EQ(lines[0].b, (DevicePoint{v.plotRect.right, pole.y}));  // 0 degrees points right
  // The circles: radius 2, 1.5, 1, 0.5 start on the 0-degree spoke.
  const double perUnit = (v.plotRect.right - v.plotRect.left) / 4.0;
  for (int c = 0; c < 4; ++c) EXPECT_NEAR(lines[8 + 360 * c].a.x - pole.x, (2 - 0.5 * c) * perUnit, 1.0) << c;

  g.SetPolarOrigin(90);
  axes.draw();
  const auto turned = axes.surface.itemsOfKind(Kind::Line);
  ASSERT_EQ(turned.size(), lines.size());
  EXPECT_NEAR(turned[0].b.x, pole.x, 1);  // now 0 degrees points up
  EXPECT_NEAR(turned[0].b.y, v.plotRect.top, 1);
}

TEST(Axes, ClippedLinesKeepOnlyThePartInsideThePlot) {
  const Viewport g = MakeViewport(Graph{}, kPage);
  const struct {
    DevicePoint from, to;
    bool drawn;
    DevicePoint clippedFrom, clippedTo;
  } cases[] = {
      {{100, -100}, {200, -200}, true, {100, -100}, {200, -200}},  // inside: unchanged
      {{0, -400}, {1000, -400}, true, {65, -400}, {965, -400}},    // across: frame to frame
      {{500, 100}, {500, -900}, true, {500, -5}, {500, -765}},
      {{0, -5}, {1000, -5}, true, {65, -5}, {965, -5}},      // along the top edge
      {{0, 100}, {1000, 100}, false, {}, {}},                // above the plot
      {{0, 0}, {60, -900}, false, {}, {}},                   // left of it
      {{0, -770}, {70, -900}, false, {}, {}},                // past the corner
      {{15, -405}, {515, -5}, true, {65, -365}, {515, -5}},  // enters through the left edge
  };
  for (const auto& c : cases) {
    RecordingSurface surface;
    DrawClippedLine(surface, g, c.from, c.to);
    const auto lines = surface.lines(kBlack);
    ASSERT_EQ(lines.size(), c.drawn ? 1u : 0u) << c.from.x << "," << c.from.y;
    if (c.drawn) {
      EXPECT_EQ(lines[0].from, c.clippedFrom);
      EXPECT_EQ(lines[0].to, c.clippedTo);
    }
  }
}

}  // namespace
}  // namespace zentrel
