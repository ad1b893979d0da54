#pragma once
// Smoothing one set in place: block means that shrink the set (Reducing), a
// running mean (Moving Window) and the Savitzky-Golay least-squares
// polynomial filter. The window size is a formula in x: floor(N(x)) points,
// evaluated at every point (Moving Window), at the start of every block
// (Reducing) or once at the first point (Savitzky-Golay).
//
// A failure leaves the set exactly as it was: every new value is computed
// before the first one is written. A cancel does too: what was written
// before it is put back.

#include <string>

#include "numeric/linear_solve.h"
#include "util/progress.h"

namespace zentrel {

class Data_Set;
class DVector;
struct Expression;

enum SmoothMethod : int {
  kSmoothReducing = 1,
  kSmoothMovingWindow = 2,
  kSmoothSavitzkyGolay = 3,
};

struct SmoothOutcome {
  bool ok = true;
  std::string message;     // why the set was left unchanged
  bool cancelled = false;  // the watcher stopped it (ok is then false)
};

// Any other method leaves the set alone and succeeds. Fails, leaving the set
// unchanged, when N has no evaluator, when evaluating N fails (the numeric
// error's message), gives NaN or a size beyond an int, or when the
// Savitzky-Golay coefficients cannot be had (window too short for the
// polynomial, singular matrix), or when `progress` answered false. The
// numeric error state is as before.
SmoothOutcome smoothSet(Data_Set& set, int method, const Expression& n, const ProgressCallback& progress = {});

// Status of savitzkyGolayCoefficients besides kSingularMatrix
// (numeric/linear_solve.h).
inline constexpr int kSavgolBadArgs = -1;

// Coefficients c[1..np] of the filter over nl points before and nr after,
// derivative order ld, polynomial order m, in wrap-around order: offset 0 at
// 1, offset -k at k + 1, offset +k at np - k + 1; other positions 0. Returns
// 0, or kSavgolBadArgs / kSingularMatrix after reporting the failure through
// reportNumericError (c is then untouched).
int savitzkyGolayCoefficients(DVector& c, int np, int nl, int nr, int ld, int m);

}  // namespace zentrel
