// The Fitting dialog's row for the response's shift: shown only while the
// fit convolves with a set, since the shift moves that set.

#include <cmath>

#include "app/dialogs/fit_dialog.h"
#include "fit/response_shift.h"
#include "numeric/c_format.h"

namespace zentrel {

void FitDialogModel::showShift(const Fit& f) {
  shiftVisible = ShiftApplies(f);
  shiftText = CFormat("%1.6lg", f.shift);
  shiftCheck = f.shiftFree != 0;
  if (!shiftVisible) {
    shiftErrorText.clear();
    shiftIntervalText.clear();
  }
}

void FitDialogModel::applyShiftRow() {
  Fit* f = fit();
  if (f == nullptr || !ShiftApplies(*f)) return;
  // Text that is no number reads as 0, as the parameter rows read it.
  const double value = ReadEditNumber(shiftText).value_or(0.0);
  // An infinite or undefined shift would move the response out of sight:
  // the row shows the fit's shift again.
  if (!std::isfinite(value)) {
    shiftText = CFormat("%1.6lg", f->shift);
    notifyChanged();
    return;
  }
  const int free = shiftCheck ? 1 : 0;
  if (value == f->shift && free == f->shiftFree) return;
  f->shift = value;
  f->shiftFree = free;
  f->iterationCount = 0;
  shiftErrorText.clear();
  shiftIntervalText.clear();
  doc_.SetModifiedFlag();
  notifyChanged();
}

}  // namespace zentrel
