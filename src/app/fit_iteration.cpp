#include "app/fit_iteration.h"

#include <bit>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/dialogs/fit_dialog.h"
#include "app/settling_ui.h"
#include "app/ui.h"
#include "fit/engine.h"
#include "model/document.h"
#include "model/fit.h"
#include "numeric/c_format.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

// What a step reads from its fit, bit for bit (a NaN equals itself): a
// result is written back only while the fit still has these. The
// chi-square and the error code are results, not inputs.
struct StepInputs {
  std::vector<std::uint64_t> numbers;
  std::string customEquation;
  const Data_Set* source = nullptr;
  bool operator==(const StepInputs&) const = default;
};

StepInputs InputsOf(const Fit& fit) {
  StepInputs in;
  auto number = [&in](double v) { in.numbers.push_back(std::bit_cast<std::uint64_t>(v)); };
  auto integer = [&in](int v) { in.numbers.push_back(static_cast<std::uint64_t>(static_cast<std::int64_t>(v))); };
  for (double v : fit.params) number(v);
  for (double v : fit.steps) number(v);
  for (int flag : fit.freeFlags) integer(flag);
  for (double v : fit.lowerBounds) number(v);
  for (double v : fit.upperBounds) number(v);
  for (int v : {fit.modelKind, fit.order, fit.customParameterCount, fit.weighting, fit.method, fit.iterationCount,
                fit.convolve})
    integer(v);
  for (double v : {fit.fitStart, fit.fitEnd, fit.convolutionArea, fit.shift, fit.shiftStep}) number(v);
  integer(fit.shiftFree);
  in.customEquation = fit.customEquation;
  in.source = fit.convolutionSource;
  return in;
}

// What a fit's run keeps from step to step: the engine's workspace and the
// copies of the columns it reads, remade only when the originals change.
struct FitRun {
  FitWorkspace work;
  std::unique_ptr<Data_Set> columns;  // of the fit's set
  std::unique_ptr<Data_Set> source;   // of the set it is convolved with; null when none
};

// The runs of the fits that have stepped, by the fit's serial: a run goes
// on from one pass to the next, and a fit restarted (iteration count 0)
// starts its workspace afresh in the engine.
std::unordered_map<std::uint64_t, FitRun>& Runs() {
  static std::unordered_map<std::uint64_t, FitRun> runs;
  return runs;
}

// Drops the runs of fits the document no longer has, and the column copies
// of fits that stopped iterating (a paused run keeps its workspace).
void TrimRuns(const CZentrelDoc& doc) {
  std::unordered_map<std::uint64_t, bool> present;  // serial -> iterating
  for (const auto& set : doc.sets)
    if (set)
      for (const auto& fit : set->fits) present[fit->serial] = fit->iterating != 0;
  std::erase_if(Runs(), [&](const auto& entry) { return !present.contains(entry.first); });
  for (auto& [serial, run] : Runs())
    if (!present[serial]) {
      run.columns.reset();
      run.source.reset();
    }
}

// Makes `copy` hold the columns of `original`; true when it had to change.
bool RefreshCopy(std::unique_ptr<Data_Set>& copy, const Data_Set& original) {
  if (copy && copy->SameColumns(original)) return false;
  // A new object, never the old one refilled: the engine's caches know the
  // source by its address.
  auto fresh = std::make_unique<Data_Set>();
  fresh->CopyColumnsFrom(original);
  copy = std::move(fresh);
  return true;
}

// A copy of the fit with everything a step reads and writes.
std::unique_ptr<Fit> WorkingCopyOf(const Fit& fit, const Data_Set* source) {
  auto copy = std::make_unique<Fit>(fit);
  copy->steps = fit.steps;
  copy->shiftStep = fit.shiftStep;
  copy->iterationCount = fit.iterationCount;
  copy->chiSquare = fit.chiSquare;
  copy->errorCode = fit.errorCode;
  copy->customEquation = fit.customEquation;
  copy->customExpression = fit.customExpression;
  copy->customParameterCount = fit.customParameterCount;
  copy->convolutionSource = source;
  copy->iterating = fit.iterating;
  return copy;
}

// What a step changes in its fit.
void CopyResults(const Fit& from, Fit& to) {
  to.params = from.params;
  to.steps = from.steps;
  to.shift = from.shift;
  to.shiftStep = from.shiftStep;
  to.iterationCount = from.iterationCount;
  to.chiSquare = from.chiSquare;
  to.errorCode = from.errorCode;
}

struct FoundFit {
  Data_Set* set = nullptr;
  Fit* fit = nullptr;
};

FoundFit FindFit(CZentrelDoc& doc, std::uint64_t serial) {
  for (const auto& set : doc.sets)
    if (set)
      for (const auto& fit : set->fits)
        if (fit->serial == serial) return {set.get(), fit.get()};
  return {};
}

// What a person is told when a fit's step failed: some failures (no
// points in range, no formula) leave no message of their own.
std::string StepFailureMessage(const Fit& fit, const StepResult& step) {
  switch (step.status) {
    case StepStatus::kNoPoints:
      return CFormat("No point of the set lies in the fit range %g..%g.", fit.fitStart, fit.fitEnd);
    case StepStatus::kNoFormula: return "The custom function has no formula.";
    default: return step.message.empty() ? "Fit iteration failed." : step.message;
  }
}

}  // namespace

struct FitStepJob {
  std::uint64_t serial = 0;
  StepInputs inputs;         // of the document's fit when the step was prepared
  std::unique_ptr<Fit> fit;  // the copy the step advances
  FitRun run;
  StepResult result;

  // Whether the document's fit is still the one the step began from.
  bool stillBelongsTo(const Data_Set& set, const Fit& current) const {
    if (InputsOf(current) != inputs || !set.SameColumns(*run.columns)) return false;
    return current.convolutionSource == nullptr || current.convolutionSource->SameColumns(*run.source);
  }
};

FitStepBatch::FitStepBatch() = default;
FitStepBatch::FitStepBatch(FitStepBatch&&) noexcept = default;
FitStepBatch& FitStepBatch::operator=(FitStepBatch&&) noexcept = default;
FitStepBatch::~FitStepBatch() = default;

void FitStepBatch::runStep(std::size_t i) {
  FitStepJob& job = *jobs_[i];
  // The numeric error state is the calling thread's: start clean, and leave
  // it clean, the failure's message being in the result.
  ClearNumericError();
  job.result = Step(*job.fit, FitDataOf(*job.run.columns, job.run.work.columns), job.run.work, 1);
  ClearNumericError();
}

void FitStepBatch::runAll() {
  for (std::size_t i = 0; i < jobs_.size(); ++i) runStep(i);
}

FitStepBatch PrepareFitSteps(CZentrelDoc& doc) {
  TrimRuns(doc);
  FitStepBatch batch;
  for (const auto& set : doc.sets) {
    // Only sets with x and y columns carry fits that can be stepped.
    if (!set || set->ColumnCount() < 2) continue;
    for (const auto& fit : set->fits) {
      if (!fit->iterating) continue;
      doc.SetModifiedFlag();
      auto job = std::make_unique<FitStepJob>();
      job->serial = fit->serial;
      job->inputs = InputsOf(*fit);
      if (auto kept = Runs().find(fit->serial); kept != Runs().end()) {
        job->run = std::move(kept->second);
        Runs().erase(kept);
      }
      FitRun& run = job->run;
      bool changed = RefreshCopy(run.columns, *set);
      if (fit->convolutionSource != nullptr)
        changed = RefreshCopy(run.source, *fit->convolutionSource) || changed;
      else
        run.source.reset();
      if (changed) {
        // Curves made from the old columns must not be reused.
        run.work.spline.prepared = false;
        run.work.convolution.clear();
      }
      job->fit = WorkingCopyOf(*fit, run.source.get());
      batch.jobs_.push_back(std::move(job));
    }
  }
  return batch;
}

bool ApplyFitSteps(CZentrelDoc& doc, Ui& ui, FitStepBatch& batch) {
  FitDialogModel* dialog = ExistingFitDialog(doc);
  // A fit destroyed since the last pass takes the dialog's hold on it along.
  if (dialog != nullptr) dialog->releaseIfGone();
  // Message boxes wait until the pass is over: a modal box runs an event
  // loop, and nothing may change the set list while it is being walked.
  std::vector<std::string> failures;
  for (auto& job : batch.jobs_) {
    const auto [set, fit] = FindFit(doc, job->serial);
    // Deleted, edited, restarted or given other columns while the step
    // ran: the result belongs to nothing the person still has, and the
    // run starts afresh at the fit's next step.
    if (fit == nullptr || !job->stillBelongsTo(*set, *fit)) continue;
    CopyResults(*job->fit, *fit);
    Runs()[job->serial] = std::move(job->run);
    const StepResult& step = job->result;
    if (!step.ok()) {
      fit->iterating = 0;
      fit->errorCode = 0;
      failures.push_back(StepFailureMessage(*fit, step));
      if (dialog != nullptr) dialog->showStepFailure(*fit);
    }
    const bool dialogShown = dialog != nullptr && dialog->isVisible();
    if (fit == doc.lastEditedFit && dialogShown) {
      // The dialog follows every step (a failed one is shown already);
      // the graph catches up when another fit's step comes round (or
      // when a repaint happens anyway).
      if (step.ok()) dialog->refreshDisplay();
      dialog->graphRedrawPending = true;
    } else if (dialogShown && dialog->graphRedrawPending) {
      RedrawAndSettle(doc, ui);
      dialog->graphRedrawPending = false;
    }
  }
  batch.jobs_.clear();
  TrimRuns(doc);
  for (const auto& message : failures) ui.messageBox(message);
  return AnyFitIterating(doc);
}

bool IterateFitsOnce(CZentrelDoc& doc, Ui& ui) {
  FitStepBatch batch = PrepareFitSteps(doc);
  batch.runAll();
  return ApplyFitSteps(doc, ui, batch);
}

bool AnyFitIterating(const CZentrelDoc& doc) {
  for (const auto& set : doc.sets)
    if (set && set->ColumnCount() >= 2)
      for (const auto& fit : set->fits)
        if (fit->iterating) return true;
  return false;
}

}  // namespace zentrel
