#include "analysis/convolution.h"

#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "numeric/fft.h"
#include "model/data_set.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

// z holds data + i * response (n complex points) and is used up. One
// complex transform gives both spectra, as in twoRealFft; they are
// separated on the fly for frequencies 0 .. n/2, all that the packed real
// layout needs, multiplied or divided, and transformed back into result.
ConvolveOutcome ConvolveInterleaved(double* z, std::int64_t n, int direction, double* result) {
  ConvolveOutcome outcome;
  if (direction != 1 && direction != -1) {
    reportNumericError("No meaning for isign in convlv");
    return outcome;
  }
  if (n < 2) return outcome;
  complexFft(z, n, +1);
  const std::int64_t half = n / 2;
  const double h = static_cast<double>(half);
  auto store = [&](std::int64_t k, double re, double im) {
    if (k == 0) {
      result[0] = re;
    } else if (k == half) {
      result[1] = re;
    } else {
      result[2 * k] = re;
      result[2 * k + 1] = im;
    }
  };
  for (std::int64_t k = 0; k <= half; ++k) {
    const std::int64_t mirror = k == 0 ? 0 : n - k;
    const double zr = z[2 * k], zi = z[2 * k + 1];
    const double yr = z[2 * mirror], yi = z[2 * mirror + 1];
    // F = (Z_k + conj Z_{n-k}) / 2, R = (Z_k - conj Z_{n-k}) / 2i.
    const double fr = 0.5 * (zr + yr), fi = 0.5 * (zi - yi);
    const double rr = 0.5 * (zi + yi), ri = -0.5 * (zr - yr);
    if (direction == 1) {
      store(k, (fr * rr - fi * ri) / h, (fr * ri + fi * rr) / h);
    } else {
      const double mag2 = rr * rr + ri * ri;
      if (mag2 == 0.0) ++outcome.responseZeros;
      // At a zero the quotient is left non-finite; callers decide.
      store(k, (fr * rr + fi * ri) / mag2 / h, (fi * rr - fr * ri) / mag2 / h);
    }
  }
  if (outcome.responseZeros > 0) reportNumericError("Deconvolving at response zero in convlv");
  realFft(result, n, -1);
  outcome.ok = true;
  return outcome;
}

}  // namespace

ConvolveOutcome convolveWrapped(const double* data, const double* response, std::int64_t n, int direction,
                                double* result) {
  if (n < 2) return {};
  std::unique_ptr<double[]> z;
  try {
    z.reset(new double[static_cast<std::size_t>(2 * n)]);
    for (std::int64_t j = 0; j < n; ++j) {
      z[static_cast<std::size_t>(2 * j)] = data[j];
      z[static_cast<std::size_t>(2 * j + 1)] = response[j];
    }
    return ConvolveInterleaved(z.get(), n, direction, result);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

ConvolveOutcome convolveArrays(const double* data, std::int64_t n, double* response, std::int64_t m, int direction,
                               double* result) {
  if (m < 1 || m > n || m % 2 == 0) return {};
  // The negative lags move to the end of the n values; the middle is zero.
  const std::int64_t negative = (m - 1) / 2;
  for (std::int64_t i = 1; i <= negative; ++i) response[n - i] = response[m - i];
  for (std::int64_t i = (m + 1) / 2; i < n - negative; ++i) response[i] = 0.0;
  return convolveWrapped(data, response, n, direction, result);
}

namespace {

// x and y of a set in ascending x: the set's own columns when they already
// are, else a sorted copy of them (the caller's set is never reordered).
class SortedPoints {
 public:
  explicit SortedPoints(const Data_Set& source) : n_(source.PointCount(0)) {
    if (source.IsSortedByX() && source.PointCount(1) >= n_) {
      x_ = source.ColumnData(0);
      y_ = source.ColumnData(1);
      return;
    }
    copy_.Reserve(0, n_);
    copy_.Reserve(1, n_);
    for (int i = 0; i < n_; ++i) {
      copy_.SetValue(0, i, source.GetValue(0, i));
      copy_.SetValue(1, i, source.GetValue(1, i));
    }
    copy_.SortByX();
    x_ = copy_.ColumnData(0);
    y_ = copy_.ColumnData(1);
  }
  int size() const { return n_; }
  double x(int i) const { return x_[i]; }
  double y(int i) const { return y_[i]; }

 private:
  int n_;
  Data_Set copy_;
  const double* x_ = nullptr;
  const double* y_ = nullptr;
};

}  // namespace

ConvolutionResult convolveSets(const Data_Set& signalSet, const Data_Set& responseSet, int direction,
                               const ProgressCallback& progress) {
  ConvolutionResult out;
  const Data_Set* s = &signalSet;
  const Data_Set* p = &responseSet;
  // The longer set is always the signal.
  if (s->PointCount(0) < p->PointCount(0)) std::swap(s, p);
  if (s->PointCount(0) < 3 || p->PointCount(0) < 3) return out;
  if (direction != 1 && direction != -1) return out;

  try {
    const SortedPoints signal(*s);
    const SortedPoints response(*p);
    const int n = signal.size();
    const int m = response.size();
    const std::int64_t size = nextPowerOfTwo(n);
    if (size == 0 || size > std::numeric_limits<int>::max()) return out;
    // Signal in the real parts, wrapped response in the imaginary parts,
    // every element written; result is written in full by the transform.
    std::unique_ptr<double[]> z(new double[2 * static_cast<std::size_t>(size)]);
    std::unique_ptr<double[]> result(new double[static_cast<std::size_t>(size)]);
    auto signalAt = [&](std::int64_t j) -> double& { return z[2 * static_cast<std::size_t>(j)]; };
    auto responseAt = [&](std::int64_t j) -> double& { return z[2 * static_cast<std::size_t>(j) + 1]; };
    for (std::int64_t j = 0; j < size; ++j) responseAt(j) = 0.0;

    // An even response loses its last point, so the lags are symmetric in
    // count. Zero lag is the used point nearest x = 0 (the later on a tie).
    const int used = m % 2 == 1 ? m : m - 1;
    int zero = 0;
    for (int i = 1; i < used; ++i)
      if (std::fabs(response.x(i)) <= std::fabs(response.x(zero))) zero = i;
    // Lags from the zero point on go to the front; the points before it
    // are negative lags and wrap round to the end, so a one-sided response
    // stays one-sided.
    for (int i = zero; i < used; ++i) responseAt(i - zero) = response.y(i);
    for (int i = 0; i < zero; ++i) responseAt(size - zero + i) = response.y(i);

    for (int i = 0; i < n; ++i) signalAt(i) = signal.y(i);
    // Pad with a tail that decays from the last value instead of a step to 0.
    const double last = signal.y(n - 1);
    const double pad = static_cast<double>(size - n);
    for (std::int64_t k = 0; k < size - n; ++k)
      signalAt(n + k) = last * std::exp(-static_cast<double>(k) / (0.2 * pad));

    if (!ContinueAfter(progress, 0.1)) {
      out.cancelled = true;
      return out;
    }
    const ConvolveOutcome outcome = ConvolveInterleaved(z.get(), size, direction, result.get());
    z.reset();
    if (!outcome.ok) return out;
    if (!ContinueAfter(progress, 0.9)) {
      out.cancelled = true;
      return out;
    }
    out.responseZero = outcome.responseZeros > 0;

    auto set = std::make_unique<Data_Set>();
    set->Reserve(0, static_cast<int>(size));
    set->Reserve(1, static_cast<int>(size));
    const double x0 = signal.x(0);
    const double spacing = signal.x(1) - x0;
    for (int i = 0; i < static_cast<int>(size); ++i) {
      double y = result[static_cast<std::size_t>(i)];
      if (!std::isfinite(y)) {
        y = 0.0;
        ++out.zeroedPoints;
      }
      set->SetValue(0, i, x0 + i * spacing);
      set->SetValue(1, i, y);
    }
    set->name = std::string(direction == 1 ? "Convolution of " : "Deconvolution of ") + s->name + " and " + p->name;
    out.set = std::move(set);
  } catch (const std::bad_alloc&) {
    out = ConvolutionResult{};
  }
  return out;
}

}  // namespace zentrel
