// Axis Ranges: typed ranges and log switches, what is refused and why, and
// Unzoom back to the range before; the same through a script line.

#include <gtest/gtest.h>

#include <sstream>

#include "app/commands/dispatch.h"
#include "app/dialogs/axis_ranges_dialog.h"
#include "app/script/script_runner.h"
#include "fake_ui.h"
#include "model/document.h"

namespace zentrel {
namespace {

using testing::FakeUi;
using Typed = std::vector<std::pair<std::string, std::string>>;

// The model as the dialog fills it: each typed field through its script key.
AxisRangesDialogModel Filled(const Graph& graph, const Typed& typed) {
  AxisRangesDialogModel model(graph);
  for (auto& field : model.scriptFields()) {
    for (const auto& [key, value] : typed) {
      if (field.key == key) {
        EXPECT_FALSE(field.set(value).has_value()) << key << "=" << value;
      }
    }
  }
  return model;
}

TEST(AxisRangesDialog, StartsAtTheVisibleRangeAndSwitches) {
  Graph g;
  g.ShowRange({0.125, -3, 1e6, 4.5});
  g.logX = 1;
  const AxisRangesDialogModel model(g);
  EXPECT_EQ(model.xMinText, "0.125");
  EXPECT_EQ(model.xMaxText, "1000000");
  EXPECT_EQ(model.yMinText, "-3");
  EXPECT_EQ(model.yMaxText, "4.5");
  EXPECT_TRUE(model.logX);
  EXPECT_FALSE(model.logY);
}

TEST(AxisRangesDialog, RefusesWhatCannotBeShown) {
  using Edit = AxisRangesDialogModel::Edit;
  struct Case {
    Typed typed;
    Edit edit;
    const char* message;
  };
  const Case cases[] = {
      {{{"xmin", "abc"}}, Edit::XMin, "Xmin is not a number."},
      {{{"xmax", ""}}, Edit::XMax, "Xmax is not a number."},
      {{{"ymin", "1e999"}}, Edit::YMin, "Ymin is not a number."},
      {{{"ymax", "2,5"}}, Edit::YMax, "Ymax is not a number."},
      {{{"xmin", "5"}, {"xmax", "5"}}, Edit::XMin, "Xmin must be less than Xmax."},
      {{{"ymin", "3"}, {"ymax", "-3"}}, Edit::YMin, "Ymin must be less than Ymax."},
      {{{"xmin", "0"}, {"log-x", "yes"}}, Edit::XMin, "A logarithmic X axis needs Xmin greater than 0."},
      {{{"ymin", "-1"}, {"log-y", "yes"}}, Edit::YMin, "A logarithmic Y axis needs Ymin greater than 0."},
      {{{"xmin", "-1.7e308"}, {"xmax", "1.7e308"}}, Edit::XMin, "The X range is too wide."},
  };
  Graph g;
  g.ShowRange({0, 0, 10, 10});
  for (const Case& c : cases) {
    AxisRangesDialogModel model = Filled(g, c.typed);
    const auto refusal = model.check();
    ASSERT_TRUE(refusal.has_value()) << c.message;
    EXPECT_EQ(refusal->edit, c.edit) << c.message;
    EXPECT_EQ(refusal->message, c.message);
    EXPECT_EQ(model.validate(), std::optional<std::string>(c.message));
  }
  // Blanks around a number are fine; a log axis from a positive minimum too.
  AxisRangesDialogModel fine = Filled(g, {{"xmin", " 0.5 "}, {"log-x", "yes"}, {"ymin", "-2"}});
  EXPECT_FALSE(fine.check().has_value());
  EXPECT_EQ(fine.range(), (DataRange{0.5, -2, 10, 10}));
}

class AxisRangesCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.graph.ShowRange({0, 0, 10, 10});
    doc.graph.zoomHistory.clear();
  }
  // Fills the dialog and presses OK without the front end's check, so the
  // command's own refusal shows.
  void Answer(Typed typed) {
    ui.dialogAnswers.push_back([typed](DialogModel& dialog) {
      for (auto& field : dialog.scriptFields())
        for (auto& [key, value] : typed)
          if (field.key == key) field.set(value);
      return true;
    });
  }
  CZentrelDoc doc;
  FakeUi ui;
};

TEST_F(AxisRangesCommand, ShowsTheTypedRangeAndUnzoomGoesBack) {
  Answer({{"xmin", "1"}, {"xmax", "100"}, {"ymin", "-5"}, {"ymax", "5"}, {"log-x", "yes"}});
  Dispatch(doc, ui, Cmd::AxisRanges);
  EXPECT_EQ(doc.graph.GetRange(), (DataRange{1, -5, 100, 5}));
  EXPECT_EQ(doc.graph.logX, 1);
  EXPECT_EQ(doc.graph.logY, 0);
  EXPECT_EQ(ui.redraws, 1);
  EXPECT_EQ(ui.dialogsShown, std::vector<std::string>{"Axis Ranges"});
  Dispatch(doc, ui, Cmd::Unzoom);
  // The x axis stays logarithmic, so the redraw repairs the 0 it went back to.
  EXPECT_EQ(doc.graph.GetRange(), (DataRange{1e-10, 0, 10, 10}));
}

TEST_F(AxisRangesCommand, RefusedOrCancelledChangesNothing) {
  Answer({{"xmin", "20"}});
  Dispatch(doc, ui, Cmd::AxisRanges);
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Xmin must be less than Xmax."});
  ui.dialogAnswers.push_back([](DialogModel&) { return false; });
  Dispatch(doc, ui, Cmd::AxisRanges);
  EXPECT_EQ(doc.graph.GetRange(), (DataRange{0, 0, 10, 10}));
  EXPECT_TRUE(doc.graph.zoomHistory.empty());
  EXPECT_EQ(ui.redraws, 0);
}

TEST_F(AxisRangesCommand, OnlySwitchingLogLeavesNoUnzoomStep) {
  doc.graph.ShowRange({1, 1, 10, 10});
  Answer({{"log-y", "yes"}});
  Dispatch(doc, ui, Cmd::AxisRanges);
  EXPECT_EQ(doc.graph.logY, 1);
  EXPECT_TRUE(doc.graph.zoomHistory.empty());
}

TEST(AxisRangesScript, ScriptLineSetsTheRangeOrFailsWithTheReason) {
  CZentrelDoc doc;
  std::ostringstream out;
  {
    std::istringstream in("axis-ranges xmin=2 xmax=4 ymin=0.1 ymax=1000 log-y=yes\n");
    ScriptRunner runner(doc, out, "t.zts");
    ASSERT_TRUE(runner.run(in)) << runner.error();
  }
  EXPECT_EQ(doc.graph.GetRange(), (DataRange{2, 0.1, 4, 1000}));
  EXPECT_EQ(doc.graph.logY, 1);
  std::istringstream in("axis-ranges ymin=0\n");
  ScriptRunner runner(doc, out, "t.zts");
  EXPECT_FALSE(runner.run(in));
  EXPECT_NE(runner.error().find("Axis Ranges: A logarithmic Y axis needs Ymin greater than 0."), std::string::npos)
      << runner.error();
  EXPECT_EQ(doc.graph.GetRange(), (DataRange{2, 0.1, 4, 1000}));
}

}  // namespace
}  // namespace zentrel
