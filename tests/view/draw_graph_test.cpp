#include "view/draw_graph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "fit/catalogue.h"
#include "model/document.h"
#include "model/fit.h"
#include "view/paint_graph.h"
#include "view/recording_surface.h"

namespace zentrel {
namespace {

using Kind = RecordingSurface::Kind;

// The page puts the plot at 0..900 across and -800..0 up; with x 0..9 and
// y 0..8 one data unit is 100 device units: (x, y) lands on (100x, 100y - 800).
const DeviceRect kPage{-65, 5, 935, -835};

Data_Set& AddSet(CZentrelDoc& doc, const std::vector<std::vector<double>>& columns, Colour colour = kBlack) {
  auto set = std::make_unique<Data_Set>();
  for (size_t c = 0; c < columns.size(); ++c)
    for (size_t k = 0; k < columns[c].size(); ++k)
      set->SetValue(static_cast<int>(c), static_cast<int>(k), columns[c][k]);
  set->color = colour;
  return doc.AppendSet(std::move(set));
}

struct Scene {
  CZentrelDoc doc;
  RecordingSurface surface;
  Viewport viewport;
  Scene() { doc.graph.SetRange(0, 0, 9, 8); }
  void draw(const DrawOptions& options = {}) {
    surface.clear();
    viewport = MakeViewport(doc, kPage);
    DrawGraph(surface, doc, viewport, options);
  }
  DrawContext context() {
    viewport = MakeViewport(doc, kPage);
    return DrawContext{surface, doc.graph, viewport, doc.cursorX, doc.cursorY, {}};
  }
  std::vector<RecordingSurface::Item> itemsIn(Colour pen) const {
    std::vector<RecordingSurface::Item> out;
    for (const auto& item : surface.items())
      if (item.pen == pen && item.kind != Kind::Text) out.push_back(item);
    return out;
  }
};

TEST(DrawGraph, MarkerShapeFollowsTheSetsPlaceInTheList) {
  // Index 7 gets no marker; index 8 starts over with squares.
  const struct {
    Kind kind;
    size_t count;
  } expected[] = {{Kind::Rectangle, 1}, {Kind::Ellipse, 1}, {Kind::Line, 3}, {Kind::Line, 2},     {Kind::Line, 4},
                  {Kind::Line, 3},      {Kind::Line, 4},    {Kind::Line, 0}, {Kind::Rectangle, 1}};
  Scene scene;
  scene.doc.graph.showMarkers = 1;
  for (int i = 0; i < 9; ++i)
    AddSet(scene.doc, {{1.0 + i % 3}, {1.0 + i / 3}}, MakeColour(i + 1, 0, 0)).connectLines = 0;
  scene.draw();
  for (int i = 0; i < 9; ++i) {
    const auto items = scene.itemsIn(MakeColour(i + 1, 0, 0));
    EXPECT_EQ(items.size(), expected[i].count) << "set " << i;
    for (const auto& item : items) EXPECT_EQ(item.kind, expected[i].kind) << "set " << i;
  }

  // An inactive set keeps its index: the set after it still gets circles.
  scene.doc.sets[0]->active = 0;
  scene.draw();
  EXPECT_TRUE(scene.itemsIn(MakeColour(1, 0, 0)).empty());
  ASSERT_EQ(scene.itemsIn(MakeColour(2, 0, 0)).size(), 1u);
  EXPECT_EQ(scene.itemsIn(MakeColour(2, 0, 0))[0].kind, Kind::Ellipse);
}

TEST(DrawGraph, MarkerShapesAreTruncatedOffsetsFromTheCentre) {
  using Segments = std::vector<DeviceSegment>;
  const struct {
    std::int64_t marker;
    double size;
    Kind kind;
    Segments outline;  // lines, or one rectangle/ellipse box as (left, top)-(right, bottom)
  } cases[] = {
      {1, 1, Kind::Rectangle, {{{446, -396}, {454, -404}}}},
      {2, 1, Kind::Ellipse, {{{446, -396}, {454, -404}}}},
      {3, 1, Kind::Line, {{{450, -396}, {453, -402}}, {{453, -402}, {446, -402}}, {{446, -402}, {450, -396}}}},
      {4, 1, Kind::Line, {{{447, -397}, {452, -402}}, {{447, -402}, {452, -397}}}},
      {5,
       1,
       Kind::Line,
       {{{450, -396}, {454, -400}},
        {{454, -400}, {450, -404}},
        {{450, -404}, {446, -400}},
        {{446, -400}, {450, -396}}}},
      {6, 1, Kind::Line, {{{450, -404}, {453, -398}}, {{453, -398}, {446, -398}}, {{446, -398}, {450, -404}}}},
      {7,
       1,
       Kind::Line,
       {{{447, -397}, {452, -402}},
        {{447, -402}, {452, -397}},
        {{446, -400}, {454, -400}},
        {{450, -404}, {450, -396}}}},
      {9, 2.5, Kind::Rectangle, {{{440, -390}, {460, -410}}}},
      {8, 1, Kind::Line, {}},
      {0, 1, Kind::Line, {}},
      {-3, 1, Kind::Line, {}},
  };
  for (const auto& c : cases) {
    Scene scene;
    const double x = 4.5, y = 4;
    DrawSeries(scene.context(), &x, &y, 1, c.size, c.marker, false, kPureRed);
    Segments drawn;
    for (const auto& item : scene.surface.items()) {
      EXPECT_EQ(item.kind, c.kind) << c.marker;
      EXPECT_EQ(item.pen, kPureRed);
      drawn.push_back({item.a, item.b});
    }
    EXPECT_EQ(drawn, c.outline) << "marker " << c.marker;
  }
}

TEST(DrawGraph, RepeatedPositionsDrawOneMarkerAndNoEmptyLine) {
  Scene scene;
  // The fourth point repeats the first but not its predecessor; the point
  // at x = 20 lies outside yet still counts as the previous position.
  const std::vector<double> x{1, 1, 2, 1, 20, 20, 1};
  const std::vector<double> y{1, 1, 2, 1, 1, 1, 1};
  DrawSeries(scene.context(), x.data(), y.data(), 7, 1.0, 1, true, kBlack);
  const auto rects = scene.surface.itemsOfKind(Kind::Rectangle);
  ASSERT_EQ(rects.size(), 4u);
  EXPECT_EQ(rects[0].a, (DevicePoint{96, -696}));
  EXPECT_EQ(rects[1].a, (DevicePoint{196, -596}));
  EXPECT_EQ(rects[2].a, (DevicePoint{96, -696}));
  EXPECT_EQ(rects[3].a, (DevicePoint{96, -696}));
  EXPECT_EQ(scene.surface.lines(kBlack),
            (std::vector<DeviceSegment>{{{100, -700}, {200, -600}},
                                        {{200, -600}, {100, -700}},
                                        {{100, -700}, {900, -700}},  // clipped at the frame
                                        {{900, -700}, {100, -700}}}));
  // Markers in one call, lines in another.
  EXPECT_EQ(scene.surface.drawCalls(), 2u);
}

TEST(DrawGraph, SetsDrawTheirCommonPointsOnly) {
  Scene scene;
  scene.doc.graph.showMarkers = 1;
  AddSet(scene.doc, {{1, 2, 3}});  // x only: not drawn
  std::vector<double> x(10), y(8);
  for (int k = 0; k < 10; ++k) x[k] = 0.5 * k;
  for (int k = 0; k < 8; ++k) y[k] = 1;
  AddSet(scene.doc, {x, y});
  scene.draw();
  EXPECT_EQ(scene.surface.itemsOfKind(Kind::Ellipse).size(), 8u);  // index 1: circles
  EXPECT_EQ(scene.surface.itemsOfKind(Kind::Line).size(), 7u);
  EXPECT_TRUE(scene.surface.itemsOfKind(Kind::Rectangle).empty());
}

TEST(DrawGraph, ErrorBarsNeedTheirColumnAndAPositiveError) {
  const Colour blue = MakeColour(0, 0, 255);
  using Segments = std::vector<DeviceSegment>;
  const Segments vertical{{{196, -550}, {204, -550}}, {{196, -450}, {204, -450}}, {{200, -550}, {200, -450}}};
  const Segments horizontal{{{150, -504}, {150, -496}}, {{250, -496}, {250, -504}}, {{150, -500}, {250, -500}}};
  const struct {
    int columns;
    bool showY, showX;
    Segments expected;
  } cases[] = {
      {3, true, false, vertical},   {3, true, true, vertical},  // three columns never show x bars
      {4, false, true, horizontal}, {4, true, true, vertical}, {2, true, true, {}},
  };
  for (const auto& c : cases) {
    Scene scene;
    scene.doc.graph.showYErrorBars = c.showY;
    scene.doc.graph.showXErrorBars = c.showX;
    // Errors 0.5, 0 and -1: only the first point gets bars.
    std::vector<std::vector<double>> columns{{2, 4, 6}, {3, 3, 3}, {0.5, 0, -1}, {0.5, 0, -1}};
    columns.resize(static_cast<size_t>(c.columns));
    AddSet(scene.doc, columns, blue).connectLines = 0;
    scene.draw();
    Segments drawn = scene.surface.lines(blue);
    if (c.showX && c.showY && c.columns == 4) {
      Segments both = vertical;
      both.insert(both.end(), horizontal.begin(), horizontal.end());
      EXPECT_EQ(drawn, both);
    } else {
      EXPECT_EQ(drawn, c.expected) << c.columns << c.showY << c.showX;
    }
  }
}

TEST(DrawGraph, ShortErrorColumnsAreNotReadPastTheirEnd) {
  Scene scene;
  scene.doc.graph.showYErrorBars = scene.doc.graph.showXErrorBars = 1;
  Data_Set& set = AddSet(scene.doc, {{1, 2, 3, 4}, {1, 2, 3, 4}, {0.5}});
  set.SetValue(3, 1, 0.25);  // x errors: one unset cell, then 0.25; nothing for points 2 and 3
  set.connectLines = 0;
  scene.draw();
  // One vertical bar (point 0) and one horizontal bar (point 1), three lines each.
  EXPECT_EQ(scene.surface.lines(kBlack).size(), 6u);
}

TEST(DrawGraph, PolarSetsUseAngleAndRadius) {
  Scene scene;
  scene.doc.graph.SetRange(-4.5, -4, 4.5, 4);
  scene.doc.graph.polar = 1;
  scene.doc.graph.translating = 1;  // no effect in polar mode
  scene.doc.cursorX = 3;
  AddSet(scene.doc, {{0, 90, 180, 270}, {1, 1, 1, 1}});
  scene.draw();
  const auto lines = scene.surface.lines(kBlack);
  ASSERT_EQ(lines.size(), 3u);  // not joined back to the first point
  const DevicePoint expected[] = {{550, -400}, {450, -300}, {350, -400}, {450, -500}};
  for (int k = 0; k < 3; ++k) {
    EXPECT_NEAR(lines[k].from.x, expected[k].x, 1) << k;
    EXPECT_NEAR(lines[k].from.y, expected[k].y, 1) << k;
    EXPECT_NEAR(lines[k].to.x, expected[k + 1].x, 1) << k;
    EXPECT_NEAR(lines[k].to.y, expected[k + 1].y, 1) << k;
  }
}

TEST(DrawGraph, TranslateModeMovesSeriesButNotBarEnds) {
  Scene scene;
  scene.doc.graph.translating = 1;
  scene.doc.graph.translateAnchorX = 1;
  scene.doc.graph.translateAnchorY = 1;
  scene.doc.cursorX = 2;
  scene.doc.cursorY = 3;  // offset (1, 2)
  scene.doc.graph.showMarkers = 1;
  scene.doc.graph.showYErrorBars = 1;
  AddSet(scene.doc, {{1}, {1}, {0.5}});
  scene.draw();
  const auto rects = scene.surface.itemsOfKind(Kind::Rectangle);
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0].a, (DevicePoint{196, -496}));  // centre (2, 3)
  EXPECT_EQ(
      scene.surface.lines(kBlack),
      (std::vector<DeviceSegment>{{{196, -750}, {204, -750}}, {{196, -650}, {204, -650}}, {{200, -750}, {200, -650}}}));
}

TEST(DrawGraph, ZeroLinesOnlyWhereZeroIsVisible) {
  const struct {
    double xMin, xMax, yMin, yMax;
    int logX;
    std::vector<DeviceSegment> expected;
  } cases[] = {
      // From 1% in from each end: x = -0.91 lands at 8.99..., truncated to 8.
      {-1, 8, -1, 7, 0, {{{8, -700}, {891, -700}}, {{100, -792}, {100, -8}}}},
      {1, 10, -1, 7, 0, {{{9, -700}, {891, -700}}}},  // x = 0 is off to the left
      {1, 10, 1, 9, 0, {}},
      // On a logarithmic x axis zero maps to the left edge, where its line is drawn.
      {1, 1000, -1, 7, 1, {{{312, -700}, {898, -700}}, {{0, -792}, {0, -8}}}},
  };
  for (const auto& c : cases) {
    Scene scene;
    scene.doc.graph.SetRange(c.xMin, c.yMin, c.xMax, c.yMax);
    scene.doc.graph.logX = c.logX;
    scene.doc.graph.showZeroLines = 1;
    scene.draw();
    EXPECT_EQ(scene.surface.lines(kBlack), c.expected) << c.xMin << " " << c.logX;
  }
}

TEST(DrawGraph, DrawingKeepsTheSelectionAndTheSettleAfterItClearsIt) {
  Scene scene;
  scene.doc.graph.SetRange(2, 10, 4, 30);
  scene.doc.selectionX1 = 2.5;
  scene.doc.selectionX2 = 3.5;
  scene.doc.selectionY1 = 11;
  scene.doc.selectionY2 = 12;
  scene.draw();
  EXPECT_EQ(scene.doc.selectionX1, 2.5);
  EXPECT_EQ(scene.doc.selectionY2, 12.0);
  scene.doc.SettleAfterRedraw();
  EXPECT_EQ(scene.doc.selectionX1, 3.0);
  EXPECT_EQ(scene.doc.selectionX2, 3.0);
  EXPECT_EQ(scene.doc.selectionY1, 20.0);
  EXPECT_EQ(scene.doc.selectionY2, 20.0);
}

TEST(DrawGraph, ScaledPreviewIsARedLineOverTheSets) {
  Scene scene;
  AddSet(scene.doc, {{1, 2}, {1, 1}});
  scene.doc.scaledPreviewActive = 1;
  for (int k = 0; k < 3; ++k) scene.doc.scaledPreview.SetValue(0, k, 1 + k);
  scene.doc.scaledPreview.SetValue(1, 0, 2);
  scene.doc.scaledPreview.SetValue(1, 1, 3);  // y is a point short: two points drawn
  scene.draw();
  EXPECT_EQ(scene.surface.lines(kPureRed), (std::vector<DeviceSegment>{{{100, -600}, {200, -500}}}));
  EXPECT_EQ(scene.surface.items().back().pen, kPureRed);
}

// The union of device positions a set of lines covers, per column, for
// lines that are vertical; other lines must match one for one.
struct Coverage {
  std::map<std::int32_t, std::vector<bool>> columns;
  std::vector<DeviceSegment> slanted;
  explicit Coverage(const std::vector<DeviceSegment>& lines) {
    for (const auto& s : lines) {
      if (s.from.x != s.to.x) {
        slanted.push_back(s);
        continue;
      }
      auto& cells = columns[s.from.x];
      cells.resize(801);
      for (int y = std::min(s.from.y, s.to.y); y <= std::max(s.from.y, s.to.y); ++y)
        cells[static_cast<size_t>(-y)] = true;
    }
  }
};

TEST(DrawGraph, MergedColumnRunsCoverTheSameCells) {
  Scene scene;
  std::mt19937 random(7);
  std::uniform_real_distribution<double> noise(-0.5, 0.5);
  std::vector<double> x, y;
  for (int k = 0; k < 20000; ++k) {
    x.push_back(k * 0.0005);  // twenty points per device column
    y.push_back(4 + 3 * std::sin(k * 0.001) + noise(random) * (k % 1000 < 500 ? 1 : 8));  // partly off the plot
  }
  AddSet(scene.doc, {x, y});
  scene.draw({.compactDenseSeries = false});
  const auto plain = scene.surface.lines(kBlack);
  scene.draw({.compactDenseSeries = true});
  const auto merged = scene.surface.lines(kBlack);
  EXPECT_LT(merged.size(), plain.size() / 2);
  const Coverage a(plain), b(merged);
  EXPECT_EQ(a.slanted, b.slanted);
  EXPECT_EQ(a.columns, b.columns);
}

TEST(DrawGraph, DenseSeriesDrawTheLastMarkerAtEachPosition) {
  Scene scene;
  scene.doc.graph.showMarkers = 1;
  std::vector<double> x, y;
  for (int k = 0; k < 5000; ++k) {
    x.push_back((k % 97) * 0.05);      // 97 positions revisited over and over
    y.push_back(k % 2 == 0 ? 1 : 20);  // every other point is off the plot
  }
  AddSet(scene.doc, {x, y}).connectLines = 0;
  const auto centres = [&] {
    std::vector<DevicePoint> out;
    for (const auto& item : scene.surface.itemsOfKind(Kind::Rectangle)) out.push_back({item.a.x + 4, item.a.y - 4});
    return out;
  };
  scene.draw({.compactDenseSeries = false});
  const auto plain = centres();
  scene.draw({.compactDenseSeries = true});
  const auto compact = centres();
  EXPECT_EQ(plain.size(), 2500u);
  ASSERT_EQ(compact.size(), 97u);
  // Kept in drawing order, each at the last place it was drawn: the tail of
  // the plain sequence.
  EXPECT_TRUE(std::equal(compact.begin(), compact.end(), plain.end() - 97));
}

TEST(DrawGraph, WildValuesStayOnThePage) {
  // Values a damaged file or an overflowing computation can hold: every
  // coordinate still comes out clamped, and nothing is undefined.
  const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
  for (const double size : {1e300, -1e300, nan, 0.0}) {
    Scene scene;
    scene.doc.graph.showMarkers = std::numeric_limits<std::int32_t>::max();
    scene.doc.graph.showYErrorBars = scene.doc.graph.showXErrorBars = 1;
    Data_Set& set = AddSet(
        scene.doc,
        {{1, inf, -inf, nan, 1e300, 2}, {1, 2, nan, -inf, 3, 1e-300}, {inf, nan, 1, 1e300, 1, 1}, {1, 1, 1, 1, 1, 1}});
    set.symbolSize = size;
    AddSet(scene.doc, {{1, 2}, {1, 2}}).symbolSize = size;
    scene.doc.graph.logY = 1;
    scene.draw();
    ASSERT_FALSE(scene.surface.items().empty());
    for (const auto& item : scene.surface.items())
      for (const DevicePoint p : {item.a, item.b}) {
        EXPECT_LE(std::abs(p.x), kDeviceLimit);
        EXPECT_LE(std::abs(p.y), kDeviceLimit);
      }
  }
}

// A point with a NaN or infinite coordinate has no place on the page: no
// marker, and the line breaks there instead of running to the page's edge.
// The other points are drawn as usual.
TEST(DrawGraph, NonFinitePointsAreGapsInTheLine) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
  const struct {
    const char* what;
    std::vector<double> x, y;
    std::vector<DeviceSegment> lines;
  } cases[] = {
      {"-inf y in the middle", {1, 2, 3, 4, 5}, {1, 2, -inf, 2, 1},
       {{{100, -700}, {200, -600}}, {{400, -600}, {500, -700}}}},
      {"NaN x first", {nan, 2, 3}, {1, 2, 3}, {{{200, -600}, {300, -500}}}},
      {"+inf y last", {1, 2, 3}, {1, 2, inf}, {{{100, -700}, {200, -600}}}},
      {"all finite", {1, 2}, {1, 2}, {{{100, -700}, {200, -600}}}},
  };
  for (const auto& c : cases) {
    Scene scene;
    scene.doc.graph.showMarkers = 1;
    AddSet(scene.doc, {c.x, c.y}, MakeColour(9, 0, 0));
    scene.draw();
    EXPECT_EQ(scene.surface.lines(MakeColour(9, 0, 0)), c.lines) << c.what;
    size_t finite = 0;
    for (size_t k = 0; k < c.x.size(); ++k) finite += std::isfinite(c.x[k]) && std::isfinite(c.y[k]);
    const auto items = scene.itemsIn(MakeColour(9, 0, 0));
    EXPECT_EQ(std::count_if(items.begin(), items.end(), [](const auto& item) { return item.kind == Kind::Rectangle; }),
              static_cast<std::ptrdiff_t>(finite))
        << c.what;
  }
}

// A stored range that is not finite is drawn over 0 .. 1 on that axis, so
// the sets inside it still show.
TEST(DrawGraph, ANonFiniteRangeIsDrawnOverTheUnitRange) {
  const double inf = std::numeric_limits<double>::infinity();
  Scene scene;
  scene.doc.graph.SetRange(0, -inf, 9, inf);
  const Viewport viewport = MakeViewport(scene.doc, kPage);
  EXPECT_EQ(viewport.range, (DataRange{0, 0, 9, 1}));
  EXPECT_EQ(viewport.DataToDeviceY(0.5), -400);
}

TEST(DrawGraph, PageTextsAndEquationLines) {
  const Viewport viewport = MakeViewport(Graph{}, {0, 0, 1000, -800});
  RecordingSurface surface;
  std::int32_t line = -30;
  DrawEquationText(surface, viewport, "Custom A0*exp(-X/A1) + A2", true, line);
  DrawEquationText(surface, viewport, "y = A0 + A1*x", false, line);
  DrawEquationText(surface, viewport, "NoBlank", true, line);
  EXPECT_EQ(line, -105);
  const auto texts = surface.itemsOfKind(Kind::Text);
  const std::vector<std::pair<DevicePoint, std::string>> expected{{{380, -30}, "Custom"},
                                                                  {{380, -45}, "A0*exp(-X/A1) + A2"},
                                                                  {{380, -60}, "y = A0 + A1*x"},
                                                                  {{380, -75}, "NoBlank"},
                                                                  {{380, -90}, ""}};
  ASSERT_EQ(texts.size(), expected.size());
  for (size_t k = 0; k < texts.size(); ++k) {
    EXPECT_EQ(texts[k].a, expected[k].first);
    EXPECT_EQ(texts[k].text, expected[k].second);
  }
}

// A straight-line fit y = x + 1 (polynomial, order 1) on a set x = 1..5.
Fit& AddLineFit(Data_Set& set, double start, double end, Colour colour) {
  set.fits.push_back(std::make_unique<Fit>());
  Fit& fit = *set.fits.back();
  SelectModel(fit, "Polynomial", 1);
  fit.params[0] = 1;
  fit.params[2] = 1;
  fit.colour = colour;
  set.ReattachFits();
  fit.setRange(start, end);
  return fit;
}

TEST(DrawGraph, FitCurveIsZeroOutsideItsRangeAndJoined) {
  Scene scene;
  Data_Set& set = AddSet(scene.doc, {{1, 2, 3, 4, 5}, {2, 3, 4, 5, 6}});
  const Colour blue = 0xFF0000;
  AddLineFit(set, 2, 4, blue);
  scene.draw();
  const auto lines = scene.surface.lines(blue);
  // Points (1,0) (2,3) (3,4) (4,5) (5,0): inclusive ends, zero outside, four joins.
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].from, (DevicePoint{100, -800}));
  EXPECT_EQ(lines[0].to, (DevicePoint{200, -500}));
  EXPECT_EQ(lines[2].to, (DevicePoint{400, -300}));
  EXPECT_EQ(lines[3].to, (DevicePoint{500, -800}));

  set.fits[0]->hidden = 1;
  scene.draw();
  EXPECT_TRUE(scene.surface.lines(blue).empty());
}

TEST(DrawGraph, ResidualsSitOnABaselineNineTenthsUp) {
  Scene scene;
  Data_Set& set = AddSet(scene.doc, {{1, 2, 3, 4, 5}, {2, 3.5, 4, 5, 6}});
  const Colour green = 0x00FF00;
  AddLineFit(set, 1, 5, green);
  scene.doc.graph.showResiduals = 1;
  scene.doc.graph.residualScale = 2;
  scene.draw();
  const auto lines = scene.surface.lines(green);
  ASSERT_EQ(lines.size(), 8u);  // the curve, then the residuals
  // Baseline 0.9 * 8 = 7.2 -> device -80; the strict range puts x = 1 and 5
  // on it, and point 2 lies 2 * (3 - 3.5) = -1 below.
  EXPECT_EQ(lines[4].from, (DevicePoint{100, -80}));
  EXPECT_EQ(lines[4].to, (DevicePoint{200, -180}));
  EXPECT_EQ(lines[7].to, (DevicePoint{500, -80}));
}

TEST(DrawGraph, EquationTextsRestartForEverySet) {
  Scene scene;
  scene.doc.graph.showFitEquations = 1;
  for (int k = 0; k < 2; ++k) {
    Data_Set& set = AddSet(scene.doc, {{1, 2, 3}, {2, 3, 4}});
    AddLineFit(set, 1, 3, 0x0000FF);
  }
  scene.draw();
  std::vector<RecordingSurface::Item> texts;
  for (const auto& item : scene.surface.itemsOfKind(Kind::Text))
    if (item.text == "1*t+1") texts.push_back(item);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].a, texts[1].a);  // drawn over each other
}

TEST(PaintGraph, PageRectanglesForWindowAndPrinter) {
  CZentrelDoc doc;
  EXPECT_EQ(PrintPageRect(doc), (DeviceRect{100, -50, 1000, -750}));
  doc.printXMin = 0.255;
  EXPECT_EQ(PrintPageRect(doc).left, 25);
  EXPECT_EQ(WindowPageRect(1100, 850), (DeviceRect{0, 0, 1100, -850}));
}

TEST(PaintGraph, AxesThenDataInBlackWithThePenRestored) {
  CZentrelDoc doc;
  AddSet(doc, {{0.2, 0.8}, {0.2, 0.8}}, MakeColour(0, 128, 0));
  RecordingSurface surface;
  surface.SelectPen(MakeColour(1, 2, 3));
  PaintGraph(surface, doc, MakeViewport(doc, WindowPageRect(1000, 800)));
  ASSERT_FALSE(surface.items().empty());
  EXPECT_EQ(surface.items().front().kind, Kind::Rectangle);
  EXPECT_EQ(surface.items().front().pen, kBlack);
  EXPECT_EQ(surface.items().back().pen, MakeColour(0, 128, 0));
  EXPECT_EQ(surface.CurrentPen(), MakeColour(1, 2, 3));
}

}  // namespace
}  // namespace zentrel
