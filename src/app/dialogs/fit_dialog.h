#pragma once
// The modeless "Fitting" dialog: one per document, made on first use, then
// only shown, hidden and pointed at another fit. This class holds what the
// dialog's controls show (as texts, the way a person sees and types them)
// and what happens when a control loses focus or is clicked; the window in
// the desktop program only binds widgets to it.
//
// The dialog refers to its fit by serial number and looks it up in the
// document on every use: a fit destroyed by any command (Delete Fit, Close
// Data, Undo, New, Open, ...) simply disappears from the dialog, which then
// hides and shows nothing editable.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fit/fit_summary.h"
#include "fit/profile_confidence.h"
#include "model/document.h"
#include "model/fit.h"

namespace zentrel {

class Data_Set;
class Ui;

// Rows of parameter edits and check boxes ("a0".."a16").
inline constexpr int kFitDialogRows = kMaxFitParameters;

class FitDialogModel : public DocumentCompanion {
 public:
  // A fit range and the free flags that go with it, as one "Limit Set:" holds.
  struct LimitSet {
    double start = 0.0;
    double end = 0.0;
    std::array<int, kMaxFitParameters> freeFlags;
    LimitSet() { freeFlags.fill(1); }
  };

  explicit FitDialogModel(CZentrelDoc& doc) : doc_(doc) {}

  // The fit being edited; null before the first openFit and once that fit no
  // longer exists.
  Fit* fit() const;
  // The set that owns fit(); null when there is no fit.
  const Data_Set* setOfFit() const;
  bool hasWindow() const { return created_; }
  // Shown and editing a fit that exists.
  bool isVisible() const { return visible_ && fit() != nullptr; }

  // Creates the window's state on first use (the first data exchange).
  void ensureCreated();
  // Points the dialog at a fit and shows its values.
  void openFit(Fit& fit);
  // Makes the dialog visible and asks the Ui to show its window.
  void showDialog(Ui& ui);
  // OK: the data exchange (which applies the model selection), then hide.
  void pressOk();
  // Escape or the window's close button.
  void hide();
  // Lets go of a fit that no longer exists: hides the dialog. True when the
  // dialog had to let go.
  bool releaseIfGone();

  // The first data exchange and every later one.
  void dataExchange();
  void refreshDisplay();
  // The fit's step failed: the fields show where it stopped, and the
  // chi-square box says it failed instead of showing a number the failed
  // step did not produce.
  void showStepFailure(const Fit& failed);
  void applyModelSelection();
  void readAllFields();
  // The bound fields and marks from the fit.
  void showBounds(const Fit& f);
  void applyParameterRow(int row);
  // Reads the row's bound fields into the fit, moving its value inside.
  // The problem when they are no interval (the fields then show the
  // fit's bounds again); empty when they were taken.
  std::string applyBoundsRow(int row);
  void switchLimitSet(int index);

  // Controls losing focus or clicked.
  void modelLostFocus();  // "Fitting Fn:" and "Order:"
  // "Fit Name:": a typed name is kept even when no model change follows.
  void nameLostFocus();
  void fitStartLostFocus();
  void fitEndLostFocus();
  // Compiles the custom equation edit; false (with the message shown) when
  // it does not compile.
  bool customEquationLostFocus(Ui& ui);
  void methodChanged(int index);
  void weightingClicked(int index);
  void copyParams(Ui& ui);
  void pasteParams(Ui& ui);
  void changeColor(Ui& ui);
  void convolveWith(Ui& ui);
  // "List": the custom equation list; true when an equation was chosen.
  bool list(Ui& ui);
  // "Iterate" / "Stop Iterating".
  void toggleIterate();
  // "Guess": start values from the data in the fit range for every free
  // parameter row; held rows keep their values (the guess of the others
  // is made with them). The engine restarts. False, with the reason shown,
  // when nothing could be guessed (the spline, a custom formula, too few
  // points, data the model cannot take).
  bool guessStartValues(Ui& ui);

  // The shift row (fit_dialog_shift.cpp): its fields from the fit, and the
  // typed value and check box into it (the engine restarts).
  void showShift(const Fit& f);
  void applyShiftRow();

  // Standard errors of the free parameters, computed when iteration stops
  // or a fit that has been iterated is opened; cleared while it iterates.
  void updateUncertainties();

  // "Confidence...": profiles the stopped fit at a level (0.683, 0.95) with
  // progress; the intervals then show until the fit changes. False, with
  // the reason shown, when the fit is iterating, was never iterated, cannot
  // be profiled or the person cancelled.
  bool computeConfidence(Ui& ui, double level);

  // What the controls show.
  std::string nameText;            // 1039 "Fit Name:"
  std::string iterationsText;      // 1040 "Iterations:"
  std::string modelName;           // 1028 "Fitting Fn:" selection
  std::string orderText;           // 1035 "Order:"
  std::string fitStartText;        // 1033 "Fit Start:"
  std::string fitEndText;          // 1034 "Fit End:"
  std::string customEquationText;  // 1057 "Custom Equation:"
  bool customEquationVisible = false;  // the equation edit, its label and "List"
  std::array<std::string, kFitDialogRows> paramTexts;
  std::array<bool, kFitDialogRows> paramChecks{};
  std::array<std::string, kFitDialogRows> paramCaptions;
  // "±" column: the standard error of each parameter once known, else empty.
  std::array<std::string, kFitDialogRows> errorTexts;
  std::string reducedChiSquareText;  // χ²/ν next to the errors, once known
  // Lower and upper bound of each row as typed; empty is none.
  std::array<std::string, kFitDialogRows> lowerTexts, upperTexts;
  // "at lower bound" / "at upper bound" beside a value that sits on one.
  std::array<std::string, kFitDialogRows> boundMarks;
  // The statistics of the stopped fit, with the errors; empty while it
  // iterates. The lines are what scripts print and the window shows.
  std::optional<FitSummary> statistics;
  std::vector<std::string> statisticsLines;
  // The profile intervals of the fit's current parameters, once computed.
  std::optional<ProfileConfidence> confidence;
  std::vector<std::string> confidenceLines;
  // "[lower, upper]" beside each profiled parameter, else empty.
  std::array<std::string, kFitDialogRows> intervalTexts;
  // The row of the response's shift, shown while the fit convolves with a
  // set: value, "free" check box, standard error, profile interval.
  bool shiftVisible = false;
  std::string shiftText = "0";
  bool shiftCheck = false;
  std::string shiftErrorText;
  std::string shiftIntervalText;
  int rowsShown = 0;
  int methodIndex = 0;     // 1032: 0 "Gridless", 1 "Levenberg-Marquardt"
  int weightingIndex = 0;  // 1027, 1029, 1030, 1031, then Poisson likelihood
  int limitSetIndex = 0;   // 1010..1012
  std::string convolveText;    // 1043
  std::string chiSquareText;   // 1015 "Chi Squared:"
  std::string iterateCaption = "Iterate";  // button 3

  std::array<LimitSet, 3> limitSets;

  // Set by iteration when the dialog was refreshed and the graph still has
  // to catch up.
  bool graphRedrawPending = false;

  // The window re-reads every text from the model (and repaints at once).
  std::function<void()> changed;
  void notifyChanged() const {
    if (changed) changed();
  }

  CZentrelDoc& document() const { return doc_; }

 private:
  // Drops the errors, the statistics and the intervals: the fit moved.
  void clearResults();

  CZentrelDoc& doc_;
  // The parameters the intervals were profiled at.
  std::array<double, kMaxFitParameters> confidenceParams_{};
  double confidenceShift_ = 0;
  std::uint64_t fitSerial_ = 0;
  bool created_ = false;
  bool visible_ = false;
};

// The document's fitting dialog, made on first use.
FitDialogModel& FitDialogOf(CZentrelDoc& doc);
// The dialog when it was made already, else null.
FitDialogModel* ExistingFitDialog(CZentrelDoc& doc);

// The number in an edit as the dialog reads it: its first line (at most 255
// characters) converted like strtod; nothing when no number starts it.
std::optional<double> ReadEditNumber(const std::string& text);

}  // namespace zentrel
