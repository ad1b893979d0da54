#include "analysis/smoothing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "expr/byte_code.h"
#include "expr/expression.h"
#include "model/data_set.h"
#include "numeric/c_format.h"
#include "numeric/numeric_error.h"
#include "numeric/workspace.h"

namespace zentrel {

namespace {

// Outputs computed per pass of the blocked loops below: a block of sums
// stays in the first-level cache while every tap of the window is added.
constexpr int kBlock = 256;

SmoothOutcome Failure(std::string message) { return {false, std::move(message)}; }
SmoothOutcome Cancelled() { return {false, "cancelled", true}; }

// Reports progress every so many blocks of outputs: often enough for the
// dialog, rarely enough to cost nothing beside the sums.
class ProgressTicker {
 public:
  explicit ProgressTicker(const ProgressCallback& progress) : progress_(progress) {}
  // True once the watcher cancelled; `done` of `total` outputs computed.
  bool stopAt(long done, long total) {
    if (!progress_ || ++calls_ % kEvery != 0) return false;
    return !progress_(total > 0 ? std::min(1.0, static_cast<double>(done) / static_cast<double>(total)) : 1.0);
  }

 private:
  static constexpr int kEvery = 64;
  const ProgressCallback& progress_;
  long calls_ = 0;
};

// True when the formula reads X; a formula without X is evaluated once.
bool DependsOnX(const Expression& n) {
  std::string error;
  ByteCode code;
  ConstantPool pool{};
  if (CompilePostfix(n.postfix, error, code, pool) != kCompiled) return true;
  for (std::size_t i = 0; i < code.size(); ++i) {
    const auto op = static_cast<Opcode>(code[i]);
    if (op == Opcode::X) return true;
    if (op == Opcode::Parameter || op == Opcode::Constant) ++i;  // its operand byte
  }
  return false;
}

// Evaluates N(x) for the window sizes and turns each value into floor(N)
// held in an int, at least `minimum`. The numeric error state the caller
// had is given back untouched.
class WindowSize {
 public:
  WindowSize(const Expression& n, int minimum) : n_(n), minimum_(minimum), dependsOnX_(DependsOnX(n)) {}

  // Sizes at xs[0..count) into sizes; the failure's text when one fails.
  std::optional<std::string> evaluate(const double* xs, int* sizes, std::size_t count) {
    if (count == 0) return std::nullopt;
    if (!dependsOnX_ && constant_) {
      std::fill(sizes, sizes + count, *constant_);
      return std::nullopt;
    }
    const std::size_t evaluatedCount = dependsOnX_ ? count : 1;
    values_.resize(evaluatedCount);
    const NumericError earlier = std::exchange(NumericErrorState(), NumericError{});
    // Stops at the first failing point: then the state says why.
    n_.evaluator.evaluateMany(parameters_.data(), n_.constants.data(), xs, values_.data(), evaluatedCount);
    const NumericError failure = std::exchange(NumericErrorState(), earlier);
    if (failure.code != kNoNumericError) return failure.message;
    for (std::size_t i = 0; i < evaluatedCount; ++i) {
      const double v = values_[i];
      // floor(v) must be an int: NaN and sizes beyond the range are refused
      // rather than converted to whatever the conversion makes of them.
      if (!(v > -2147483648.0 && v < 2147483648.0))
        return CFormat("Number of points to smooth is %lg at x=%lg, not a usable size", v, xs[i]);
      sizes[i] = std::max(minimum_, static_cast<int>(std::floor(v)));
    }
    if (!dependsOnX_) {
      constant_ = sizes[0];
      std::fill(sizes + 1, sizes + count, *constant_);
    }
    return std::nullopt;
  }

 private:
  const Expression& n_;
  int minimum_;
  bool dependsOnX_;
  std::optional<int> constant_;
  std::vector<double> values_;
  std::array<double, kMaxParameters> parameters_{};  // A0..A31 are all 0 here
};

// Reducing: block means, the last block running to the final point. A block
// whose y errors are all non-zero gets the inverse-variance weighted mean of
// its y (likewise x with the x errors) and that mean's error,
// 1 / sqrt(sum of 1/σ²); any other block gets the plain mean and its error,
// sqrt(sum of σ²) / s. docs/error_propagation.md says why.
SmoothOutcome Reduce(Data_Set& set, const Expression& n, ProgressTicker& ticker) {
  const int last = set.lastIndex(0);
  if (last < 2) return {};
  const bool yErrors = set.ColumnCount() > 2, xErrors = set.ColumnCount() > 3;
  std::vector<double> outX, outY, outYError, outXError;
  WindowSize sizeAt(n, 1);
  int a = 0;
  while (a < last) {
    const double xa = set.GetValue(0, a);
    int s = 0;
    if (auto failure = sizeAt.evaluate(&xa, &s, 1)) return Failure(*failure);
    if (s >= last - a) s = last - a + 1;
    // Each coordinate separately: weighted by its errors when all of them
    // are non-zero, a plain mean otherwise.
    auto combine = [&](int column, int errorColumn, bool haveErrors, double& error) {
      double sum = 0.0, weighted = 0.0, weights = 0.0, squares = 0.0;
      bool usable = haveErrors;
      for (int i = a; i < a + s; ++i) {
        const double v = set.GetValue(column, i);
        sum += v;
        if (!haveErrors) continue;
        const double e = set.GetValue(errorColumn, i);
        if (e == 0.0) usable = false;
        squares += e * e;
        if (usable) {
          weighted += v / (e * e);
          weights += 1.0 / (e * e);
        }
      }
      if (usable) {
        error = 1.0 / std::sqrt(weights);
        return weighted / weights;
      }
      error = std::sqrt(squares) / s;
      return sum / s;
    };
    double yError = 0.0, xError = 0.0;
    outY.push_back(combine(1, 2, yErrors, yError));
    outX.push_back(combine(0, 3, xErrors, xError));
    outYError.push_back(yError);
    outXError.push_back(xError);
    a += s;
    // Nothing is written before the loop ends: a cancel leaves the set alone.
    if (ticker.stopAt(a, last + 1)) return Cancelled();
  }
  const auto k = static_cast<int>(outX.size());
  for (int i = 0; i < k; ++i) {
    const auto at = static_cast<std::size_t>(i);
    set.SetValue(0, i, outX[at]);
    set.SetValue(1, i, outY[at]);
    if (yErrors) set.SetValue(2, i, outYError[at]);
    if (xErrors) set.SetValue(3, i, outXError[at]);
  }
  if (k <= last) set.DeletePoints(k, last);
  set.ReattachFits();
  set.modified = true;
  return {};
}

// Two doubles handled as one value: the blocked loops below add whole
// lanes, each lane its own output, so every sum keeps the order and the
// rounding of one window summed at a time.
using Lanes = double __attribute__((vector_size(2 * sizeof(double))));
constexpr int kLanes = 2;
constexpr int kBlockLanes = kBlock / kLanes;

inline Lanes Load(const double* from) {
  Lanes v;
  std::memcpy(&v, from, sizeof v);
  return v;
}

inline void Store(double* to, Lanes v) { std::memcpy(to, &v, sizeof v); }

// Sums y over windows of w points, [i - d, i + w - d - 1] for i in
// [begin, end), every window inside the set; out[i - begin] = sum / w. Each
// sum is taken left to right, exactly as one window at a time would.
void WindowMeans(const double* y, int w, int d, int begin, int end, double* out) {
  std::array<Lanes, kBlockLanes> acc;
  const double count = w;
  int i = begin;
  for (; i + kBlock <= end; i += kBlock) {
    const double* base = y + i - d;
    for (int j = 0; j < kBlockLanes; ++j) acc[static_cast<std::size_t>(j)] = Load(base + kLanes * j);
    for (int k = 1; k < w; ++k) {
      const double* tap = base + k;
      for (int j = 0; j < kBlockLanes; ++j) acc[static_cast<std::size_t>(j)] += Load(tap + kLanes * j);
    }
    for (int j = 0; j < kBlockLanes; ++j)
      Store(out + (i - begin) + kLanes * j, acc[static_cast<std::size_t>(j)] / count);
  }
  for (; i < end; ++i) {
    const double* base = y + i - d;
    double sum = base[0];
    for (int k = 1; k < w; ++k) sum += base[k];
    out[i - begin] = sum / count;
  }
}

// Moving Window: the mean over w = floor(N(x[i])) points, (w - 1) / 2 before
// and the rest after, cut to the points that exist. Every size is checked
// before anything is written; then each result waits in a ring until no
// later window reads the unsmoothed value it replaces.
SmoothOutcome MovingWindow(Data_Set& set, const Expression& n, ProgressTicker& ticker) {
  const int last = set.lastIndex(0);
  if (last < 0) return {};
  const int count = last + 1;
  const double* x = set.ColumnData(0);
  std::array<int, kBlock> sizes;
  long reach = 0;  // the most points any window reaches back
  {
    WindowSize sizeAt(n, 1);
    for (int start = 0; start < count; start += kBlock) {
      const int stop = std::min(count, start + kBlock);
      if (auto failure = sizeAt.evaluate(x + start, sizes.data(), static_cast<std::size_t>(stop - start)))
        return Failure(*failure);
      for (int j = 0; j < stop - start; ++j) reach = std::max<long>(reach, (sizes[static_cast<std::size_t>(j)] - 1) / 2);
    }
  }
  if (set.PointCount(1) < count) set.SetValue(1, last, set.GetValue(1, last));
  double* y = set.WritableColumnData(1);
  const int delay = static_cast<int>(std::min<long>(reach, count));
  std::vector<double> ring(static_cast<std::size_t>(delay) + kBlock);
  std::size_t storeSlot = 0, flushSlot = 0;
  auto advance = [&ring](std::size_t& slot) {
    if (++slot == ring.size()) slot = 0;
  };
  int flushed = 0;  // points below have their result in y
  std::array<double, kBlock> block;
  WindowSize sizeAt(n, 1);
  for (int start = 0; start < count; start += kBlock) {
    const int stop = std::min(count, start + kBlock);
    if (auto failure = sizeAt.evaluate(x + start, sizes.data(), static_cast<std::size_t>(stop - start)))
      return Failure(*failure);  // not reached: the same sizes passed above
    int i = start;
    while (i < stop) {
      const int w = sizes[static_cast<std::size_t>(i - start)];
      int runEnd = i + 1;
      while (runEnd < stop && sizes[static_cast<std::size_t>(runEnd - start)] == w) ++runEnd;
      const int d = (w - 1) / 2, e = w - d - 1;
      // Whole windows in the middle; the cut ones at either end one by one.
      const int innerBegin = std::clamp(d, i, runEnd);
      const int innerEnd = static_cast<int>(std::clamp<long>(long{last} - e + 1, innerBegin, runEnd));
      auto cut = [&](int from, int to) {
        for (int p = from; p < to; ++p) {
          const int lo = std::max(0, p - d), hi = static_cast<int>(std::min<long>(last, long{p} + e));
          double sum = 0.0;
          for (int q = lo; q <= hi; ++q) sum += y[q];
          block[static_cast<std::size_t>(p - start)] = sum / (hi - lo + 1);
        }
      };
      cut(i, innerBegin);
      WindowMeans(y, w, d, innerBegin, innerEnd, block.data() + (innerBegin - start));
      cut(innerEnd, runEnd);
      i = runEnd;
    }
    for (int p = start; p < stop; ++p) {
      ring[storeSlot] = block[static_cast<std::size_t>(p - start)];
      advance(storeSlot);
    }
    if (ticker.stopAt(stop, count)) return Cancelled();
    // Later windows start at stop - delay or beyond.
    for (; flushed < stop - delay; ++flushed) {
      y[flushed] = ring[flushSlot];
      advance(flushSlot);
    }
  }
  for (; flushed < count; ++flushed) {
    y[flushed] = ring[flushSlot];
    advance(flushSlot);
  }
  set.modified = true;
  return {};
}

// Savitzky-Golay over np = min(L / 2, floor(N(x[0]))) points. Each result is
// written back once no later window reads the unsmoothed value it replaces:
// results wait nl points in a ring before they land in y.
SmoothOutcome SavitzkyGolay(Data_Set& set, const Expression& n, ProgressTicker& ticker) {
  const int last = set.lastIndex(0);
  if (last < 0) return {};
  WindowSize sizeAt(n, 2);
  const double x0 = set.GetValue(0, 0);
  int a = 0;
  if (auto failure = sizeAt.evaluate(&x0, &a, 1)) return Failure(*failure);
  const int np = std::min(last / 2, a);
  const int nl = (np - 1) / 2, nr = np - nl - 1;
  const int m = np >= 5 ? 4 : 2;
  DVector c(1, std::max(np, 1));
  if (!c) return Failure("allocation failure in dvector()");
  switch (savitzkyGolayCoefficients(c, np, nl, nr, 0, m)) {
    case 0: break;
    case kSavgolBadArgs: return Failure("bad args in savgol");
    default: return Failure("Singular matrix in routine ludcmp");
  }
  // Taps in window order, offset -nl first.
  std::vector<double> taps(static_cast<std::size_t>(np));
  for (int k = -nl; k <= nr; ++k) taps[static_cast<std::size_t>(k + nl)] = c[((np - k) % np) + 1];
  for (double t : taps)
    if (!std::isfinite(t)) return Failure("Singular matrix in routine ludcmp");

  const int first = nl, end = last - nr + 1;  // outputs [first, end)
  if (first >= end) return {};
  if (set.PointCount(1) < last + 1) set.SetValue(1, last, set.GetValue(1, last));
  double* y = set.WritableColumnData(1);
  // pending[t] is the result for point b - nl + t, b the current block's
  // first output; the first nl entries carry over from the previous block.
  std::vector<double> pending(static_cast<std::size_t>(nl + kBlock));
  double* results = pending.data() + nl;
  for (int b = first; b < end; b += kBlock) {
    const int size = std::min(kBlock, end - b);
    const double* base = y + b - nl;
    if (size == kBlock) {
      std::array<Lanes, kBlockLanes> acc;
      for (int j = 0; j < kBlockLanes; ++j) acc[static_cast<std::size_t>(j)] = taps[0] * Load(base + kLanes * j);
      for (int k = 1; k < np; ++k) {
        const double tap = taps[static_cast<std::size_t>(k)];
        const double* from = base + k;
        for (int j = 0; j < kBlockLanes; ++j) acc[static_cast<std::size_t>(j)] += tap * Load(from + kLanes * j);
      }
      for (int j = 0; j < kBlockLanes; ++j) Store(results + kLanes * j, acc[static_cast<std::size_t>(j)]);
    } else {
      for (int j = 0; j < size; ++j) {
        double sum = taps[0] * base[j];
        for (int k = 1; k < np; ++k) sum += taps[static_cast<std::size_t>(k)] * base[j + k];
        results[j] = sum;
      }
    }
    if (ticker.stopAt(b + size, end)) return Cancelled();
    // No later window reads below b + size - nl: those results can land.
    for (int t = 0; t < size; ++t) {
      const int point = b - nl + t;
      if (point >= first) y[point] = pending[static_cast<std::size_t>(t)];
    }
    std::memmove(pending.data(), pending.data() + size, static_cast<std::size_t>(nl) * sizeof(double));
    if (b + size >= end) {
      for (int t = 0; t < nl; ++t) {
        const int point = b + size - nl + t;
        if (point >= first) y[point] = pending[static_cast<std::size_t>(t)];
      }
    }
  }
  set.modified = true;
  return {};
}

}  // namespace

SmoothOutcome smoothSet(Data_Set& set, int method, const Expression& n, const ProgressCallback& progress) {
  if (method < kSmoothReducing || method > kSmoothSavitzkyGolay || set.ColumnCount() < 2) return {};
  if (!n.evaluator) return Failure("no formula for the number of points to smooth");
  ProgressTicker ticker(progress);
  if (method == kSmoothReducing) return Reduce(set, n, ticker);
  // The other two write y in place as they go: with a watcher who may
  // cancel, the unsmoothed y is kept to be put back.
  std::vector<double> unsmoothed;
  if (progress) unsmoothed.assign(set.ColumnData(1), set.ColumnData(1) + set.PointCount(1));
  SmoothOutcome outcome = method == kSmoothMovingWindow ? MovingWindow(set, n, ticker) : SavitzkyGolay(set, n, ticker);
  if (outcome.cancelled) std::copy(unsmoothed.begin(), unsmoothed.end(), set.WritableColumnData(1));
  return outcome;
}

int savitzkyGolayCoefficients(DVector& c, int np, int nl, int nr, int ld, int m) {
  if (np < nl + nr + 1 || nl < 0 || nr < 0 || ld > m || ld < 0 || m < 0 || nl + nr < m) {
    reportNumericError("bad args in savgol");
    return kSavgolBadArgs;
  }
  const int size = m + 1;
  DMatrix a(1, size, 1, size);
  IVector index(1, size);
  DVector b(1, size);
  if (!a || !index || !b) return kSingularMatrix;
  for (int p = 0; p <= 2 * m; ++p) {
    double sum = p == 0 ? 1.0 : 0.0;
    for (int k = 1; k <= nr; ++k) sum += std::pow(static_cast<double>(k), p);
    for (int k = 1; k <= nl; ++k) sum += std::pow(static_cast<double>(-k), p);
    // Every element (i, j) with i + j - 2 = p.
    const int reach = std::min(p, 2 * m - p);
    for (int d = -reach; d <= reach; d += 2) a[1 + (p + d) / 2][1 + (p - d) / 2] = sum;
  }
  if (luDecompose(a, size, index) != 0) return kSingularMatrix;
  for (int j = 1; j <= size; ++j) b[j] = 0.0;
  b[ld + 1] = 1.0;
  luBackSubstitute(a, size, index, b);
  for (int k = 1; k <= np; ++k) c[k] = 0.0;
  for (int k = -nl; k <= nr; ++k) {
    double sum = b[1], power = 1.0;
    for (int q = 1; q <= m; ++q) sum += b[q + 1] * (power *= k);
    c[((np - k) % np) + 1] = sum;
  }
  return 0;
}

}  // namespace zentrel
