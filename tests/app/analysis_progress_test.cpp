// Long analysis commands report progress like the file operations, and
// Cancel leaves the document as it was: no new set, the picked set's values
// untouched, the cancel named in the status.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/commands/dispatch.h"
#include "app/dialogs/smoothing_dialog.h"
#include "fake_ui.h"
#include "model/document.h"

namespace zentrel {
namespace {

using testing::FakeUi;

constexpr int kLong = 100000;

struct Case {
  const char* what;
  Cmd command;
  std::function<void(FakeUi&)> answer;  // the dialog and pickers after the set
  const char* doneStatus;
  const char* cancelledStatus;
};

void AnswerSmoothing(FakeUi& ui, int method) {
  ui.dialogAnswers.push_back([method](DialogModel& d) {
    auto& smoothing = dynamic_cast<SmoothingDialogModel&>(d);
    smoothing.method = method;
    smoothing.points = "9";
    smoothing.pointsLostFocus();
    return true;
  });
}

const Case kCases[] = {
    {"autocorrelation", Cmd::Autocorrelation, [](FakeUi& ui) { ui.pickAnswers = {0}; }, "Autocorrelation done!",
     "Autocorrelation cancelled"},
    {"power spectrum", Cmd::PowerSpectrum, [](FakeUi&) {}, "FFT completed", "FFT cancelled"},
    {"convolution", Cmd::Convolution, [](FakeUi& ui) { ui.pickAnswers = {0, 1}; }, "Convolution done!",
     "Convolution cancelled"},
    {"moving window", Cmd::Smooth, [](FakeUi& ui) { AnswerSmoothing(ui, kSmoothMovingWindow); }, "Set smoothed",
     "Smoothing cancelled"},
    {"savitzky-golay", Cmd::Smooth, [](FakeUi& ui) { AnswerSmoothing(ui, kSmoothSavitzkyGolay); }, "Set smoothed",
     "Smoothing cancelled"},
    {"reducing", Cmd::Smooth, [](FakeUi& ui) { AnswerSmoothing(ui, kSmoothReducing); }, "Set smoothed",
     "Smoothing cancelled"},
};

// A long evenly spaced set (and, for the convolution, a short response of
// the same spacing as a second set).
void Fill(CZentrelDoc& doc, const Case& c) {
  auto set = std::make_unique<Data_Set>();
  set->name = "long";
  for (int i = 0; i < kLong; ++i) {
    set->SetValue(0, i, 0.5 * i);
    set->SetValue(1, i, std::sin(0.01 * i) + 0.001 * (i % 7));
  }
  doc.AppendSet(std::move(set));
  if (c.command == Cmd::Convolution) {
    auto response = std::make_unique<Data_Set>();
    response->name = "response";
    for (int i = 0; i < 5; ++i) {
      response->SetValue(0, i, 0.5 * (i - 2));
      response->SetValue(1, i, i == 2 ? 1.0 : 0.25);
    }
    doc.AppendSet(std::move(response));
  }
}

std::vector<double> Column(const Data_Set& set, int column) {
  return std::vector<double>(set.ColumnData(column), set.ColumnData(column) + set.PointCount(column));
}

TEST(AnalysisProgress, ReportsAndCancelLeavesTheDocumentAlone) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    {
      CZentrelDoc doc;
      FakeUi ui;
      Fill(doc, c);
      const int sets = doc.SetCount();
      c.answer(ui);
      ASSERT_EQ(Dispatch(doc, ui, c.command), DispatchResult::Done);
      EXPECT_EQ(doc.statusText, c.doneStatus);
      EXPECT_GE(ui.progressReports, 2);
      EXPECT_EQ(ui.progressOpen, 0);
      EXPECT_TRUE(doc.SetCount() > sets || c.command == Cmd::Smooth);
    }
    CZentrelDoc doc;
    FakeUi ui;
    Fill(doc, c);
    doc.sets[0]->active = 0;
    const int sets = doc.SetCount();
    const std::vector<double> x = Column(*doc.sets[0], 0), y = Column(*doc.sets[0], 1);
    c.answer(ui);
    ui.cancelProgressAfter = 1;
    ASSERT_EQ(Dispatch(doc, ui, c.command), DispatchResult::Done);
    EXPECT_EQ(doc.statusText, c.cancelledStatus);
    EXPECT_EQ(doc.SetCount(), sets);
    EXPECT_EQ(Column(*doc.sets[0], 0), x);
    EXPECT_EQ(Column(*doc.sets[0], 1), y);
    EXPECT_EQ(doc.sets[0]->active, 0);
    EXPECT_EQ(ui.progressOpen, 0);
  }
}

}  // namespace
}  // namespace zentrel
