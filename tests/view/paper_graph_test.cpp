// The paper style drawn on a recording surface: its texts never overlap
// one another or the frame, the legend names every set, logarithmic axes
// leave out what they cannot show, fits are smooth curves, and the
// document is only read.

#include "view/paper_graph.h"
#include "view/paper_legend.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/document_json.h"
#include "io/graph_file.h"
#include "model/document.h"
#include "model/fit.h"
#include "view/paint_graph.h"
#include "view/recording_surface.h"

namespace zentrel {
namespace {

using Item = RecordingSurface::Item;
using Kind = RecordingSurface::Kind;

Data_Set& AddSet(CZentrelDoc& doc, const std::string& name, const std::vector<double>& x,
                 const std::vector<double>& y, Colour colour = 0) {
  auto set = std::make_unique<Data_Set>();
  for (size_t k = 0; k < x.size(); ++k) {
    set->SetValue(0, static_cast<int>(k), x[k]);
    set->SetValue(1, static_cast<int>(k), y[k]);
  }
  set->name = name;
  set->color = colour;
  return doc.AppendSet(std::move(set));
}

Fit& AddFit(Data_Set& set, double start, double end, Colour colour) {
  auto fit = std::make_unique<Fit>();
  fit->fitStart = start;
  fit->fitEnd = end;
  fit->params[0] = 1.0;
  fit->params[2] = 2.0;
  fit->colour = colour;
  set.fits.push_back(std::move(fit));
  return *set.fits.back();
}

std::vector<double> Range(int n, double from, double step) {
  std::vector<double> v;
  for (int k = 0; k < n; ++k) v.push_back(from + k * step);
  return v;
}

// Graphs that used to draw text over text: labels and a title, wide
// numbers, log-log with values <= 0, ten sets with long names, two fits
// with equations and residuals.
const std::vector<std::pair<std::string, std::function<void(CZentrelDoc&)>>>& Graphs() {
  static const std::vector<std::pair<std::string, std::function<void(CZentrelDoc&)>>> graphs = {
      {"labelled",
       [](CZentrelDoc& doc) {
         AddSet(doc, "decay", Range(20, 0, 0.15), Range(20, 3, -0.1));
         doc.graph.title = "A title";
         doc.graph.xLabel = "Time (s)";
         doc.graph.yLabel = "Counts";
         doc.graph.SetRange(0, 1, 2.75, 3.05);
       }},
      {"wide numbers",
       [](CZentrelDoc& doc) {
         AddSet(doc, "big", Range(10, 123456, 1111), Range(10, -3e-7, 1e-7));
         doc.graph.SetRange(123456, -3e-7, 133455, 6e-7);
         doc.useAbbreviations = 0;
       }},
      {"log-log",
       [](CZentrelDoc& doc) {
         AddSet(doc, "power", {-1, 0, 2e-3, 1e-2, 1, 10, 1e2}, {1, 5, 2e-4, 1e-2, 1, 0, 1e3});
         doc.graph.logX = doc.graph.logY = 1;
         doc.graph.xLabel = "Frequency (Hz)";
         doc.graph.yLabel = "Power";
         doc.graph.SetRange(1e-3, 1e-4, 1e3, 1e4);
       }},
      {"ten sets",
       [](CZentrelDoc& doc) {
         for (int s = 0; s < 10; ++s)
           AddSet(doc, "a set with a long name " + std::to_string(s + 1), Range(30, 0, 1), Range(30, s, 0.3));
         doc.graph.showMarkers = 1;
         doc.graph.SetRange(0, 0, 29, 18);
       }},
      {"long titles",
       [](CZentrelDoc& doc) {
         AddSet(doc, "s", Range(5, 0, 1), Range(5, 0, 1e5));
         const std::string words = "a label far longer than any axis of this page could ever hold, said twice; ";
         doc.graph.title = words + words + words;
         doc.graph.xLabel = words + words + words;
         doc.graph.yLabel = words + words;
         doc.graph.showResiduals = 1;
         AddFit(*doc.sets[0], 0, 4, MakeColour(0, 128, 0));
         doc.graph.SetRange(0, 0, 4, 4e5);
       }},
      {"two fits",
       [](CZentrelDoc& doc) {
         Data_Set& set = AddSet(doc, "peaks", Range(40, 0, 0.25), Range(40, 1, 0.05));
         AddFit(set, 0, 5, MakeColour(255, 0, 0));
         AddFit(set, 5, 9.75, MakeColour(0, 0, 255));
         doc.graph.showFitEquations = doc.graph.showResiduals = 1;
         doc.graph.xLabel = "x";
         doc.graph.yLabel = "y";
         doc.graph.SetRange(0, 0, 9.75, 3);
       }},
  };
  return graphs;
}

struct Box {
  std::int32_t left, top, right, bottom;
};

std::vector<Box> TextBoxes(const std::vector<Item>& items) {
  std::vector<Box> boxes;
  for (const auto& item : items)
    if (item.kind == Kind::Text) boxes.push_back({item.a.x, item.a.y, item.b.x, item.b.y});
  return boxes;
}

bool Intersect(const Box& a, const Box& b) {
  return a.left < b.right && b.left < a.right && a.bottom < b.top && b.bottom < a.top;
}

TEST(PaperGraph, TextsStayApartOnThePageAndOffTheFrame) {
  const DeviceRect pages[] = {WindowPageRect(1100, 850), WindowPageRect(650, 420)};
  for (const auto& [name, fill] : Graphs()) {
    for (const DeviceRect& page : pages) {
      CZentrelDoc doc;
      fill(doc);
      RecordingSurface surface;
      const PaperDrawing drawing = DrawPaperGraph(surface, doc, page, {.style = DrawStyle::Paper});
      const std::vector<Box> boxes = TextBoxes(surface.items());
      ASSERT_FALSE(boxes.empty()) << name;
      const DeviceRect& plot = drawing.viewport.plotRect;
      std::vector<DeviceRect> frames{plot};
      if (drawing.residuals) frames.push_back(drawing.residuals->plotRect);
      for (size_t i = 0; i < boxes.size(); ++i) {
        const Box& b = boxes[i];
        EXPECT_TRUE(b.left >= page.left && b.right <= page.right && b.top <= page.top && b.bottom >= page.bottom)
            << name << ": text " << i << " leaves the page";
        for (size_t j = i + 1; j < boxes.size(); ++j)
          EXPECT_FALSE(Intersect(b, boxes[j])) << name << ": texts " << i << " and " << j << " overlap";
        // Inside a frame entirely (the legend) or outside it entirely.
        for (const DeviceRect& f : frames) {
          const bool inside = b.left > f.left && b.right < f.right && b.top < f.top && b.bottom > f.bottom;
          const bool outside = !Intersect(b, {f.left - 1, f.top + 1, f.right + 1, f.bottom - 1});
          EXPECT_TRUE(inside || outside) << name << ": text " << i << " crosses a frame";
        }
      }
    }
  }
}

TEST(PaperGraph, TickLabelsStateTheValueAtTheirPlace) {
  // Plain numbers (no factored power of ten): the labelled graph and the
  // one of wide numbers, whose y labels are in scientific form.
  for (const size_t g : {size_t{0}, size_t{1}}) {
    CZentrelDoc doc;
    Graphs()[g].second(doc);
    RecordingSurface surface;
    const PaperDrawing drawing = DrawPaperGraph(surface, doc, WindowPageRect(1100, 850), {.style = DrawStyle::Paper});
    const Viewport& v = drawing.viewport;
    int xLabels = 0, yLabels = 0;
    for (const auto& item : surface.itemsOfKind(Kind::Text)) {
      char* end = nullptr;
      const double value = std::strtod(item.text.c_str(), &end);
      if (end == item.text.c_str() || *end != '\0') continue;
      const double cx = (item.a.x + item.b.x) / 2.0, cy = (item.a.y + item.b.y) / 2.0;
      if (item.a.y < v.plotRect.bottom) {
        // Centred under its tick: the mapping there gives the label's value
        // within the rounding of device units.
        const double unit = (v.range.xMax - v.range.xMin) / (v.plotRect.right - v.plotRect.left);
        EXPECT_NEAR(v.DeviceToDataX(static_cast<std::int32_t>(std::lround(cx))), value, 1.5 * unit) << item.text;
        ++xLabels;
      } else if (item.b.x < v.plotRect.left) {
        const double unit = (v.range.yMax - v.range.yMin) / (v.plotRect.top - v.plotRect.bottom);
        EXPECT_NEAR(v.DeviceToDataY(static_cast<std::int32_t>(std::lround(cy))), value, 1.5 * unit) << item.text;
        ++yLabels;
      }
    }
    EXPECT_GE(xLabels, 3) << Graphs()[g].first;
    EXPECT_GE(yLabels, 3) << Graphs()[g].first;
  }
}

TEST(PaperGraph, LegendNamesEverySetAndHides) {
  CZentrelDoc doc;
  Graphs()[3].second(doc);  // ten sets
  doc.sets[4]->active = 0;
  RecordingSurface surface;
  const PaperDrawing drawing = DrawPaperGraph(surface, doc, WindowPageRect(1100, 850), {.style = DrawStyle::Paper});
  ASSERT_TRUE(drawing.legend.has_value());
  const auto texts = surface.texts();
  const std::multiset<std::string> drawn(texts.begin(), texts.end());
  for (int s = 0; s < 10; ++s)
    EXPECT_EQ(drawn.count("a set with a long name " + std::to_string(s + 1)), s == 4 ? 0u : 1u) << s;

  RecordingSurface hidden;
  const PaperDrawing without =
      DrawPaperGraph(hidden, doc, WindowPageRect(1100, 850), {.style = DrawStyle::Paper, .showLegend = false});
  EXPECT_FALSE(without.legend.has_value());
  for (const auto& text : hidden.texts()) EXPECT_EQ(text.find("long name"), std::string::npos);
}

TEST(PaperGraph, LegendTakesTheEmptiestCorner) {
  // Data fill the top third; a few points sit in the bottom left corner.
  CZentrelDoc doc;
  std::vector<double> x, y;
  for (int i = 0; i <= 40; ++i)
    for (int j = 0; j <= 12; ++j) {
      x.push_back(0.25 * i);
      y.push_back(7 + 0.25 * j);
    }
  AddSet(doc, "corner", x, y);
  doc.graph.showMarkers = 1;
  AddSet(doc, "low left", {0.2, 0.4, 0.6}, {0.2, 0.4, 0.2});
  doc.graph.SetRange(0, 0, 10, 10);
  RecordingSurface surface;
  const PaperDrawing drawing = DrawPaperGraph(surface, doc, WindowPageRect(1100, 850), {.style = DrawStyle::Paper});
  ASSERT_TRUE(drawing.legend.has_value());
  const DeviceRect& plot = drawing.viewport.plotRect;
  EXPECT_GT(drawing.legend->left, (plot.left + plot.right) / 2);
  EXPECT_LT(drawing.legend->top, (plot.top + plot.bottom) / 2);
}

// A legend the person dragged stays where they put it, kept inside the plot.
TEST(PaperGraph, APlacedLegendStaysWhereItWasPutInsideThePlot) {
  CZentrelDoc doc;
  AddSet(doc, "a", {0, 1, 2, 3}, {0, 1, 4, 9});
  doc.graph.SetRange(0, 0, 3, 9);
  struct Case {
    LegendPlace place;
    double expectLeft, expectTop;  // fractions of the plot; -1: at the far edge
  };
  const Case cases[] = {
      {{0.25, 0.5}, 0.25, 0.5},
      {{0.0, 0.0}, 0.0, 0.0},
      {{0.99, 0.2}, -1, 0.2},   // would stick out on the right
      {{0.3, 1.5}, 0.3, -1},    // below the plot
      {{-2.0, -1.0}, 0.0, 0.0}, // above and left of it
  };
  for (const Case& c : cases) {
    RecordingSurface surface;
    const PaperDrawing drawing = DrawPaperGraph(surface, doc, WindowPageRect(1100, 850),
                                                {.style = DrawStyle::Paper, .legendAt = c.place});
    ASSERT_TRUE(drawing.legend.has_value());
    const DeviceRect& plot = drawing.viewport.plotRect;
    const DeviceRect& box = *drawing.legend;
    const double width = plot.right - plot.left, height = plot.top - plot.bottom;
    const double left = c.expectLeft < 0 ? plot.right - (box.right - box.left) : plot.left + c.expectLeft * width;
    const double top = c.expectTop < 0 ? plot.bottom + (box.top - box.bottom) : plot.top - c.expectTop * height;
    EXPECT_NEAR(box.left, left, 1) << c.place.left << ", " << c.place.top;
    EXPECT_NEAR(box.top, top, 1) << c.place.left << ", " << c.place.top;
    EXPECT_TRUE(plot.left <= box.left && box.right <= plot.right && plot.bottom <= box.bottom && box.top <= plot.top);
  }
  // The place read back from a box is the place that puts it there.
  const DeviceRect plot{100, 700, 900, 100};
  const LegendPlace place = LegendPlaceOf(plot, {300, 400});
  const DeviceRect box = PlacedLegendBox(plot, {120, 60}, place);
  EXPECT_EQ(box.left, 300);
  EXPECT_EQ(box.top, 400);
}

TEST(PaperGraph, LogAxesLeaveOutValuesAtOrBelowZero) {
  CZentrelDoc doc;
  Graphs()[2].second(doc);  // 3 of its 7 points have x or y <= 0
  doc.graph.showMarkers = 1;
  RecordingSurface surface;
  const PaperDrawing drawing =
      DrawPaperGraph(surface, doc, WindowPageRect(1100, 850), {.style = DrawStyle::Paper, .showLegend = false});
  EXPECT_EQ(drawing.note, kNonPositiveNote);
  const Colour colour = PaperSetColour(0, 0);
  int markers = 0;
  for (const auto& item : surface.items())
    if (item.kind == Kind::Rectangle && item.pen == colour) {
      ++markers;
      // Nothing piled on the frame's left or bottom edge.
      const std::int32_t cx = (item.a.x + item.b.x) / 2, cy = (item.a.y + item.b.y) / 2;
      EXPECT_GT(cx, drawing.viewport.plotRect.left + 2);
      EXPECT_GT(cy, drawing.viewport.plotRect.bottom + 2);
    }
  EXPECT_EQ(markers, 4);
  // Decades label the axes: 10^-3 .. 10^3 across.
  std::set<std::string> exponents;
  for (const auto& text : surface.texts()) exponents.insert(text);
  for (const char* e : {"-3", "-2", "-1", "0", "1", "2", "3", "4", "-4"}) EXPECT_EQ(exponents.count(e), 1u) << e;

  doc.graph.logX = doc.graph.logY = 0;
  doc.graph.SetRange(-1, 0, 1e3, 1e4);
  RecordingSurface linear;
  EXPECT_EQ(DrawPaperGraph(linear, doc, WindowPageRect(1100, 850), {.style = DrawStyle::Paper}).note, "");
}

TEST(PaperGraph, DefaultColouredSetsTakeDistinctColoursAndStoredOnesStay) {
  std::set<Colour> colours;
  for (std::size_t k = 0; k < 10; ++k) colours.insert(PaperSetColour(0, k));
  EXPECT_EQ(colours.size(), 10u);
  EXPECT_EQ(colours.count(kBlack), 0u);
  EXPECT_EQ(PaperSetColour(MakeColour(1, 2, 3), 4), MakeColour(1, 2, 3));
}

TEST(PaperGraph, FitsAreSmoothOverTheirRangeAndResidualsHaveTheirPanel) {
  CZentrelDoc doc;
  Graphs()[5].second(doc);  // 40 points, fits over 0..5 and 5..9.75
  RecordingSurface surface;
  const PaperDrawing drawing = DrawPaperGraph(surface, doc, WindowPageRect(1100, 850), {.style = DrawStyle::Paper});
  const auto red = surface.lines(MakeColour(255, 0, 0));
  EXPECT_GT(red.size(), 100u) << "sampled between the data's x";
  const std::int32_t middle = drawing.viewport.DataToDeviceX(5.0);
  for (const auto& s : red) {
    EXPECT_LE(std::max(s.from.x, s.to.x), middle + 1);
    EXPECT_GE(s.from.y, drawing.viewport.plotRect.bottom);
  }
  ASSERT_TRUE(drawing.residuals.has_value());
  EXPECT_LT(drawing.residuals->plotRect.top, drawing.viewport.plotRect.bottom);
  // The equations are in the legend, not scattered over the plot.
  ASSERT_TRUE(drawing.legend.has_value());
  int inLegend = 0;
  for (const auto& item : surface.itemsOfKind(Kind::Text))
    if (item.text.find("exp(") != std::string::npos) {
      ++inLegend;
      EXPECT_GE(item.a.x, drawing.legend->left);
      EXPECT_LE(item.a.y, drawing.legend->top);
    }
  EXPECT_EQ(inLegend, 2);
}

TEST(PaperGraph, DegenerateGraphsAndPagesStillGiveAFrame) {
  const std::vector<std::function<void(CZentrelDoc&)>> graphs = {
      [](CZentrelDoc&) {},
      [](CZentrelDoc& doc) { AddSet(doc, "one", {2}, {3}); doc.graph.SetRange(2, 3, 2, 3); },
      [](CZentrelDoc& doc) { AddSet(doc, "huge", {-1e300, 1e300}, {1, 2}); doc.graph.SetRange(-1e300, 0, 1e300, 3); },
      [](CZentrelDoc& doc) { AddSet(doc, "nan", {1, NAN, 3}, {1, 2, NAN}); doc.graph.logX = doc.graph.logY = 1; },
  };
  const DeviceRect pages[] = {WindowPageRect(1100, 850), WindowPageRect(60, 40), WindowPageRect(1, 1)};
  for (size_t g = 0; g < graphs.size(); ++g)
    for (const DeviceRect& page : pages) {
      CZentrelDoc doc;
      graphs[g](doc);
      RecordingSurface surface;
      const PaperDrawing drawing = DrawPaperGraph(surface, doc, page, {.style = DrawStyle::Paper});
      const DeviceRect& plot = drawing.viewport.plotRect;
      EXPECT_LT(plot.left, plot.right) << g;
      EXPECT_LT(plot.bottom, plot.top) << g;
      // NaN is not a value <= 0: nothing to report for the log axes.
      if (g == 3) {
        EXPECT_EQ(drawing.note, "");
      }
    }
}

std::string Snapshot(const CZentrelDoc& doc) {
  const auto bytes = GraphFileBytes(doc);
  return DocumentToJson(doc).dump() + std::string(bytes.begin(), bytes.end());
}

TEST(PaperGraph, DrawingOnlyReadsAndClassicStaysTheDefault) {
  for (const auto& [name, fill] : Graphs()) {
    CZentrelDoc doc;
    fill(doc);
    const std::string before = Snapshot(doc);
    RecordingSurface paper;
    PaintPage(paper, doc, WindowPageRect(1100, 850), {.style = DrawStyle::Paper});
    EXPECT_EQ(Snapshot(doc), before) << name;

    // Without options the page is the classic drawing, item for item.
    RecordingSurface page, classic;
    PaintPage(page, doc, WindowPageRect(1100, 850));
    PaintGraph(classic, doc, MakeViewport(doc, WindowPageRect(1100, 850)));
    ASSERT_EQ(page.items().size(), classic.items().size()) << name;
    for (size_t k = 0; k < page.items().size(); ++k) {
      EXPECT_EQ(page.items()[k].a, classic.items()[k].a);
      EXPECT_EQ(page.items()[k].text, classic.items()[k].text);
    }
  }
}

}  // namespace
}  // namespace zentrel
