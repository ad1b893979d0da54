#include "app/fit_iteration.h"

#include <string>
#include <vector>

#include "app/dialogs/fit_dialog.h"
#include "app/settling_ui.h"
#include "app/ui.h"
#include "fit/engine.h"
#include "model/document.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {

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
      if (Step(*fit, 1) != 0) {
        // Some failures (no points in range) leave no message of their own.
        const std::string message = NumericErrorState().message;
        fit->iterating = 0;
        fit->errorCode = 0;
        // Shown once; a stale state would fail every later fit's step too.
        ClearNumericError();
        failures.push_back(message.empty() ? "Fit iteration failed." : message);
        if (dialog != nullptr) dialog->refreshDisplay();
      }
      if (fit->iterating) stillIterating = true;
      const bool dialogShown = dialog != nullptr && dialog->isVisible();
      if (fit.get() == doc.lastEditedFit && dialogShown) {
        // The dialog follows every step; the graph catches up when another
        // fit's step comes round (or when a repaint happens anyway).
        dialog->refreshDisplay();
        dialog->graphRedrawPending = true;
      } else if (dialogShown && dialog->graphRedrawPending) {
        RedrawAndSettle(doc, ui);
        dialog->graphRedrawPending = false;
      }
    }
  }
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
