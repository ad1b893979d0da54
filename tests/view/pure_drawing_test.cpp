// Drawing reads the document and nothing else: painting it any number of
// times, at any size, on any page leaves every stored byte as it was.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/document_json.h"
#include "model/document.h"
#include "model/fit.h"
#include "io/graph_file.h"
#include "view/paint_graph.h"
#include "view/recording_surface.h"

namespace zentrel {
namespace {

// A document that drawing used to change: a selection, a fit with its
// equation and residuals, logarithmic ranges holding values <= 0, a
// scaled-subtraction preview, zero lines and error bars.
void Fill(CZentrelDoc& doc) {
  auto set = std::make_unique<Data_Set>();
  const double x[] = {-1, 0.5, 2, 5}, y[] = {0, 3, -2, 7}, e[] = {0.5, 0.5, 0.5, 0.5};
  for (int k = 0; k < 4; ++k) {
    set->SetValue(0, k, x[k]);
    set->SetValue(1, k, y[k]);
    set->SetValue(2, k, e[k]);
    set->SetValue(3, k, e[k]);
  }
  auto fit = std::make_unique<Fit>();
  fit->fitStart = -1;
  fit->fitEnd = 5;
  set->fits.push_back(std::move(fit));
  doc.AppendSet(std::move(set));
  doc.scaledPreviewActive = 1;
  doc.scaledPreview.SetValue(0, 0, 1);
  doc.scaledPreview.SetValue(1, 0, 2);
  Graph& g = doc.graph;
  g.SetRange(-1, -2, 5, 0);
  g.logX = g.logY = 1;
  g.title = "Title";
  g.xLabel = "x";
  g.yLabel = "y";
  g.showMarkers = g.showFitEquations = g.showResiduals = g.showZeroLines = 1;
  g.showXErrorBars = g.showYErrorBars = 1;
  doc.selectionX1 = 0.5, doc.selectionX2 = 2, doc.selectionY1 = 1, doc.selectionY2 = 3;
  doc.cursorX = 1.5, doc.cursorY = 2.5;
}

// Everything the document stores, as its JSON dump and its file bytes, plus
// what neither holds: the previous range.
std::string Snapshot(const CZentrelDoc& doc) {
  const Graph& g = doc.graph;
  const auto bytes = GraphFileBytes(doc);
  return DocumentToJson(doc).dump() + std::string(bytes.begin(), bytes.end()) + std::to_string(g.prevXMin) +
         std::to_string(g.prevXMax) + std::to_string(g.prevYMin) + std::to_string(g.prevYMax);
}

std::vector<RecordingSurface::Item> Paint(const CZentrelDoc& doc, const DeviceRect& page) {
  RecordingSurface surface;
  PaintGraph(surface, doc, MakeViewport(doc, page));
  return surface.items();
}

TEST(PureDrawing, PaintingTwiceAndAtOtherSizesLeavesTheDocumentAsItWas) {
  const std::vector<std::function<void(Graph&)>> variants = {
      [](Graph&) {},
      [](Graph& g) { g.polar = 1; },
      [](Graph& g) { g.polar = g.radians = 1, g.polarOrigin = 30; },
      [](Graph& g) { g.logX = g.logY = 0, g.translating = 1, g.translateAnchorX = 1; },
      [](Graph& g) { g.xMin = g.xMax = 3; },
  };
  for (size_t v = 0; v < variants.size(); ++v) {
    CZentrelDoc doc;
    Fill(doc);
    variants[v](doc.graph);
    const std::string before = Snapshot(doc);
    const auto first = Paint(doc, WindowPageRect(1000, 800));
    const auto second = Paint(doc, WindowPageRect(1000, 800));
    Paint(doc, WindowPageRect(400, 300));  // the window resized
    Paint(doc, PrintPageRect(doc));
    EXPECT_EQ(Snapshot(doc), before) << "variant " << v;
    EXPECT_TRUE(doc.HasSelection()) << "variant " << v;
    // Nothing carried over from one paint to the next.
    ASSERT_EQ(first.size(), second.size()) << "variant " << v;
    for (size_t k = 0; k < first.size(); ++k) {
      EXPECT_EQ(first[k].kind, second[k].kind);
      EXPECT_EQ(first[k].a, second[k].a);
      EXPECT_EQ(first[k].b, second[k].b);
      EXPECT_EQ(first[k].text, second[k].text);
    }
  }
}

TEST(PureDrawing, ASettledDocumentDrawsAsTheUnsettledOneDid) {
  // The usual repair (a lower end <= 0 under a positive upper end) shows no
  // difference on the page: the mapping already draws the range repaired.
  CZentrelDoc doc;
  Fill(doc);
  doc.graph.SetRange(-1, -2, 5, 9);
  const auto unsettled = Paint(doc, WindowPageRect(1000, 800));
  doc.SettleAfterRedraw();
  ASSERT_EQ(doc.graph.GetRange(), (DataRange{1e-10, 1e-10, 5, 9}));
  const auto settled = Paint(doc, WindowPageRect(1000, 800));
  ASSERT_EQ(unsettled.size(), settled.size());
  for (size_t k = 0; k < settled.size(); ++k) {
    EXPECT_EQ(unsettled[k].a, settled[k].a) << k;
    EXPECT_EQ(unsettled[k].b, settled[k].b) << k;
    EXPECT_EQ(unsettled[k].text, settled[k].text) << k;
  }
}

}  // namespace
}  // namespace zentrel
