#include "app/dialogs/fit_dialog.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "app/dialogs/custom_equations_dialog.h"
#include "app/dialogs/set_picker.h"
#include "app/settling_ui.h"
#include "app/ui.h"
#include "fit/catalogue.h"
#include "fit/engine.h"
#include "fit/fit_bounds.h"
#include "fit/fit_parameters.h"
#include "fit/guess/start_values.h"
#include "fit/fit_summary.h"
#include "fit/profile_confidence.h"
#include "fit/model_table.h"
#include "fit/response_shift.h"
#include "numeric/c_format.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

// An edit's first line, at most 255 characters: what the dialog reads.
std::string FirstLine(const std::string& text) {
  std::string line = text.substr(0, text.find_first_of("\r\n"));
  if (line.size() > 255) line.resize(255);
  return line;
}

// "Order:" read as an integer; text that is no number reads as 0.
int ReadOrder(const std::string& text) {
  const std::string line = FirstLine(text);
  errno = 0;
  const long value = std::strtol(line.c_str(), nullptr, 10);
  return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

int VisibleRowsOf(const Fit& fit) { return std::clamp(ParameterCount(fit), 0, kFitDialogRows); }

std::string RangeText(double value) { return CFormat("%1.4g", value); }

// A bound as its field shows it: empty when there is none on that side.
std::string BoundText(double value) { return std::isinf(value) ? std::string() : CFormat("%1.6lg", value); }

// A bound field as typed: blank is none (the infinity of that side);
// nothing when it holds no number.
std::optional<double> ReadBoundText(const std::string& text, double none) {
  const std::string line = FirstLine(text);
  if (line.find_first_not_of(" \t") == std::string::npos) return none;
  return ReadEditNumber(line);
}

std::vector<std::string> NamesOf(const Fit& fit) {
  std::vector<std::string> names;
  for (int i = 0; i < VisibleRowsOf(fit); ++i) names.push_back(ParameterName(fit, i));
  return names;
}

}  // namespace

std::optional<double> ReadEditNumber(const std::string& text) {
  const std::string line = FirstLine(text);
  std::size_t consumed = 0;
  const double value = CStrtod(line.c_str(), &consumed);
  if (consumed == 0) return std::nullopt;
  return value;
}

FitDialogModel& FitDialogOf(CZentrelDoc& doc) {
  if (!doc.fitDialog) doc.fitDialog = std::make_unique<FitDialogModel>(doc);
  return static_cast<FitDialogModel&>(*doc.fitDialog);
}

FitDialogModel* ExistingFitDialog(CZentrelDoc& doc) { return static_cast<FitDialogModel*>(doc.fitDialog.get()); }

Fit* FitDialogModel::fit() const {
  if (fitSerial_ == 0) return nullptr;
  for (const auto& set : doc_.sets)
    for (const auto& candidate : set->fits)
      if (candidate->serial == fitSerial_) return candidate.get();
  return nullptr;
}

const Data_Set* FitDialogModel::setOfFit() const {
  for (const auto& set : doc_.sets)
    for (const auto& candidate : set->fits)
      if (candidate->serial == fitSerial_) return set.get();
  return nullptr;
}

bool FitDialogModel::releaseIfGone() {
  if (fitSerial_ == 0 || fit() != nullptr) return false;
  fitSerial_ = 0;
  visible_ = false;
  graphRedrawPending = false;
  clearResults();
  notifyChanged();
  return true;
}

void FitDialogModel::ensureCreated() {
  if (!created_) dataExchange();
}

void FitDialogModel::dataExchange() {
  if (!created_) {
    created_ = true;
    limitSetIndex = 0;
    orderText = "1";
    Fit* f = fit();
    for (auto& set : limitSets) set = LimitSet();
    if (f != nullptr) {
      fitStartText = RangeText(f->fitStart);
      fitEndText = RangeText(f->fitEnd);
      for (auto& set : limitSets) {
        set.start = f->fitStart;
        set.end = f->fitEnd;
        set.freeFlags = f->freeFlags;
      }
      methodIndex = f->method == kMethodLevenbergMarquardt ? 1 : 0;
    }
    refreshDisplay();
    paramChecks.fill(true);
    modelName = std::string(ModelName(f != nullptr ? f->modelKind : 0));
    if (f != nullptr) orderText = CFormat("%d", f->order);
  }
  applyModelSelection();
  notifyChanged();
}

void FitDialogModel::showDialog(Ui& ui) {
  ensureCreated();
  visible_ = true;
  ui.showFitDialog(*this);
  notifyChanged();
}

void FitDialogModel::pressOk() {
  nameLostFocus();
  dataExchange();
  hide();
}

void FitDialogModel::hide() {
  visible_ = false;
  notifyChanged();
}

void FitDialogModel::openFit(Fit& f) {
  ensureCreated();
  fitSerial_ = f.serial;
  weightingIndex = std::clamp(f.weighting, 0, static_cast<int>(kWeightPoisson));
  methodIndex = f.method == kMethodLevenbergMarquardt ? 1 : 0;
  refreshDisplay();
  orderText = CFormat("%d", f.order);
  fitStartText = RangeText(f.fitStart);
  fitEndText = RangeText(f.fitEnd);
  for (auto& set : limitSets) {
    if (set.start != set.end) continue;
    set.start = f.fitStart;
    set.end = f.fitEnd;
  }
  modelName = std::string(ModelName(f.modelKind));
  iterateCaption = f.iterating ? "Stop Iterating" : "Iterate";
  if (!f.customEquation.empty()) customEquationText = f.customEquation;
  for (int i = 0; i < rowsShown; ++i) {
    paramTexts[static_cast<size_t>(i)] = CFormat("%1.6lg", GetParameter(f, i));
    paramChecks[static_cast<size_t>(i)] = f.freeFlags[static_cast<size_t>(i)] != 0;
  }
  showBounds(f);
  showShift(f);
  applyModelSelection();
  updateUncertainties();
  notifyChanged();
}

void FitDialogModel::refreshDisplay() {
  Fit* f = fit();
  if (f == nullptr) return;
  const int n = VisibleRowsOf(*f);
  for (int i = 0; i < n; ++i) {
    paramTexts[static_cast<size_t>(i)] = CFormat("%1.5lg", f->params[static_cast<size_t>(i)]);
    paramChecks[static_cast<size_t>(i)] = f->freeFlags[static_cast<size_t>(i)] != 0;
  }
  showBounds(*f);
  if (!f->customEquation.empty()) customEquationText = f->customEquation;
  nameText = f->name;
  iterationsText = CFormat("%ld", static_cast<long>(f->iterationCount));
  convolveText = f->convolve && f->convolutionSource != nullptr ? f->convolutionSource->name : std::string();
  showShift(*f);
  chiSquareText = CFormat("%1.5lg", f->chiSquare);
  // A failed step ends iteration without the button being pressed.
  iterateCaption = f->iterating ? "Stop Iterating" : "Iterate";
  if (f->iterating || f->iterationCount == 0 ||
      (confidence && (f->params != confidenceParams_ || f->shift != confidenceShift_)))
    clearResults();
  notifyChanged();
}

void FitDialogModel::showBounds(const Fit& f) {
  for (int i = 0; i < kFitDialogRows; ++i) {
    const auto row = static_cast<size_t>(i);
    lowerTexts[row] = BoundText(f.lowerBounds[row]);
    upperTexts[row] = BoundText(f.upperBounds[row]);
    boundMarks[row] = i < VisibleRowsOf(f) ? BoundHitText(BoundHit(f, i)) : "";
  }
}

std::string FitDialogModel::applyBoundsRow(int row) {
  Fit* f = fit();
  if (f == nullptr || row < 0 || row >= kFitDialogRows) return {};
  const auto i = static_cast<size_t>(row);
  const std::string name = paramCaptions[i].empty() ? CFormat("a%d", row) : paramCaptions[i];
  const std::optional<double> lower = ReadBoundText(lowerTexts[i], -HUGE_VAL);
  const std::optional<double> upper = ReadBoundText(upperTexts[i], HUGE_VAL);
  std::string problem;
  if (!lower || !upper) problem = "The bounds of " + name + " are not numbers.";
  else if (std::string why = SetBounds(*f, row, *lower, *upper); !why.empty()) problem = "The bounds of " + name + ": " + why + ".";
  if (problem.empty()) {
    // A value moved inside shows where it went.
    paramTexts[i] = CFormat("%1.6lg", f->params[i]);
    doc_.SetModifiedFlag();
  }
  showBounds(*f);
  notifyChanged();
  return problem;
}

void FitDialogModel::showStepFailure(const Fit& failed) {
  refreshDisplay();
  if (failed.serial != fitSerial_) return;
  chiSquareText = "failed";
  clearResults();
  notifyChanged();
}

void FitDialogModel::applyModelSelection() {
  Fit* f = fit();
  if (f == nullptr) return;
  const int typed = ReadOrder(orderText);
  const int effective = SelectModel(*f, modelName, typed);
  if (effective != typed) orderText = CFormat("%d", effective);
  customEquationVisible = modelName == ModelName(kCustomFunction);
  rowsShown = VisibleRowsOf(*f);
  for (int i = 0; i < rowsShown; ++i) paramCaptions[static_cast<size_t>(i)] = ParameterName(*f, i);
  notifyChanged();
}

void FitDialogModel::readAllFields() {
  Fit* f = fit();
  if (f == nullptr) return;
  f->iterationCount = 0;
  for (int i = 0; i < rowsShown; ++i)
    SetParameter(*f, i, ReadEditNumber(paramTexts[static_cast<size_t>(i)]).value_or(0.0),
                 paramChecks[static_cast<size_t>(i)] ? 1 : 0);
  MoveInsideBounds(*f);
  if (shiftVisible) applyShiftRow();
  double start = ReadEditNumber(fitStartText).value_or(0.0);
  double end = ReadEditNumber(fitEndText).value_or(0.0);
  if (start > end) std::swap(start, end);
  f->fitStart = start;
  f->fitEnd = end;
  f->name = nameText;
  doc_.SetModifiedFlag();
}

void FitDialogModel::applyParameterRow(int row) {
  Fit* f = fit();
  if (f == nullptr || row < 0 || row >= kFitDialogRows) return;
  const auto i = static_cast<size_t>(row);
  SetParameter(*f, row, ReadEditNumber(paramTexts[i]).value_or(0.0), paramChecks[i] ? 1 : 0);
  if (const double inside = ClampToBounds(*f, row, f->params[i]); inside != f->params[i]) {
    f->params[i] = inside;
    paramTexts[i] = CFormat("%1.6lg", inside);
  }
  f->iterationCount = 0;
  // The statistics and intervals described the fit before the edit.
  statistics.reset();
  statisticsLines.clear();
  confidence.reset();
  confidenceLines.clear();
  for (auto& text : intervalTexts) text.clear();
  doc_.SetModifiedFlag();
  notifyChanged();
}

void FitDialogModel::switchLimitSet(int index) {
  Fit* f = fit();
  if (f == nullptr || index < 0 || index >= static_cast<int>(limitSets.size())) return;
  f->iterationCount = 0;
  if (index == limitSetIndex) return;
  LimitSet& current = limitSets[static_cast<size_t>(limitSetIndex)];
  current.freeFlags = f->freeFlags;
  if (auto start = ReadEditNumber(fitStartText)) current.start = *start;
  if (auto end = ReadEditNumber(fitEndText)) current.end = *end;
  const LimitSet& next = limitSets[static_cast<size_t>(index)];
  f->freeFlags = next.freeFlags;
  refreshDisplay();
  fitStartText = RangeText(next.start);
  fitStartLostFocus();
  fitEndText = RangeText(next.end);
  fitEndLostFocus();
  limitSetIndex = index;
  notifyChanged();
}

void FitDialogModel::modelLostFocus() {
  applyModelSelection();
  readAllFields();
  refreshDisplay();
}

void FitDialogModel::nameLostFocus() {
  Fit* f = fit();
  if (f == nullptr || f->name == nameText) return;
  f->name = nameText;
  doc_.SetModifiedFlag();
}

void FitDialogModel::fitStartLostFocus() {
  Fit* f = fit();
  if (f == nullptr) return;
  f->fitStart = ReadEditNumber(fitStartText).value_or(0.0);
  f->iterationCount = 0;
  doc_.SetModifiedFlag();
}

void FitDialogModel::fitEndLostFocus() {
  Fit* f = fit();
  if (f == nullptr) return;
  double start = ReadEditNumber(fitStartText).value_or(0.0);
  double end = ReadEditNumber(fitEndText).value_or(0.0);
  if (start > end) std::swap(start, end);
  f->fitStart = start;
  f->fitEnd = end;
  f->iterationCount = 0;
  doc_.SetModifiedFlag();
}

bool FitDialogModel::customEquationLostFocus(Ui& ui) {
  Fit* f = fit();
  if (f == nullptr) return false;
  const CustomFunctionOutcome outcome = CompileCustomFunction(*f, customEquationText);
  doc_.SetModifiedFlag();
  if (outcome.status != 0) {
    if (!outcome.message.empty()) ui.messageBox(outcome.message);
    notifyChanged();
    return false;
  }
  modelLostFocus();
  return true;
}

void FitDialogModel::methodChanged(int index) {
  Fit* f = fit();
  if (f == nullptr || index < 0 || index > 1) return;
  methodIndex = index;
  f->method = index;
  f->iterationCount = 0;
  doc_.SetModifiedFlag();
  notifyChanged();
}

void FitDialogModel::weightingClicked(int index) {
  Fit* f = fit();
  if (f == nullptr || index < 0 || index > kWeightPoisson) return;
  weightingIndex = index;
  f->weighting = index;
  doc_.SetModifiedFlag();
  notifyChanged();
}

void FitDialogModel::copyParams(Ui& ui) {
  Fit* f = fit();
  if (f == nullptr || rowsShown <= 0) return;
  std::string text;
  for (int i = 0; i < rowsShown - 1; ++i) text += CFormat("%lg\t", GetParameter(*f, i));
  text += CFormat("%lg", GetParameter(*f, rowsShown - 1));
  ui.setClipboardText(text);
}

void FitDialogModel::pasteParams(Ui& ui) {
  if (fit() == nullptr) return;
  const std::optional<std::string> clip = ui.clipboardText();
  if (!clip) return;
  const std::string& text = *clip;
  std::size_t position = 0;
  for (int i = 0; i < kFitDialogRows && position < text.size(); ++i) {
    std::size_t consumed = 0;
    const double value = CStrtod(text.c_str() + position, &consumed);
    if (consumed == 0) break;
    paramTexts[static_cast<size_t>(i)] = CFormat("%1.6lg", value);
    applyParameterRow(i);
    position += consumed;
    // Only a tab or a line end moves on to the next parameter.
    const std::size_t separator = text.find_first_of("\t\n", position);
    if (separator == std::string::npos) break;
    position = separator + 1;
  }
  notifyChanged();
}

void FitDialogModel::changeColor(Ui& ui) {
  Fit* f = fit();
  if (f == nullptr) return;
  const std::optional<std::uint32_t> colour = ui.chooseColor(f->colour);
  // The chooser is modal: look the fit up again afterwards.
  f = fit();
  if (!colour || f == nullptr) return;
  f->colour = *colour;
  doc_.SetModifiedFlag();
  RedrawAndSettle(doc_, ui);
}

void FitDialogModel::convolveWith(Ui& ui) {
  if (fit() == nullptr) return;
  const PickedSet picked = PickSet(doc_, ui, "Select a set to convolve with", false);
  Fit* f = fit();
  if (f == nullptr) return;
  if (picked && picked.set->ColumnCount() >= 2) {
    f->setConvolutionSource(picked.set);
    convolveText = picked.set->name;
  } else {
    convolveText.clear();
    f->setConvolutionSource(nullptr);
  }
  showShift(*f);
  doc_.SetModifiedFlag();
  notifyChanged();
}

bool FitDialogModel::list(Ui& ui) {
  if (fit() == nullptr) return false;
  const std::optional<std::string> equation = EditCustomEquations(ui, doc_.customEquationFile);
  if (!equation) return false;
  customEquationText = *equation;
  return customEquationLostFocus(ui);
}

void FitDialogModel::toggleIterate() {
  Fit* f = fit();
  if (f == nullptr) return;
  if (f->iterating) {
    refreshDisplay();
    iterateCaption = "Iterate";
  } else {
    iterateCaption = "Stop Iterating";
  }
  f->iterating = !f->iterating;
  if (!f->iterating) updateUncertainties();
  notifyChanged();
}

bool FitDialogModel::guessStartValues(Ui& ui) {
  Fit* f = fit();
  const Data_Set* set = setOfFit();
  if (f == nullptr || set == nullptr) return false;
  // What the rows and the range show is what the guess starts from.
  readAllFields();
  const GuessResult guessed = GuessStartValues(*f, FitDataOf(*set));
  if (!guessed.ok()) {
    ui.messageBox(guessed.message);
    notifyChanged();
    return false;
  }
  for (int i = 0; i < rowsShown; ++i) {
    const auto row = static_cast<size_t>(i);
    // A guess outside the person's bounds starts on the nearer bound.
    if (paramChecks[row]) SetParameter(*f, i, ClampToBounds(*f, i, guessed.params[row]), 1);
  }
  // A new start: no iterations, no result yet.
  f->iterationCount = 0;
  f->chiSquare = 0;
  doc_.SetModifiedFlag();
  refreshDisplay();
  return true;
}

void FitDialogModel::clearResults() {
  for (auto& text : errorTexts) text.clear();
  shiftErrorText.clear();
  shiftIntervalText.clear();
  reducedChiSquareText.clear();
  statistics.reset();
  statisticsLines.clear();
  confidence.reset();
  confidenceLines.clear();
  for (auto& text : intervalTexts) text.clear();
}

void FitDialogModel::updateUncertainties() {
  clearResults();
  Fit* f = fit();
  if (f == nullptr || f->iterating || f->iterationCount == 0) return;
  // Computing them must not disturb what the next step sees.
  const NumericError saved = NumericErrorState();
  ClearNumericError();
  const std::optional<FitUncertainties> result = ComputeUncertainties(*f, FitDataOf(*setOfFit()));
  NumericErrorState() = saved;
  if (!result) return;
  const int n = VisibleRowsOf(*f);
  for (int i = 0; i < n; ++i)
    if (const auto& error = result->errors[static_cast<size_t>(i)]) errorTexts[static_cast<size_t>(i)] = CFormat("%1.4g", *error);
  if (const auto& error = result->errors[kShiftIndex]; error && shiftVisible) shiftErrorText = CFormat("%1.4g", *error);
  reducedChiSquareText = CFormat("%1.5lg", result->reducedChiSquare);
  statistics = SummariseFit(*f, FitDataOf(*setOfFit()), &*result);
  if (statistics) statisticsLines = StatisticsLines(*statistics, NamesOf(*f));
}

bool FitDialogModel::computeConfidence(Ui& ui, double level) {
  Fit* f = fit();
  if (f == nullptr) return false;
  if (f->iterating) {
    ui.messageBox("Stop iterating before computing confidence intervals.");
    return false;
  }
  if (f->iterationCount == 0) {
    ui.messageBox("Iterate the fit before computing confidence intervals.");
    return false;
  }
  ProfileOptions options;
  options.level = level;
  ProfileConfidence result;
  {
    ProgressScope progress(ui, "Profiling confidence intervals");
    result = ProfileConfidenceIntervals(*f, FitDataOf(*setOfFit()), options, progress.callback());
  }
  // The progress window may have let the person delete the fit meanwhile.
  f = fit();
  if (f == nullptr) return false;
  if (result.cancelled) return false;
  if (!result.error.empty()) {
    ui.messageBox("No confidence intervals: " + result.error);
    return false;
  }
  confidenceLines = ConfidenceLines(result, NamesOf(*f));
  for (const ProfileInterval& interval : result.intervals)
    if (interval.parameter < kFitDialogRows)
      intervalTexts[static_cast<size_t>(interval.parameter)] =
          "[" + IntervalEndText(interval.lower) + ", " + IntervalEndText(interval.upper) + "]";
    else if (interval.parameter == kShiftIndex)
      shiftIntervalText = "[" + IntervalEndText(interval.lower) + ", " + IntervalEndText(interval.upper) + "]";
  confidence = std::move(result);
  confidenceParams_ = f->params;
  confidenceShift_ = f->shift;
  notifyChanged();
  return true;
}

}  // namespace zentrel
