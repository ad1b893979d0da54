// The Fitting dialog's statistics and profile intervals, and Export Fit
// Report, through the dialog model and the command.

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "app/commands/dispatch.h"
#include "app/dialogs/fit_dialog.h"
#include "app/fit_iteration.h"
#include "fake_ui.h"
#include "model/document.h"
#include "numeric/numeric_error.h"

namespace zentrel {
namespace {

using testing::FakeUi;

class FitStatisticsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearNumericError();
    auto set = std::make_unique<Data_Set>();
    set->name = "noisy decay";
    for (int i = 0; i < 40; ++i) {
      set->SetValue(0, i, 0.25 * i);
      set->SetValue(1, i, 3 * std::exp(-0.125 * i) + 0.5 + 0.02 * std::sin(5.3 * i));
    }
    doc.AppendSet(std::move(set));
    Dispatch(doc, ui, Cmd::Fit);
    fit = doc.sets[0]->fits.back().get();
    dialog().paramTexts[2] = "1";
    dialog().applyParameterRow(2);
    dialog().paramTexts[3] = "1";
    dialog().applyParameterRow(3);
    dialog().paramChecks[1] = false;
    dialog().applyParameterRow(1);
    dialog().methodChanged(1);
  }
  void TearDown() override { ClearNumericError(); }

  void IterateAndStop() {
    dialog().toggleIterate();
    for (int pass = 0; pass < 80; ++pass) IterateFitsOnce(doc, ui);
    dialog().toggleIterate();
  }
  FitDialogModel& dialog() { return FitDialogOf(doc); }

  CZentrelDoc doc;
  FakeUi ui;
  Fit* fit = nullptr;
};

TEST_F(FitStatisticsDialog, StatisticsFollowTheStopAndGoWithAnEdit) {
  EXPECT_FALSE(dialog().statistics);
  dialog().toggleIterate();
  IterateFitsOnce(doc, ui);
  EXPECT_FALSE(dialog().statistics);  // not while iterating
  for (int pass = 0; pass < 80; ++pass) IterateFitsOnce(doc, ui);
  dialog().toggleIterate();
  ASSERT_TRUE(dialog().statistics);
  EXPECT_EQ(dialog().statistics->goodness.degreesOfFreedom, 37);
  EXPECT_NEAR(dialog().statistics->goodness.chiSquare, fit->chiSquare, 1e-12 * fit->chiSquare);
  EXPECT_GT(dialog().statistics->goodness.rSquared, 0.999);
  ASSERT_EQ(dialog().statistics->freeIndex, (std::vector<int>{0, 2, 3}));
  ASSERT_GE(dialog().statisticsLines.size(), 4u);
  EXPECT_EQ(dialog().statisticsLines[0].rfind("chi-square ", 0), 0u);
  EXPECT_EQ(dialog().statisticsLines[3], "correlation matrix (* |r| > 0.95):");
  dialog().paramTexts[3] = "2.5";
  dialog().applyParameterRow(3);
  EXPECT_FALSE(dialog().statistics);
  EXPECT_TRUE(dialog().statisticsLines.empty());
}

TEST_F(FitStatisticsDialog, ConfidenceNeedsAStoppedFitAndShowsIntervalsUntilTheFitChanges) {
  EXPECT_FALSE(dialog().computeConfidence(ui, 0.95));
  EXPECT_EQ(ui.messages.back(), "Iterate the fit before computing confidence intervals.");
  dialog().toggleIterate();
  IterateFitsOnce(doc, ui);
  EXPECT_FALSE(dialog().computeConfidence(ui, 0.95));
  EXPECT_EQ(ui.messages.back(), "Stop iterating before computing confidence intervals.");
  for (int pass = 0; pass < 80; ++pass) IterateFitsOnce(doc, ui);
  dialog().toggleIterate();

  ASSERT_TRUE(dialog().computeConfidence(ui, 0.95));
  EXPECT_EQ(ui.progressLabels.back(), "Profiling confidence intervals");
  EXPECT_EQ(ui.progressOpen, 0);
  ASSERT_TRUE(dialog().confidence);
  EXPECT_EQ(dialog().confidence->intervals.size(), 3u);
  for (int row : {0, 2, 3}) EXPECT_EQ(dialog().intervalTexts[static_cast<size_t>(row)].front(), '[') << row;
  EXPECT_TRUE(dialog().intervalTexts[1].empty());  // x0 is held
  EXPECT_EQ(dialog().confidenceLines.size(), 4u);
  // Profiling leaves the fit as it was.
  EXPECT_EQ(fit->iterationCount > 0, true);
  EXPECT_NEAR(dialog().confidence->intervals[2].best, fit->params[3], 0.0);

  // A new iteration makes them stale.
  dialog().toggleIterate();
  IterateFitsOnce(doc, ui);
  EXPECT_FALSE(dialog().confidence);
  EXPECT_TRUE(dialog().intervalTexts[3].empty());
}

TEST_F(FitStatisticsDialog, CancellingTheProfileKeepsNothing) {
  IterateAndStop();
  ui.cancelProgressAfter = 2;
  EXPECT_FALSE(dialog().computeConfidence(ui, 0.683));
  EXPECT_FALSE(dialog().confidence);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ui.progressOpen, 0);
}

TEST_F(FitStatisticsDialog, ExportFitReportWritesTheReportAndSaysWhyThePlotIsMissing) {
  IterateAndStop();
  ASSERT_TRUE(dialog().computeConfidence(ui, 0.683));
  const auto folder = std::filesystem::temp_directory_path() / ("zentrel_report_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "report.json").string();
  ui.fileAnswers.push_back(path);
  EXPECT_EQ(Dispatch(doc, ui, Cmd::ExportFitReport), DispatchResult::Done);
  EXPECT_EQ(ui.fileDialogsShown.back().request.title, "Export Fit Report");
  // The fake Ui draws nothing: the report is written and says so.
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_NE(ui.messages.back().find("without its plot"), std::string::npos);
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  const auto json = nlohmann::json::parse(text.str());
  EXPECT_EQ(json["data"], "noisy decay");
  EXPECT_EQ(json["model"], "Exponential");
  EXPECT_EQ(json["parameters"][3]["name"], "t0");
  EXPECT_EQ(json["parameters"][1]["held"], true);
  EXPECT_EQ(json["statistics"]["degrees_of_freedom"], 37);
  EXPECT_EQ(json["confidence"]["level"], 0.683);
  EXPECT_EQ(json["confidence"]["intervals"].size(), 3u);
  EXPECT_TRUE(json["plot"].is_null());
  EXPECT_FALSE(std::filesystem::exists(folder / "report.png"));

  // A name that is neither .md nor .json is refused, and nothing is written.
  ui.fileAnswers.push_back((folder / "report.txt").string());
  EXPECT_EQ(Dispatch(doc, ui, Cmd::ExportFitReport), DispatchResult::Failed);
  EXPECT_NE(ui.messages.back().find("must end in .md or .json"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder / "report.txt"));
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace zentrel
