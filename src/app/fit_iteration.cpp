#include "app/fit_iteration.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
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

// The engine's working state of every fit that has stepped, by the fit's
// serial: a run goes on from one idle pass to the next, and a fit restarted
// (iteration count 0) starts its workspace afresh in the engine.
std::unordered_map<std::uint64_t, FitWorkspace>& Workspaces() {
  static std::unordered_map<std::uint64_t, FitWorkspace> workspaces;
  return workspaces;
}

// Drops the workspaces of fits the document no longer has.
void ForgetGoneFits(const CZentrelDoc& doc) {
  std::unordered_set<std::uint64_t> present;
  for (const auto& set : doc.sets)
    if (set)
      for (const auto& fit : set->fits) present.insert(fit->serial);
  std::erase_if(Workspaces(), [&](const auto& entry) { return !present.contains(entry.first); });
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

bool IterateFitsOnce(CZentrelDoc& doc, Ui& ui) {
  FitDialogModel* dialog = ExistingFitDialog(doc);
  // A fit destroyed since the last pass takes the dialog's hold on it along.
  if (dialog != nullptr) dialog->releaseIfGone();
  bool stillIterating = false;
  // Message boxes wait until the pass is over: a modal box runs an event
  // loop, and nothing may change the set list while it is being walked.
  std::vector<std::string> failures;
  for (const auto& set : doc.sets) {
    // Only sets with x and y columns carry fits that can be stepped.
    if (!set || set->ColumnCount() < 2) continue;
    for (const auto& fit : set->fits) {
      if (!fit->iterating) continue;
      doc.SetModifiedFlag();
      FitWorkspace& work = Workspaces()[fit->serial];
      const StepResult step = Step(*fit, FitDataOf(*set, work.columns), work, 1);
      if (!step.ok()) {
        fit->iterating = 0;
        fit->errorCode = 0;
        // Shown once; a stale state would fail every later fit's step too.
        ClearNumericError();
        failures.push_back(StepFailureMessage(*fit, step));
        if (dialog != nullptr) dialog->showStepFailure(*fit);
      }
      if (fit->iterating) stillIterating = true;
      const bool dialogShown = dialog != nullptr && dialog->isVisible();
      if (fit.get() == doc.lastEditedFit && dialogShown) {
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
  }
  ForgetGoneFits(doc);
  for (const auto& message : failures) ui.messageBox(message);
  return stillIterating;
}

bool AnyFitIterating(const CZentrelDoc& doc) {
  for (const auto& set : doc.sets)
    if (set && set->ColumnCount() >= 2)
      for (const auto& fit : set->fits)
        if (fit->iterating) return true;
  return false;
}

}  // namespace zentrel
