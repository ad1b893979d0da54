#include "analysis/set_arithmetic.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "analysis/calculus.h"
#include "fit/catalogue.h"
#include "fit/model.h"
#include "model/data_set.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

struct Point {
  double x;
  double y;
};

// A spline needs more than three points with finite, strictly ascending x;
// repeated x values would divide by zero in its set-up.
bool CanSpline(const double* x, const double* y, int n) {
  if (n < 4 || x == nullptr || y == nullptr) return false;
  for (int k = 0; k < n; ++k) {
    if (!std::isfinite(x[k]) || !std::isfinite(y[k])) return false;
    if (k > 0 && !(x[k] > x[k - 1])) return false;
  }
  return true;
}

// A temporary cubic-spline fit through n points of borrowed columns; all
// parameters 0, so its value at x is the spline itself.
class SplineThrough {
 public:
  SplineThrough(const double* x, const double* y, int n)
      : model_(fit_, {{x, static_cast<size_t>(n)}, {y, static_cast<size_t>(n)}, {}}) {
    SelectModel(fit_, "Cubic Spline", 1);
  }
  double operator()(double x) { return model_(x); }

 private:
  Fit fit_;
  FitModel model_;
};

std::string OperatedName(const std::string& first, int op, const std::string& second) {
  return first + OperationSymbol(op) + second;
}

const std::string& OperandName(const Operand& operand) {
  return operand.isSet() ? operand.set->name : operand.fit->name;
}

// The model value at x, or nothing when the evaluation raised a numeric
// error (the error is then cleared) or gave no number.
std::optional<double> FitValue(FitModel& model, double x) {
  const double m = model(x);
  NumericError& state = NumericErrorState();
  if (state.code != kNoNumericError) {
    state.code = kNoNumericError;
    return std::nullopt;
  }
  if (!std::isfinite(m)) return std::nullopt;
  return m;
}

Data_Set* OwnerOf(const Fit* fit, const std::vector<std::unique_ptr<Data_Set>>& sets) {
  for (const auto& set : sets)
    for (const auto& owned : set->fits)
      if (owned.get() == fit) return set.get();
  return nullptr;
}

// Appends x and a ∘ b, or counts the point as left out when the operation
// has no value there: a division by zero, or a non-finite result of finite
// operands (a negative base to a fractional power, 0 to a negative power).
void AddPoint(std::vector<Point>& points, SetOperateCounts& counts, int op, double x, double a, double b) {
  if (op == kOpDivide && b == 0.0) {
    ++counts.divisionsByZero;
    return;
  }
  const double value = ApplyOperationCode(op, a, b);
  if (!std::isfinite(value) && std::isfinite(a) && std::isfinite(b)) {
    ++counts.mathErrors;
    return;
  }
  points.push_back({x, value});
}

void WritePoints(Data_Set& target, const std::vector<Point>& points) {
  target.Clear();
  for (size_t k = 0; k < points.size(); ++k) {
    target.SetValue(0, static_cast<int>(k), points[k].x);
    target.SetValue(1, static_cast<int>(k), points[k].y);
  }
  target.modified = true;
}

}  // namespace

char OperationSymbol(int op) {
  switch (op) {
    case kOpAdd: return '+';
    case kOpSubtract: return '-';
    case kOpMultiply: return '*';
    case kOpDivide: return '/';
    case kOpPower: return '^';
    default: return ' ';
  }
}

int SetOperate(Data_Set& target, Operand first, Operand second, int op,
               const std::vector<std::unique_ptr<Data_Set>>& sets, SetOperateCounts* leftOut) {
  SetOperateCounts counts;
  if (leftOut != nullptr) *leftOut = counts;
  if ((first.isSet() && first.set == nullptr) || (second.isSet() && second.set == nullptr)) return -1;
  std::vector<Point> points;
  NumericErrorState().code = kNoNumericError;

  if (first.isSet() && second.isSet()) {
    Data_Set& a = *first.set;
    Data_Set& b = *second.set;
    a.SortByX();
    b.SortByX();
    const int nb = b.DrawablePointCount();
    if (!CanSpline(b.ColumnData(0), b.ColumnData(1), nb)) return -1;
    SplineThrough spline(b.ColumnData(0), b.ColumnData(1), nb);
    const double low = b.GetValue(0, 0), high = b.GetValue(0, nb - 1);
    const int na = a.DrawablePointCount();
    const double* x = a.ColumnData(0);
    const double* y = a.ColumnData(1);
    for (int i = 0; i < na; ++i) {
      if (!(x[i] >= low)) continue;
      if (!(x[i] <= high)) break;
      AddPoint(points, counts, op, x[i], y[i], spline(x[i]));
    }
  } else if (first.isSet() != second.isSet()) {
    Data_Set& data = first.isSet() ? *first.set : *second.set;
    Fit& fit = first.isSet() ? *second.fit : *first.fit;
    data.SortByX();
    const Data_Set* fitOwner = OwnerOf(&fit, sets);
    FitModel model(fit, fitOwner != nullptr ? FitDataOf(*fitOwner) : FitData{});
    const int n = data.DrawablePointCount();
    const double* x = data.ColumnData(0);
    const double* y = data.ColumnData(1);
    for (int i = 0; i < n; ++i) {
      if (!(x[i] >= fit.fitStart)) continue;
      if (!(x[i] <= fit.fitEnd)) break;
      const std::optional<double> m = FitValue(model, x[i]);
      if (!m) {
        ++counts.mathErrors;
        continue;
      }
      if (first.isSet()) AddPoint(points, counts, op, x[i], y[i], *m);
      else AddPoint(points, counts, op, x[i], *m, y[i]);
    }
  } else {
    if (sets.empty()) return -1;
    Data_Set* owner = OwnerOf(first.fit, sets);
    if (owner == nullptr) return -1;
    owner->SortByX();
    Fit& f1 = *first.fit;
    Fit& f2 = *second.fit;
    const Data_Set* owner2 = OwnerOf(&f2, sets);
    FitModel model1(f1, FitDataOf(*owner));
    FitModel model2(f2, owner2 != nullptr ? FitDataOf(*owner2) : FitData{});
    const double low = std::max(f1.fitStart, f2.fitStart);
    const double high = std::min(f1.fitEnd, f2.fitEnd);
    const int n = owner->DrawablePointCount();
    const double* x = owner->ColumnData(0);
    for (int i = 0; i < n; ++i) {
      if (!(x[i] >= low)) continue;
      if (!(x[i] <= high)) break;
      const std::optional<double> m1 = FitValue(model1, x[i]);
      const std::optional<double> m2 = m1 ? FitValue(model2, x[i]) : std::nullopt;
      if (!m1 || !m2) {
        ++counts.mathErrors;
        continue;
      }
      AddPoint(points, counts, op, x[i], *m1, *m2);
    }
  }

  if (leftOut != nullptr) *leftOut = counts;
  if (points.empty()) return -1;
  const std::string name = OperatedName(OperandName(first), op, OperandName(second));
  WritePoints(target, points);
  target.name = name;
  return 0;
}

Combined CombineValues(double y1, double e1, double y2, double e2) {
  if (e1 > 0 && e2 > 0) return {(y1 / e1 + y2 / e2) / (1 / e1 + 1 / e2), 0.5 * std::sqrt(e1 * e1 + e2 * e2)};
  if (e1 > 0) return {(y1 + y2) / 2, 0.5 * e1};
  if (e2 > 0) return {(y1 + y2) / 2, 0.5 * e2};
  return {(y1 + y2) / 2, 0.0};
}

void MergeInto(Data_Set& a, Data_Set& b) {
  a.SortByX();
  b.SortByX();
  Data_Set merged;
  merged.name = a.name + "+" + b.name;
  const int na = a.PointCount(0), nb = b.PointCount(0);
  int i = 0, j = 0, k = 0;
  const auto copyPoint = [&](const Data_Set& from, int index) {
    merged.SetValue(0, k, from.GetValue(0, index));
    merged.SetValue(1, k, from.GetValue(1, index));
    const double xError = from.GetValue(3, index);
    if (xError > 0) merged.SetValue(3, k, xError);
    const double yError = from.GetValue(2, index);
    if (yError > 0) merged.SetValue(2, k, yError);
  };
  while (i < na || j < nb) {
    const bool aLeft = i < na, bLeft = j < nb;
    const double xa = aLeft ? a.GetValue(0, i) : 0.0;
    const double xb = bLeft ? b.GetValue(0, j) : 0.0;
    const double ea = aLeft ? std::fabs(a.GetValue(3, i)) : 0.0;
    const double eb = bLeft ? std::fabs(b.GetValue(3, j)) : 0.0;
    const bool touch = xb >= xa ? xa + ea >= xb - eb : xa - ea <= xb + eb;
    if (aLeft && bLeft && touch) {
      double x = xa, xError = 0;
      if (ea > 0 && eb > 0) {
        x = (xa / ea + xb / eb) / (1 / ea + 1 / eb);
        xError = 0.5 * std::sqrt(ea * ea + eb * eb);
      } else if (ea > 0) {
        x = xb;
        xError = 0.5 * ea;
      } else if (eb > 0) {
        xError = 0.5 * eb;
      }
      const Combined y = CombineValues(a.GetValue(1, i), a.GetValue(2, i), b.GetValue(1, j), b.GetValue(2, j));
      merged.SetValue(0, k, x);
      merged.SetValue(1, k, y.y);
      if (xError > 0) merged.SetValue(3, k, xError);
      if (y.e > 0) merged.SetValue(2, k, y.e);
      ++i;
      ++j;
    } else if (aLeft && (!bLeft || xb > xa)) {
      // A finished set must never be read from: its points ran out.
      copyPoint(a, i++);
    } else {
      copyPoint(b, j++);
    }
    ++k;
  }
  // The merged set replaces a's content entirely, so no stale error cell of
  // a can end up beside a point it does not belong to.
  a.Clear();
  a.CopyFrom(merged);
  // a's own fits (from the set it was copied from) span the merged points.
  a.ReattachFits();
}

int FirstIndexAtOrAbove(const Data_Set& set, double value) {
  const int n = set.PointCount(0);
  if (n < 2) return 0;
  const double* x = set.ColumnData(0);
  if (x[0] <= x[1]) {
    if (!(x[n - 1] >= value)) return -1;
    int i = n - 1;
    while (i > 0 && x[i - 1] >= value) --i;
    return i;
  }
  int i = 0;
  while (i < n && x[i] >= value) ++i;
  return i - 1;
}

int LastIndexAtOrBelow(const Data_Set& set, double value) {
  const int n = set.PointCount(0);
  if (n < 2) return 0;
  const double* x = set.ColumnData(0);
  if (x[0] <= x[1]) {
    int i = 0;
    while (i < n && x[i] <= value) ++i;
    return i - 1;
  }
  if (!(x[n - 1] <= value)) return -1;
  int i = n - 1;
  while (i > 0 && x[i - 1] <= value) --i;
  return i;
}

double NearestY(const Data_Set& set, double x, int lo, int hi) {
  const int n = std::min(set.PointCount(0), set.PointCount(1));
  if (n == 0) return 0.0;
  lo = std::clamp(lo, 0, n - 1);
  hi = std::clamp(hi, 0, n - 1);
  const double* xs = set.ColumnData(0);
  const double* ys = set.ColumnData(1);
  if (x < xs[lo] && x < xs[hi]) return ys[xs[lo] <= xs[hi] ? lo : hi];
  if (x > xs[lo] && x > xs[hi]) return ys[xs[lo] >= xs[hi] ? lo : hi];
  while (hi - lo > 1) {
    const int mid = (lo + hi) / 2;
    if (xs[lo] <= x && x <= xs[mid]) hi = mid;
    else lo = mid;
  }
  return std::fabs(x - xs[lo]) < std::fabs(xs[hi] - x) ? ys[lo] : ys[hi];
}

void CropTo(Data_Set& set, double xLow, double yLow, double xHigh, double yHigh) {
  set.SortByX();
  const int n = set.PointCount(0);
  std::vector<char> keep(static_cast<size_t>(n), 1);
  for (int k = 0; k < n; ++k) {
    const double x = set.GetValue(0, k), y = set.GetValue(1, k);
    if (x < xLow || x > xHigh || y < yLow || y > yHigh) keep[static_cast<size_t>(k)] = 0;
  }
  set.KeepPoints(keep);
}

void SwapXY(Data_Set& set) {
  const auto swapColumns = [&set](int a, int b) {
    const int n = std::min(set.PointCount(a), set.PointCount(b));
    double* ca = set.WritableColumnData(a);
    double* cb = set.WritableColumnData(b);
    for (int k = 0; k < n; ++k) std::swap(ca[k], cb[k]);
  };
  swapColumns(0, 1);
  if (set.ColumnCount() > 3) swapColumns(3, 2);
  set.modified = true;
}

std::optional<IndexWindow> OverlapWindow(const Data_Set& set, double low, double high) {
  const int lo = FirstIndexAtOrAbove(set, low);
  const int hi = LastIndexAtOrBelow(set, high);
  // A set lying wholly outside the window reports -1 at one end; such a set
  // has no points to compare.
  if (lo < 0 || hi >= set.DrawablePointCount() || !(lo < hi)) return std::nullopt;
  return IndexWindow{lo, hi};
}

namespace {

Data_Set CopyPoints(const Data_Set& from, int first, int last) {
  Data_Set copy;
  for (int i = first, k = 0; i <= last; ++i, ++k) {
    copy.SetValue(0, k, from.GetValue(0, i));
    copy.SetValue(1, k, from.GetValue(1, i));
  }
  return copy;
}

}  // namespace

double OverlapFactor(const Data_Set& reference, IndexWindow r, const Data_Set& set, IndexWindow s, int mode) {
  const int nr = reference.DrawablePointCount(), ns = set.DrawablePointCount();
  if (r.lo < 0 || r.hi >= nr || r.lo >= r.hi || s.lo < 0 || s.hi >= ns || s.lo >= s.hi) return 0.0;

  // First estimate: the mean ratio of the reference to the nearest points.
  double ratioSum = 0;
  int ratios = 0;
  for (int i = r.lo; i < r.hi; ++i) {
    const double ys = NearestY(set, reference.GetValue(0, i), s.lo, s.hi);
    if (ys != 0) {
      ratioSum += reference.GetValue(1, i) / ys;
      ++ratios;
    }
  }
  if (ratios == 0) return 0.0;
  const double f0 = ratioSum / ratios;
  if (f0 == 0 || !std::isfinite(f0)) return 0.0;

  // The reference as a curve (its running integral in mode 1), sampled at
  // the set's points.
  Data_Set curve = CopyPoints(reference, std::max(r.lo - 1, 0), r.hi);
  Data_Set tests = CopyPoints(set, s.lo, s.hi - 1);
  curve.SortByX();
  if (mode == kOverlapContinuousIntegral) {
    RunningIntegral(curve);
    RunningIntegral(tests);
  }
  const int nc = curve.DrawablePointCount();
  if (!CanSpline(curve.ColumnData(0), curve.ColumnData(1), nc)) return 0.0;
  SplineThrough spline(curve.ColumnData(0), curve.ColumnData(1), nc);
  const int nq = tests.DrawablePointCount();
  std::vector<double> target(static_cast<size_t>(nq)), values(static_cast<size_t>(nq));
  const double start = spline(tests.GetValue(0, 0));
  for (int k = 0; k < nq; ++k) {
    target[static_cast<size_t>(k)] = spline(tests.GetValue(0, k));
    if (mode == kOverlapContinuousIntegral) target[static_cast<size_t>(k)] -= start;
    values[static_cast<size_t>(k)] = tests.GetValue(1, k);
  }
  const auto cost = [&](double factor) {
    double sum = 0;
    for (size_t k = 0; k < target.size(); ++k) sum += std::fabs(target[k] - factor * values[k]);
    return sum / static_cast<double>(target.size());
  };

  // Bracket the minimum around f0, then golden-section search.
  double mid = f0, v = cost(mid);
  double high = 1.38197 * f0, low = 0.61803 * f0;
  for (int step = 0; step < 100 && cost(high) < v; ++step) high += 0.1 * f0;
  // Bounded like the upper end, so a cost that keeps falling cannot hang.
  for (int step = 0; step < 100 && cost(low) < v; ++step) low -= 0.1 * f0;
  for (int step = 0; step < 100 && high - low > 1e-8; ++step) {
    const double d1 = high - mid, d2 = mid - low;
    const double t = d2 > d1 ? low + 0.38197 * d2 : high - 0.38197 * d1;
    const double c = cost(t);
    if (c < v) {
      if (t > mid) low = mid;
      else high = mid;
      mid = t;
      v = c;
    } else if (t < mid) {
      low = t;
    } else {
      high = t;
    }
  }
  return std::isfinite(mid) ? mid : 0.0;
}

void OverlapSets(std::vector<std::unique_ptr<Data_Set>>& sets, double low, double high, int mode) {
  Data_Set* reference = nullptr;
  IndexWindow referenceWindow;
  for (auto& set : sets) {
    if (!set->active) continue;
    const std::optional<IndexWindow> window = OverlapWindow(*set, low, high);
    if (!window) continue;
    if (reference == nullptr) {
      reference = set.get();
      referenceWindow = *window;
      continue;
    }
    const double f = OverlapFactor(*reference, referenceWindow, *set, *window, mode);
    if (f != 0) set->ApplyOperation(kOpNone, 0, kOpMultiply, f);
  }
}

void OverlapScalingX(std::vector<std::unique_ptr<Data_Set>>& sets, double xMin, double yMin, double xMax, double yMax,
                     double low, double high) {
  std::unique_ptr<Data_Set> reference;
  IndexWindow referenceWindow;
  for (auto& set : sets) {
    if (!set->active) continue;
    auto copy = std::make_unique<Data_Set>(*set);
    copy->fits.clear();
    CropTo(*copy, xMin, yMin, xMax, yMax);
    SwapXY(*copy);
    copy->SortByX();
    const std::optional<IndexWindow> window = OverlapWindow(*copy, low, high);
    if (!window) continue;
    if (reference == nullptr) {
      reference = std::move(copy);
      referenceWindow = *window;
      continue;
    }
    const double f = OverlapFactor(*reference, referenceWindow, *copy, *window, kOverlapPlain);
    if (f != 0) set->ApplyOperation(kOpMultiply, f, kOpNone, 0);
  }
}

bool RefillScaledPreview(Data_Set& preview, Data_Set& first, Data_Set& second, double factor) {
  Data_Set scaled(second);
  scaled.fits.clear();
  scaled.ApplyOperation(kOpNone, 0, kOpMultiply, -factor);
  if (SetOperate(scaled, Operand{&scaled}, Operand{&first}, kOpAdd, {}) != 0) return false;
  preview.Clear();
  preview.fits.clear();
  preview.CopyFrom(scaled);
  return true;
}

}  // namespace zentrel
