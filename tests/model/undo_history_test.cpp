#include "model/undo_history.h"

#include <gtest/gtest.h>

#include "model/document.h"
#include "model/fit.h"

namespace zentrel {
namespace {

constexpr int kPoints = 100'000;
constexpr std::size_t kColumnBytes = kPoints * sizeof(double);

std::unique_ptr<Data_Set> Filled(const std::string& name) {
  auto set = std::make_unique<Data_Set>();
  set->name = name;
  set->Reserve(0, kPoints);
  set->Reserve(1, kPoints);
  for (int i = 0; i < kPoints; ++i) set->SetValue(0, i, i), set->SetValue(1, i, 0.0);
  return set;
}

// A document of `sets` sets; each command edits one value of set 0 and is
// recorded as "Edit <n>".
struct EditedDocument {
  explicit EditedDocument(int sets, UndoHistoryOptions options = {}) {
    doc.SetUndoOptions(options);
    for (int k = 0; k < sets; ++k) doc.AppendSet(Filled("S" + std::to_string(k)));
  }
  void Edit(int n) {
    doc.TakeUndoSnapshot("Edit " + std::to_string(n));
    doc.sets[0]->SetValue(1, 0, n);
  }
  double Value() const { return doc.sets[0]->GetValue(1, 0); }
  CZentrelDoc doc;
};

TEST(UndoHistory, DepthLimitKeepsTheNewestLevels) {
  EditedDocument edited(1, {.maxLevels = 3});
  for (int n = 1; n <= 5; ++n) edited.Edit(n);
  EXPECT_EQ(edited.doc.undoHistory().UndoCount(), 3);
  EXPECT_EQ(edited.doc.undoHistory().UndoLabel(), "Edit 5");
  for (double expected : {4.0, 3.0, 2.0}) {
    ASSERT_TRUE(edited.doc.Undo());
    EXPECT_EQ(edited.Value(), expected);
  }
  EXPECT_FALSE(edited.doc.Undo());  // the states before edits 1 and 2 were dropped
  EXPECT_EQ(edited.doc.undoAvailable, 0);
  EXPECT_EQ(edited.doc.undoHistory().RedoLabel(), "Edit 3");
}

TEST(UndoHistory, MemoryCapDropsTheOldestLevelsButNeverTheNewest) {
  // Each edit gives set 0 a y column of its own, so each older level holds
  // one y column the document no longer has: three fit under the cap.
  const std::size_t cap = 3 * kColumnBytes + kColumnBytes / 2;
  EditedDocument edited(4, {.maxLevels = 20, .maxBytes = cap});
  const UndoHistory& history = edited.doc.undoHistory();
  for (int n = 1; n <= 10; ++n) {
    edited.doc.TakeUndoSnapshot("Edit " + std::to_string(n));
    EXPECT_LE(history.HeldBytes(edited.doc.sets), cap) << n;
    edited.doc.sets[0]->SetValue(1, 0, n);
  }
  EXPECT_EQ(history.UndoCount(), 4);  // the newest level and three older ones
  for (double expected : {9.0, 8.0, 7.0, 6.0}) {
    ASSERT_TRUE(edited.doc.Undo());
    EXPECT_EQ(edited.Value(), expected);
  }
  EXPECT_FALSE(edited.doc.Undo());

  // A cap below a single level still leaves the newest one: the first Undo
  // always works.
  EditedDocument tight(1, {.maxLevels = 20, .maxBytes = 1});
  for (int n = 1; n <= 4; ++n) tight.Edit(n);
  EXPECT_EQ(tight.doc.undoHistory().UndoCount(), 1);
  ASSERT_TRUE(tight.doc.Undo());
  EXPECT_EQ(tight.Value(), 3.0);
}

TEST(UndoHistory, LevelsShareTheColumnsThatDidNotChange) {
  // Twenty levels over ten sets, one set edited: about one y column a level.
  EditedDocument edited(10);
  for (int n = 1; n <= 20; ++n) edited.Edit(n);
  const std::size_t held = edited.doc.undoHistory().HeldBytes(edited.doc.sets);
  EXPECT_GE(held, 20 * kColumnBytes);
  EXPECT_LT(held, 21 * kColumnBytes);
  // The snapshot of an unedited document holds nothing beyond it.
  EditedDocument fresh(10);
  fresh.doc.TakeUndoSnapshot("Copy");
  EXPECT_LT(fresh.doc.undoHistory().HeldBytes(fresh.doc.sets), kColumnBytes);
}

TEST(UndoHistory, ANewCommandDropsTheRedoBranch) {
  EditedDocument edited(1);
  for (int n = 1; n <= 3; ++n) edited.Edit(n);
  edited.doc.Undo();
  edited.doc.Undo();
  EXPECT_EQ(edited.doc.undoHistory().RedoCount(), 2);
  edited.Edit(7);
  EXPECT_FALSE(edited.doc.Redo());
  EXPECT_EQ(edited.doc.undoHistory().UndoCount(), 2);
  ASSERT_TRUE(edited.doc.Undo());
  EXPECT_EQ(edited.Value(), 1.0);
}

// What the single-level Undo cleared, every step clears: the fits that
// come back are new objects, so nothing holding the old ones follows them.
TEST(UndoHistory, EveryStepLetsGoOfFitsAndThePreview) {
  CZentrelDoc doc;
  Data_Set& source = doc.AppendSet(Filled("source"));
  Data_Set& user = doc.AppendSet(Filled("user"));
  user.fits.push_back(std::make_unique<Fit>());
  user.fits[0]->setConvolutionSource(&source);
  doc.TakeUndoSnapshot("One");
  doc.TakeUndoSnapshot("Two");
  for (bool undo : {true, true, false, false}) {
    doc.lastEditedFit = doc.sets[1]->fits[0].get();
    const auto serial = doc.sets[1]->fits[0]->serial;
    doc.scaledPreviewActive = 1;
    doc.scaledFirst = doc.sets[0].get();
    ASSERT_TRUE(undo ? doc.Undo() : doc.Redo());
    EXPECT_EQ(doc.lastEditedFit, nullptr);
    EXPECT_EQ(doc.scaledPreviewActive, 0);
    EXPECT_EQ(doc.scaledFirst, nullptr);
    EXPECT_NE(doc.sets[1]->fits[0]->serial, serial);
    EXPECT_EQ(doc.sets[1]->fits[0]->convolutionSource, doc.sets[0].get());
    EXPECT_TRUE(doc.IsModified());
  }
}

}  // namespace
}  // namespace zentrel
