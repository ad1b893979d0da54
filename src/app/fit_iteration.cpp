#include "app/fit_iteration.h"

#include <string>

#include "app/ui.h"
#include "fit/engine.h"
#include "model/document.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {

bool IterateFitsOnce(CZentrelDoc& doc, Ui& ui) {
  bool stillIterating = false;
  for (const auto& set : doc.sets) {
    // Only sets with x and y columns carry fits that can be stepped.
    if (!set || set->ColumnCount() < 2) continue;
    for (const auto& fit : set->fits) {
      if (!fit->iterating) continue;
      doc.SetModifiedFlag();
      if (Step(*fit, 1) != 0) {
        // Some failures (no points in range) leave no message of their own.
        const std::string& message = NumericErrorState().message;
        ui.messageBox(message.empty() ? "Fit iteration failed." : message);
        fit->iterating = 0;
        fit->errorCode = 0;
        // Shown once; a stale state would fail every later fit's step too.
        ClearNumericError();
      }
      if (fit->iterating) stillIterating = true;
    }
  }
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
