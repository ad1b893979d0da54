#pragma once
// Arithmetic between sets and fits, merging sets, scaling sets onto a
// reference, and the scaled-subtraction preview. Values of one set are
// resampled at another's x through the cubic spline model of the fitting
// core.

#include <memory>
#include <optional>
#include <vector>

namespace zentrel {

class Data_Set;
class Fit;

// One operand of SetOperate: a set (fit null) or a fit of a set.
struct Operand {
  Data_Set* set = nullptr;  // the set itself, or the set owning the fit (may be null for a fit)
  Fit* fit = nullptr;
  bool isSet() const { return fit == nullptr; }
};

// '+', '-', '*', '/', '^' for the operation codes 1..5, a blank otherwise.
char OperationSymbol(int op);

// The points of the common range that SetOperate left out.
struct SetOperateCounts {
  int divisionsByZero = 0;  // '/' by a value of 0
  int mathErrors = 0;       // a fit raised a numeric error, or the result was not finite
  int total() const { return divisionsByZero + mathErrors; }
};

// Fills target's columns 0 and 1 with first ∘ second and names it
// "name1<symbol>name2". Set operands are sorted by x in place. A set second
// operand is resampled by a spline at the first set's x values within the
// common range. A point has no value, and is left out, where the divisor is
// 0, where a fit raises a numeric error, or where finite operands give a
// non-finite result; `leftOut` (when given) counts them, on failure too.
// Returns 0 on success, -1 when nothing could be computed: no owning set for
// two fits, a spline operand with fewer than 4 points or repeated x values,
// or no x value in common. The target is untouched on failure; on success
// it holds only columns 0 and 1 (it may be one of the operands).
int SetOperate(Data_Set& target, Operand first, Operand second, int op,
               const std::vector<std::unique_ptr<Data_Set>>& sets, SetOperateCounts* leftOut = nullptr);

// Combines two y values with their errors (weights 1/e, not 1/e²).
struct Combined {
  double y;
  double e;
};
Combined CombineValues(double y1, double e1, double y2, double e2);
// Merges b into a point by point in x order; points whose x-error intervals
// touch become one. Both sets are sorted by x; a takes the merged content
// and the name "a+b".
void MergeInto(Data_Set& a, Data_Set& b);

// Index windows on a set's x column.
int FirstIndexAtOrAbove(const Data_Set& set, double value);
int LastIndexAtOrBelow(const Data_Set& set, double value);
// y of the point of lo..hi whose x is nearest to x (bisection; the window is
// taken as ascending).
double NearestY(const Data_Set& set, double x, int lo, int hi);
// Sorts by x, then removes the points outside [xLow, xHigh] x [yLow, yHigh].
void CropTo(Data_Set& set, double xLow, double yLow, double xHigh, double yHigh);
// Exchanges x with y (and, with more than 3 columns, x error with y error).
void SwapXY(Data_Set& set);

struct IndexWindow {
  int lo = 0;
  int hi = 0;
};
// The window of points of an ascending set between low and high, when it
// holds at least two points (lo < hi) inside the set.
std::optional<IndexWindow> OverlapWindow(const Data_Set& set, double low, double high);

enum OverlapMode : int { kOverlapPlain = 0, kOverlapContinuousIntegral = 1 };
// The factor that lays `set` onto `reference` within their windows; 0 when
// none can be found (no usable ratio, no spline through the reference).
double OverlapFactor(const Data_Set& reference, IndexWindow referenceWindow, const Data_Set& set,
                     IndexWindow setWindow, int mode);

// Overlap sets / Overlap cont int over the active sets of the list, with
// the x window [low, high]: the first active set with a window is the
// reference; every later one is multiplied in y by its factor.
void OverlapSets(std::vector<std::unique_ptr<Data_Set>>& sets, double low, double high, int mode);
// Overlap scaling X: like OverlapSets on transposed copies cropped to the
// visible rectangle, with the y window [low, high]; the factors scale x.
void OverlapScalingX(std::vector<std::unique_ptr<Data_Set>>& sets, double xMin, double yMin, double xMax, double yMax,
                     double low, double high);

// The scaled-subtraction preview: first - factor * second at the second
// set's x values within the first set's range. The preview is emptied
// first and keeps no fits. Returns false (preview untouched) when the first
// set cannot be resampled.
bool RefillScaledPreview(Data_Set& preview, Data_Set& first, Data_Set& second, double factor);

}  // namespace zentrel
