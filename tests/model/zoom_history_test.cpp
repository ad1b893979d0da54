// Unzoom through several levels: the first step is the one-level swap, the
// history is bounded and a new document starts without one.

#include <gtest/gtest.h>

#include "model/document.h"
#include "model/graph.h"

namespace zentrel {
namespace {

// A graph showing `range` with nothing to go back to.
Graph Showing(const DataRange& range) {
  Graph g;
  g.ShowRange(range);
  g.zoomHistory.clear();
  return g;
}

TEST(ZoomHistory, UnzoomWalksBackThroughEveryZoom) {
  Graph g = Showing({0, 0, 100, 100});
  const DataRange levels[] = {{0, 0, 50, 50}, {10, 10, 20, 20}, {12, 12, 14, 14}};
  for (const DataRange& r : levels) g.SetRange(r);
  g.Unzoom();
  EXPECT_EQ(g.GetRange(), levels[1]);
  g.Unzoom();
  EXPECT_EQ(g.GetRange(), levels[0]);
  g.Unzoom();
  EXPECT_EQ(g.GetRange(), (DataRange{0, 0, 100, 100}));
  // Used up: the last two views alternate, as the one-level Unzoom did.
  g.Unzoom();
  EXPECT_EQ(g.GetRange(), levels[0]);
  g.Unzoom();
  EXPECT_EQ(g.GetRange(), (DataRange{0, 0, 100, 100}));
}

TEST(ZoomHistory, FirstStepIsExactlyTheSwap) {
  Graph walked = Showing({0, 0, 10, 10});
  walked.SetRange(1, 1, 9, 9);
  walked.SetRange(2, 3, 4, 5);
  Graph swapped = walked;
  walked.Unzoom();
  swapped.SwapRanges();
  EXPECT_EQ(walked.GetRange(), swapped.GetRange());
  EXPECT_EQ(walked.prevXMin, swapped.prevXMin);
  EXPECT_EQ(walked.prevYMin, swapped.prevYMin);
  EXPECT_EQ(walked.prevXMax, swapped.prevXMax);
  EXPECT_EQ(walked.prevYMax, swapped.prevYMax);
}

TEST(ZoomHistory, ARangeChangedInBetweenIsNotLost) {
  // A log repair changes the range without a step of its own: Unzoom still
  // goes back to the range before the zoom, and the repaired one becomes
  // the previous range.
  Graph g = Showing({1, 1, 10, 10});
  g.SetRange(-1, 1, 10, 10);
  g.logX = 1;
  g.RepairLogRanges();
  const DataRange repaired = g.GetRange();
  g.Unzoom();
  EXPECT_EQ(g.GetRange(), (DataRange{1, 1, 10, 10}));
  EXPECT_EQ(g.prevXMin, repaired.xMin);
}

TEST(ZoomHistory, KeepsTheNewestLevelsOnly) {
  Graph g = Showing({0, 0, 1, 1});
  const int zooms = static_cast<int>(ZoomHistory::kMaxLevels) + 20;
  for (int k = 1; k <= zooms; ++k) g.SetRange(0, 0, k + 1.0, 1);
  EXPECT_EQ(g.zoomHistory.size(), ZoomHistory::kMaxLevels);
  for (size_t k = 0; k < ZoomHistory::kMaxLevels; ++k) g.Unzoom();
  // The oldest twenty were dropped: the walk ends at zoom 20's range.
  EXPECT_EQ(g.GetRange().xMax, 21.0);
  EXPECT_TRUE(g.zoomHistory.empty());
}

TEST(ZoomHistory, NewDocumentStartsWithoutHistory) {
  CZentrelDoc doc;
  EXPECT_TRUE(doc.graph.zoomHistory.empty());
  doc.graph.SetRange(0, 0, 5, 5);
  doc.graph.SetRange(1, 1, 2, 2);
  doc.ResetDocument();
  EXPECT_TRUE(doc.graph.zoomHistory.empty());
}

TEST(Document, CaptionStarsUnsavedChanges) {
  CZentrelDoc doc;
  EXPECT_EQ(doc.Caption(), "Untitled - Zentrel");
  doc.SetModifiedFlag();
  EXPECT_EQ(doc.Caption(), "Untitled* - Zentrel");
  doc.pathName = "/data/graph.ztl";
  EXPECT_EQ(doc.Caption(), "graph.ztl* - Zentrel");
  doc.SetModifiedFlag(false);
  EXPECT_EQ(doc.Caption(), "graph.ztl - Zentrel");
}

}  // namespace
}  // namespace zentrel
