#include "analysis/pointwise.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/data_set.h"

namespace zentrel {

namespace {

bool Inside(double x, double y, double xLo, double yLo, double xHi, double yHi) {
  return xLo <= x && x <= xHi && yLo <= y && y <= yHi;
}

// Removes every point the predicate holds for, scanning down from the last
// point so that each run of neighbours goes with one DeletePoints call (the
// same outcome as removing them one by one). Returns the number removed.
template <typename Predicate>
int RemoveRuns(Data_Set& set, Predicate remove) {
  int removed = 0;
  int i = set.lastIndex(0);
  while (i >= 0) {
    if (!remove(i)) {
      --i;
      continue;
    }
    const int last = i;
    while (i - 1 >= 0 && remove(i - 1)) --i;
    set.DeletePoints(i, last);
    removed += last - i + 1;
    --i;
  }
  return removed;
}

// -sqrt|v| below zero; zero itself goes to -0 where the y rule puts it
// with the negative values.
double SignedSqrt(double v, bool zeroIsNegative) {
  if (v > 0.0 || (v == 0.0 && !zeroIsNegative)) return std::sqrt(v);
  return -std::sqrt(std::fabs(v));
}

// The cells of a column that belong to points of column 0.
std::size_t PointCells(const Data_Set& set, int column) {
  return static_cast<std::size_t>(std::min(set.PointCount(column), set.PointCount(0)));
}

}  // namespace

void ApplyFunction(Data_Set& set, int code) {
  if (set.ColumnCount() < 2 || code < kFunctionLnX || code > kFunctionExpY) return;
  set.modified = true;
  if (code == kFunctionLnX || code == kFunctionLnY) {
    const int column = code == kFunctionLnX ? 0 : 1;
    // NaN is kept (and stays NaN): only values known to be outside the
    // domain go.
    const int removed = RemoveRuns(set, [&](int i) { return set.GetValue(column, i) <= 0.0; });
    double* cells = set.WritableColumnData(column);
    const std::size_t n = PointCells(set, column);
    for (std::size_t i = 0; i < n; ++i) cells[i] = std::log(cells[i]);
    if (removed > 0) set.ReattachFits();
    return;
  }
  const int column = (code == kFunctionSqrtX || code == kFunctionExpX) ? 0 : 1;
  double* cells = set.WritableColumnData(column);
  const std::size_t n = PointCells(set, column);
  switch (code) {
    case kFunctionSqrtX:
      for (std::size_t i = 0; i < n; ++i) cells[i] = SignedSqrt(cells[i], false);
      break;
    case kFunctionSqrtY:
      for (std::size_t i = 0; i < n; ++i) cells[i] = SignedSqrt(cells[i], true);
      break;
    default:
      for (std::size_t i = 0; i < n; ++i) cells[i] = std::exp(cells[i]);
      break;
  }
}

Peak FindPeak(const Data_Set& set, double xLo, double yLo, double xHi, double yHi) {
  Peak peak;
  if (set.ColumnCount() < 2) return peak;
  bool found = false;
  const int last = set.lastIndex(0);
  for (int i = 0; i <= last; ++i) {
    const double x = set.GetValue(0, i), y = set.GetValue(1, i);
    if (!Inside(x, y, xLo, yLo, xHi, yHi)) continue;
    if (!found || y > peak.y) {
      peak = {y, x};
      found = true;
    }
  }
  return peak;
}

RegionMeanResult MeanInRegion(const Data_Set& set, double xLo, double yLo, double xHi, double yHi) {
  RegionMeanResult result;
  if (set.ColumnCount() < 2) return result;
  double sum = 0.0;
  const int last = set.lastIndex(0);
  for (int i = 0; i <= last; ++i) {
    const double x = set.GetValue(0, i), y = set.GetValue(1, i);
    if (!Inside(x, y, xLo, yLo, xHi, yHi)) continue;
    sum += y;
    ++result.count;
  }
  if (result.count > 0) result.mean = sum / result.count;
  return result;
}

int DeleteInRegion(Data_Set& set, double x1, double y1, double x2, double y2) {
  if (set.ColumnCount() < 2) return 0;
  const int removed =
      RemoveRuns(set, [&](int i) { return Inside(set.GetValue(0, i), set.GetValue(1, i), x1, y1, x2, y2); });
  if (removed > 0) set.ReattachFits();
  return removed;
}

void Interpolate(Data_Set& set) {
  if (set.ColumnCount() < 2) return;
  const int last = set.lastIndex(0);
  if (last < 1) return;
  const int count = 2 * last + 1;
  const bool yErrors = set.ColumnCount() > 2;
  const bool xErrors = set.ColumnCount() > 3;
  std::vector<std::vector<double>> out(static_cast<std::size_t>(set.ColumnCount()),
                                       std::vector<double>(static_cast<std::size_t>(count), 0.0));
  for (int j = 0; j <= last; ++j) {
    // Old points keep every value they had, errors included.
    for (int c = 0; c < set.ColumnCount(); ++c)
      out[static_cast<std::size_t>(c)][static_cast<std::size_t>(2 * j)] = set.GetValue(c, j);
    if (j == last) break;
    const auto k = static_cast<std::size_t>(2 * j + 1);
    const double x0 = set.GetValue(0, j), x1 = set.GetValue(0, j + 1);
    const double y0 = set.GetValue(1, j), y1 = set.GetValue(1, j + 1);
    out[0][k] = (x0 + x1) / 2;
    const double e0 = yErrors ? set.GetValue(2, j) : 0.0, e1 = yErrors ? set.GetValue(2, j + 1) : 0.0;
    if (e0 > 0.0 && e1 > 0.0) {
      out[1][k] = (y0 / e0 + y1 / e1) / (1 / e0 + 1 / e1);
      // The error of a mean of two values, not of their sum.
      out[2][k] = 0.5 * std::sqrt(e0 * e0 + e1 * e1);
    } else {
      out[1][k] = (y0 + y1) / 2;
    }
    if (xErrors) {
      const double xe0 = set.GetValue(3, j), xe1 = set.GetValue(3, j + 1);
      if (xe0 > 0.0 && xe1 > 0.0) out[3][k] = 0.5 * std::sqrt(xe0 * xe0 + xe1 * xe1);
    }
  }
  for (int c = 0; c < set.ColumnCount(); ++c) {
    const auto& cells = out[static_cast<std::size_t>(c)];
    set.Reserve(c, count);
    for (int i = 0; i < count; ++i) set.SetValue(c, i, cells[static_cast<std::size_t>(i)]);
  }
  set.modified = true;
  set.ReattachFits();
}

}  // namespace zentrel
