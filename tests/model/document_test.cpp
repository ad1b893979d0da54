#include "model/document.h"

#include <gtest/gtest.h>

#include "model/fit.h"
#include "set_names.h"

namespace zentrel {
namespace {

std::unique_ptr<Data_Set> NamedSet(const std::string& name, int points = 3) {
  auto set = std::make_unique<Data_Set>();
  set->name = name;
  for (int i = 0; i < points; ++i) set->SetValue(0, i, i), set->SetValue(1, i, i * i);
  return set;
}

std::vector<std::string> Names(const CZentrelDoc& doc) { return testing::SetNames(doc); }

TEST(Document, StartsEmptyWithItsDefaults) {
  CZentrelDoc doc;
  EXPECT_EQ(doc.SetCount(), 0);
  EXPECT_EQ(doc.selectionX1, 0.5);
  EXPECT_EQ(doc.selectionY2, 0.5);
  EXPECT_EQ(doc.undoAvailable, 0);
  EXPECT_EQ(doc.useAbbreviations, 1);
  EXPECT_EQ(doc.scaledPreviewActive, 0);
  EXPECT_EQ(doc.lastEditedFit, nullptr);
  EXPECT_EQ(doc.printXMin, 1.0);
  EXPECT_EQ(doc.printXMax, 10.0);
  EXPECT_EQ(doc.printYMin, 0.5);
  EXPECT_EQ(doc.printYMax, 7.5);
  EXPECT_EQ(doc.customEquationFile, "CustomEq.txt");
  EXPECT_FALSE(doc.IsModified());
}

TEST(Document, MoveToBackAndFront) {
  CZentrelDoc doc;
  for (auto name : {"P", "Q", "R"}) doc.AppendSet(NamedSet(name));
  doc.MoveSetToBack(2);
  EXPECT_EQ(Names(doc), (std::vector<std::string>{"R", "P", "Q"}));
  doc.MoveSetToFront(1);
  EXPECT_EQ(Names(doc), (std::vector<std::string>{"R", "Q", "P"}));
  doc.MoveSetToFront(7);  // out of range: nothing
  doc.MoveSetToBack(-1);
  EXPECT_EQ(Names(doc), (std::vector<std::string>{"R", "Q", "P"}));
}

TEST(Document, UndoRestoresOnce) {
  CZentrelDoc doc;
  doc.AppendSet(NamedSet("P"));
  doc.TakeUndoSnapshot();
  doc.AppendSet(NamedSet("Q"));
  doc.sets[0]->SetValue(1, 0, 42);
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(Names(doc), (std::vector<std::string>{"P"}));
  EXPECT_EQ(doc.sets[0]->GetValue(1, 0), 0.0);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_FALSE(doc.Undo());
  EXPECT_EQ(doc.undoSets.size(), 1u);  // the snapshot itself stays
}

TEST(Document, CloseSetDropsConvolutionSourcesAndLastEditedFit) {
  CZentrelDoc doc;
  Data_Set& source = doc.AppendSet(NamedSet("source", 6));
  Data_Set& user = doc.AppendSet(NamedSet("user"));
  user.fits.push_back(std::make_unique<Fit>());
  user.fits[0]->setConvolutionSource(&source);
  EXPECT_EQ(user.fits[0]->convolve, 1);
  source.fits.push_back(std::make_unique<Fit>());
  doc.lastEditedFit = source.fits[0].get();

  doc.CloseSet(0);
  ASSERT_EQ(doc.SetCount(), 1);
  ASSERT_EQ(doc.sets[0]->fits.size(), 1u);
  const Fit& fit = *doc.sets[0]->fits[0];
  EXPECT_EQ(fit.convolutionSource, nullptr);
  EXPECT_EQ(fit.convolve, 0);
  EXPECT_EQ(fit.convolutionArea, 0.0);
  EXPECT_EQ(doc.lastEditedFit, nullptr);
}

TEST(Document, SnapshotAndUndoNeverReferToSetsTheyDoNotOwn) {
  CZentrelDoc doc;
  Data_Set& source = doc.AppendSet(NamedSet("source", 6));
  Data_Set& user = doc.AppendSet(NamedSet("user"));
  user.fits.push_back(std::make_unique<Fit>());
  user.fits[0]->setConvolutionSource(&source);
  doc.TakeUndoSnapshot();
  EXPECT_EQ(doc.undoSets[1]->fits[0]->convolutionSource, doc.undoSets[0].get());

  doc.CloseSet(0);  // the snapshot still holds its own copy of the source
  ASSERT_TRUE(doc.Undo());
  ASSERT_EQ(doc.SetCount(), 2);
  EXPECT_EQ(doc.sets[1]->fits[0]->convolutionSource, doc.sets[0].get());
  EXPECT_EQ(doc.sets[1]->fits[0]->convolve, 1);
}

TEST(Document, ResetClearsStateButKeepsTheUndoList) {
  CZentrelDoc doc;
  doc.AppendSet(NamedSet("P"));
  doc.TakeUndoSnapshot();
  doc.statusText = "x";
  doc.selectionX1 = 3;
  doc.scaledPreviewActive = 1;
  doc.graph.SetRange(1, 2, 3, 4);
  doc.SetModifiedFlag();
  doc.ResetDocument();
  EXPECT_EQ(doc.SetCount(), 0);
  EXPECT_EQ(doc.undoAvailable, 0);
  EXPECT_EQ(doc.undoSets.size(), 1u);
  EXPECT_EQ(doc.statusText, "");
  EXPECT_EQ(doc.selectionX1, 0.5);
  EXPECT_EQ(doc.scaledPreviewActive, 0);
  EXPECT_EQ(doc.graph.GetRange(), (DataRange{0, 0, 1, 1}));
  EXPECT_FALSE(doc.IsModified());
  EXPECT_FALSE(doc.Undo());
}

TEST(Document, SettlingAfterARedrawRepairsLogRangesThenClearsTheSelection) {
  CZentrelDoc doc;
  doc.graph.SetRange(-4, 2, 6, 10);
  doc.selectionX1 = -1, doc.selectionX2 = 1, doc.selectionY1 = 3, doc.selectionY2 = 4;
  doc.SettleAfterRedraw();
  // Linear axes: the range stays, the selection goes to its middle.
  EXPECT_EQ(doc.graph.GetRange(), (DataRange{-4, 2, 6, 10}));
  EXPECT_EQ(doc.selectionX1, 1.0);
  EXPECT_EQ(doc.selectionX2, 1.0);
  EXPECT_EQ(doc.selectionY1, 6.0);
  EXPECT_EQ(doc.selectionY2, 6.0);

  // Logarithmic: x from -4 becomes 1e-10; y (-3 .. -1) gets 1 on top first,
  // then 1e-10 below. The selection sits in the middle of the repaired range.
  doc.graph.logX = doc.graph.logY = 1;
  doc.graph.yMin = -3;
  doc.graph.yMax = -1;
  doc.selectionX1 = 0, doc.selectionX2 = 5;
  doc.SettleAfterRedraw();
  EXPECT_EQ(doc.graph.GetRange(), (DataRange{1e-10, 1e-10, 6, 1}));
  EXPECT_EQ(doc.selectionX1, (1e-10 + 6) / 2);
  EXPECT_EQ(doc.selectionY2, (1e-10 + 1) / 2);
  EXPECT_FALSE(doc.HasSelection());
  EXPECT_EQ(doc.graph.prevXMin, 0.0);  // a repair is no new range for Unzoom (-4 would be)

  // An empty logarithmic range: the lower end becomes a tenth of itself.
  doc.graph.xMin = doc.graph.xMax = 20;
  doc.SettleAfterRedraw();
  EXPECT_DOUBLE_EQ(doc.graph.xMin, 2.0);
  EXPECT_EQ(doc.selectionX1, (doc.graph.xMin + 20) / 2);
}

TEST(Fit, SimpsonAreaOfTheConvolutionSource) {
  Data_Set source;
  for (int i = 0; i < 5; ++i) source.SetValue(0, i, i * 0.5), source.SetValue(1, i, 1.0);
  Fit fit;
  fit.setConvolutionSource(&source);
  EXPECT_DOUBLE_EQ(fit.convolutionArea, 2.0);  // integral of 1 over 0..2
  Data_Set tiny;
  for (int i = 0; i < 4; ++i) tiny.SetValue(0, i, i), tiny.SetValue(1, i, 1.0);
  fit.setConvolutionSource(&tiny);
  EXPECT_EQ(fit.convolutionArea, 0.0);
}

TEST(Fit, CopyRestartsIterationAndDropsSteps) {
  Fit source;
  source.params[3] = 2.5;
  source.steps[3] = 0.1;
  source.freeFlags[4] = 0;
  source.iterating = 1;
  source.iterationCount = 12;
  source.hidden = 1;
  source.weighting = kWeightInverseSigmaSquared;
  Fit copy(source);
  EXPECT_EQ(copy.params[3], 2.5);
  EXPECT_EQ(copy.steps[3], 0.0);
  EXPECT_EQ(copy.freeFlags[4], 0);
  EXPECT_EQ(copy.iterating, 0);
  EXPECT_EQ(copy.iterationCount, 0);
  EXPECT_EQ(copy.hidden, 1);
  EXPECT_EQ(copy.weighting, kWeightInverseSigmaSquared);
}

}  // namespace
}  // namespace zentrel
