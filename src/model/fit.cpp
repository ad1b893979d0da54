#include "model/fit.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <span>
#include <utility>
#include <vector>

#include "model/data_set.h"
#include "numeric/ascending_order.h"

namespace zentrel {

namespace {

std::uint64_t NextFitSerial() {
  // Batch fits are made on worker threads.
  static std::atomic<std::uint64_t> next{1};
  return next.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

Fit::Fit() : serial(NextFitSerial()) {
  freeFlags.fill(1);
  lowerBounds.fill(-HUGE_VAL);
  upperBounds.fill(HUGE_VAL);
}

Fit::Fit(const Fit& source) : Fit() {
  hidden = source.hidden;
  colour = source.colour;
  fitStart = source.fitStart;
  fitEnd = source.fitEnd;
  name = source.name;
  modelKind = source.modelKind;
  order = source.order;
  convolve = source.convolve;
  convolutionSource = source.convolutionSource;
  convolutionArea = source.convolutionArea;
  shift = source.shift;
  shiftFree = source.shiftFree;
  method = source.method;
  errorCode = source.errorCode;
  params = source.params;
  freeFlags = source.freeFlags;
  lowerBounds = source.lowerBounds;
  upperBounds = source.upperBounds;
  weighting = source.weighting;
  // The compiled formula is shared, which is the same as compiling the
  // source's text again; without one the copy has no equation either.
  if (source.HasCustomEvaluator()) {
    customEquation = source.customEquation;
    customExpression = source.customExpression;
    customParameterCount = source.customParameterCount;
  }
}

Fit::~Fit() = default;

void Fit::attach(const double* x, int n) {
  restart();
  if (n <= 0 || x == nullptr || fitStart != fitEnd) return;
  // The smallest to the largest x, whatever order the set keeps them in.
  bool found = false;
  for (int i = 0; i < n; ++i) {
    if (std::isnan(x[i])) continue;
    if (!found || x[i] < fitStart) fitStart = x[i];
    if (!found || x[i] > fitEnd) fitEnd = x[i];
    found = true;
  }
}

void Fit::setRange(double a, double b) {
  fitStart = std::min(a, b);
  fitEnd = std::max(a, b);
  iterationCount = 0;
}

void Fit::setConvolutionSource(const Data_Set* source) {
  if (source == nullptr) {
    convolve = 0;
    convolutionSource = nullptr;
    convolutionArea = 0.0;
    return;
  }
  convolutionSource = source;
  convolve = 1;
  convolutionArea = SimpsonArea(*source);
}

double SimpsonArea(const Data_Set& set) {
  const int n = set.DrawablePointCount();
  if (n < 5) return 0.0;
  // In ascending x, as the convolution reads the set, whatever order it is
  // stored in.
  const std::span<const double> xs(set.ColumnData(0), static_cast<size_t>(n));
  std::vector<int> order;
  if (!IsAscending(xs)) order = AscendingOrder(xs);
  const auto index = [&](int k) { return order.empty() ? k : order[static_cast<size_t>(k)]; };
  const auto x = [&](int k) { return set.ColumnData(0)[index(k)]; };
  const auto y = [&](int k) { return set.ColumnData(1)[index(k)]; };
  const double h = (x(n - 1) - x(0)) / (n - 1);
  double sum = y(0) + y(n - 1);
  for (int k = 1; k < n - 1; ++k) sum += SimpsonWeight(k, n) * y(k);
  return sum * h / 3.0;
}

}  // namespace zentrel
