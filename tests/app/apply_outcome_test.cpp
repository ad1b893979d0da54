// The one ending of every command: what ApplyOutcome does with an outcome,
// in which order, and that Dispatch applies a handler's outcome through the
// Ui it gave the handler.

#include "app/commands/apply_outcome.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/set_builder.h"
#include "app/commands/dispatch.h"
#include "fake_ui.h"
#include "model/document.h"

namespace zentrel {
namespace {

using testing::FakeUi;
using testing::MakeSet;

// The document as the picture sees it at each redraw.
struct AtRedraw {
  std::string status;
  bool modified;
  std::vector<std::string> setNames;
  double xMax;
};

class RecordingUi : public FakeUi {
 public:
  explicit RecordingUi(const CZentrelDoc& doc) : doc_(doc) {}
  void redraw() override {
    FakeUi::redraw();
    std::vector<std::string> names;
    for (const auto& set : doc_.sets) names.push_back(set->name);
    seen.push_back({doc_.statusText, doc_.IsModified(), names, doc_.graph.xMax});
  }
  std::vector<AtRedraw> seen;

 private:
  const CZentrelDoc& doc_;
};

std::unique_ptr<Data_Set> Set(const char* name, double xMax) {
  return std::make_unique<Data_Set>(MakeSet({0, xMax}, {0, 1}, name));
}

class ApplyOutcomeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.AppendSet(Set("old", 1));
    doc.statusText = "before";
  }
  CZentrelDoc doc;
  RecordingUi ui{doc};
};

TEST_F(ApplyOutcomeTest, EverythingIsInPlaceWhenThePictureIsRedrawn) {
  ApplyOutcome(doc, ui,
               Outcome::AddSet(Set("first", 50)).AddSet(Set("second", 80)).Autoscale().Status("done").Modified().Redraw());
  ASSERT_EQ(ui.seen.size(), 1u);
  const AtRedraw& seen = ui.seen[0];
  EXPECT_EQ(seen.status, "done");
  EXPECT_TRUE(seen.modified);
  EXPECT_EQ(seen.setNames, (std::vector<std::string>{"old", "first", "second"}));
  // Autoscaled after the sets were added: the range takes in the new ones.
  EXPECT_GE(seen.xMax, 80.0);
}

TEST_F(ApplyOutcomeTest, AnEmptyOutcomeLeavesTheDocumentAlone) {
  const DataRange range = doc.graph.GetRange();
  ApplyOutcome(doc, ui, {});
  EXPECT_EQ(ui.redraws, 0);
  EXPECT_EQ(doc.statusText, "before");
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(doc.SetCount(), 1);
  EXPECT_EQ(doc.graph.GetRange().xMax, range.xMax);
}

TEST_F(ApplyOutcomeTest, EachPartAppliesOnlyWhenAskedFor) {
  // No status keeps the text; an outcome without Modified() never clears the flag.
  doc.SetModifiedFlag();
  ApplyOutcome(doc, ui, Outcome::Redraw());
  EXPECT_EQ(doc.statusText, "before");
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(ui.redraws, 1);

  // A set without Autoscale leaves the range as it was; a null set adds nothing.
  const double xMax = doc.graph.xMax;
  ApplyOutcome(doc, ui, Outcome::AddSet(Set("far", 1000)).AddSet(nullptr));
  EXPECT_EQ(doc.SetCount(), 2);
  EXPECT_EQ(doc.graph.xMax, xMax);
  EXPECT_EQ(ui.redraws, 1);

  // An empty status text is a status text.
  ApplyOutcome(doc, ui, Outcome::Status(""));
  EXPECT_EQ(doc.statusText, "");
}

TEST_F(ApplyOutcomeTest, DispatchAppliesTheHandlersOutcomeThroughItsUi) {
  ui.pickAnswers.push_back(0);
  ASSERT_EQ(Dispatch(doc, ui, Cmd::CopyDataSet), DispatchResult::Done);
  ASSERT_EQ(ui.seen.size(), 1u);
  EXPECT_EQ(ui.seen[0].status, "Set Copied!");
  EXPECT_TRUE(ui.seen[0].modified);
  EXPECT_EQ(ui.seen[0].setNames, (std::vector<std::string>{"old", "old"}));

  // A handler with nothing to finish: no redraw, no status.
  doc.statusText = "kept";
  ASSERT_EQ(Dispatch(doc, ui, Cmd::UseAxisAbbreviations), DispatchResult::Done);
  EXPECT_EQ(ui.redraws, 1);
  EXPECT_EQ(doc.statusText, "kept");

  ASSERT_EQ(Dispatch(doc, ui, Cmd::Autoscale), DispatchResult::Done);
  ASSERT_EQ(ui.seen.size(), 2u);
  EXPECT_EQ(ui.seen[1].status, "Graph Autoscaled");
}

}  // namespace
}  // namespace zentrel
