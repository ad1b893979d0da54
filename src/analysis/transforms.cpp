#include "analysis/transforms.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <numbers>
#include <vector>

#include "analysis/input_checks.h"
#include "model/data_set.h"
#include "numeric/fft.h"

namespace zentrel {

namespace {

constexpr const char* kZeroSpacing = "Set must have a non-zero point spacing";
constexpr const char* kTooLarge = "Data set is too large!";
constexpr const char* kNoFftMemory = "Not enough memory for FFT";
constexpr const char* kNoSetMemory = "Ran out of memory";

// x[1] - x[0]; 0 for a set of fewer than two points, whose spacing is
// undefined.
double FirstSpacing(const Data_Set& set) {
  if (set.PointCount(0) < 2) return 0.0;
  return set.GetValue(0, 1) - set.GetValue(0, 0);
}

std::unique_ptr<Data_Set> NewSet(int points, std::string name) {
  auto set = std::make_unique<Data_Set>();
  set->Reserve(0, points);
  set->Reserve(1, points);
  set->name = std::move(name);
  return set;
}

}  // namespace

PowerSpectrumResult powerSpectrum(Data_Set& source, const ProgressCallback& progress) {
  PowerSpectrumResult out;
  // Refused before sorting: the set is left exactly as it was.
  if (auto refusal = NonFiniteRefusal(source)) {
    out.message = std::move(*refusal);
    return out;
  }
  source.SortByX();
  const int n = source.PointCount(0);
  const double spacing = std::fabs(FirstSpacing(source));
  // A non-finite spacing (an infinite or undefined x) is no spacing either.
  if (spacing == 0.0 || !std::isfinite(spacing)) {
    out.message = kZeroSpacing;
    return out;
  }
  if (n - 1 > 2) {
    for (int i = 2; i <= n - 2; ++i) {
      const double step = std::fabs(source.GetValue(0, i) - source.GetValue(0, i - 1));
      // Written so that an undefined step counts as uneven.
      if (!(std::fabs(step - spacing) / spacing <= 0.00001)) {
        out.message = "Error:uneven point spacing";
        return out;
      }
    }
  }
  const std::int64_t size = nextPowerOfTwo(n);
  if (size == 0) {
    out.message = kTooLarge;
    return out;
  }
  std::unique_ptr<double[]> data;
  try {
    data.reset(new double[static_cast<std::size_t>(size)]);
    const double* y = source.PointCount(1) >= n ? source.ColumnData(1) : nullptr;
    for (int i = 0; i < n; ++i) data[static_cast<std::size_t>(i)] = y ? y[i] : source.GetValue(1, i);
    for (std::int64_t i = n; i < size; ++i) data[static_cast<std::size_t>(i)] = 0.0;
    if (!ContinueAfter(progress, 0.1)) {
      out.message = kFftCancelled;
      return out;
    }
    realFft(data.get(), size, +1);
  } catch (const std::bad_alloc&) {
    out.message = kNoFftMemory;
    return out;
  }
  if (!ContinueAfter(progress, 0.9)) {
    out.message = kFftCancelled;
    return out;
  }

  const std::int64_t half = size / 2;
  const double df = 1.0 / (static_cast<double>(size) * spacing);
  const double a = spacing / static_cast<double>(size);
  try {
    auto set = NewSet(static_cast<int>(half + 1), "power spectrum of " + source.name);
    set->SetValue(0, 0, 0.0);
    set->SetValue(1, 0, 10.0 * std::log10((a * data[0]) * (a * data[0])));
    for (std::int64_t i = 1; i < half; ++i) {
      const double re = data[static_cast<std::size_t>(2 * i)], im = data[static_cast<std::size_t>(2 * i + 1)];
      set->SetValue(0, static_cast<int>(i), static_cast<double>(i) * df);
      set->SetValue(1, static_cast<int>(i), 10.0 * std::log10(2.0 * a * a * (re * re + im * im)));
    }
    set->SetValue(0, static_cast<int>(half), df * static_cast<double>(size) * 0.5);
    set->SetValue(1, static_cast<int>(half), 10.0 * std::log10((a * data[1]) * (a * data[1])));
    out.set = std::move(set);
  } catch (const std::bad_alloc&) {
    out.message = kNoSetMemory;
    return out;
  }
  out.message = kFftCompleted;
  return out;
}

FourierResult fourierTransform(Data_Set* real, Data_Set* imaginary, int direction, const ProgressCallback& progress) {
  FourierResult out;
  for (const Data_Set* set : {real, imaginary}) {
    if (set == nullptr) continue;
    if (auto refusal = NonFiniteRefusal(*set)) {
      out.message = std::move(*refusal);
      return out;
    }
  }
  if (real) real->SortByX();
  if (imaginary) imaginary->SortByX();
  if (real && imaginary && real->PointCount(0) != imaginary->PointCount(0)) {
    out.message = "Real and imag set must be the same size";
    return out;
  }
  const Data_Set* origin = imaginary ? imaginary : real;
  double phase0 = (origin && origin->PointCount(0) > 0) ? 2.0 * std::numbers::pi * origin->GetValue(0, 0) : 0.0;
  if (direction < 0) phase0 = -phase0;
  int n = 0;
  if (real) n = real->PointCount(0);
  if (imaginary && imaginary->PointCount(0) > n) n = imaginary->PointCount(0);

  const double spacing = real ? FirstSpacing(*real) : 0.0;
  // Equal within the tolerance of the spacing check of the power spectrum:
  // sets that start at different x rarely have bit-identical spacings.
  if (real && imaginary && !(std::fabs(FirstSpacing(*imaginary) - spacing) <= 0.00001 * std::fabs(spacing))) {
    out.message = "Real and imag set must have same spacing!";
    return out;
  }
  if (spacing == 0.0 || !std::isfinite(spacing)) {
    out.message = kZeroSpacing;
    return out;
  }
  const std::int64_t size = nextPowerOfTwo(n);
  // N + 1 result points must fit a set's point count.
  if (size == 0 || size + 1 > std::numeric_limits<int>::max()) {
    out.message = kTooLarge;
    return out;
  }
  std::vector<double> data;
  try {
    data.assign(static_cast<std::size_t>(2 * size), 0.0);
    if (real)
      for (int i = 0; i < real->PointCount(0); ++i) data[2 * static_cast<std::size_t>(i)] = real->GetValue(1, i);
    if (imaginary)
      for (int i = 0; i < imaginary->PointCount(0); ++i)
        data[2 * static_cast<std::size_t>(i) + 1] = imaginary->GetValue(1, i);
    if (!ContinueAfter(progress, 0.1)) {
      out.message = kFftCancelled;
      return out;
    }
    complexFft(data.data(), size, direction);
  } catch (const std::bad_alloc&) {
    out.message = kNoFftMemory;
    return out;
  }
  if (!ContinueAfter(progress, 0.8)) {
    out.message = kFftCancelled;
    return out;
  }

  std::string suffix;
  if (real) suffix = real->name;
  if (real && imaginary) suffix += "and " + imaginary->name;
  if (!real && imaginary) suffix = imaginary->name;
  const std::int64_t half = size / 2;
  const double g = 1.0 / (spacing * static_cast<double>(size));
  try {
    auto re = NewSet(static_cast<int>(size + 1), "Real Transform of " + suffix);
    auto im = NewSet(static_cast<int>(size + 1), "Imaginary Transform of " + suffix);
    // Output point `point` at frequency f takes FFT element `element`.
    auto put = [&](std::int64_t point, double f, std::int64_t element, bool rotate) {
      const double r = data[static_cast<std::size_t>(2 * element)];
      const double i = data[static_cast<std::size_t>(2 * element + 1)];
      const double angle = rotate ? phase0 * f : 0.0;
      const double c = std::cos(angle), s = std::sin(angle);
      const int at = static_cast<int>(point);
      re->SetValue(0, at, f);
      re->SetValue(1, at, spacing * (r * c - i * s));
      im->SetValue(0, at, f);
      im->SetValue(1, at, spacing * (r * s + i * c));
    };
    // Negative frequencies first, then zero, then the positive ones; the
    // element at N/2 appears at both ends.
    for (std::int64_t i = 0; i < half; ++i) put(i, static_cast<double>(i - half) * g, half + i, true);
    put(half, 0.0, 0, false);
    for (std::int64_t v = 1; v <= half; ++v) put(half + v, static_cast<double>(v) * g, v, true);
    out.real = std::move(re);
    out.imaginary = std::move(im);
  } catch (const std::bad_alloc&) {
    out.message = kNoSetMemory;
    return out;
  }
  out.message = kFftCompleted;
  return out;
}

std::unique_ptr<Data_Set> twoSidedPowerSpectrum(const Data_Set& real, const Data_Set& imaginary) {
  const int points = real.PointCount(0);
  if (points < 1 || imaginary.PointCount(0) != points) return nullptr;
  const int size = points - 1;
  const int half = size / 2;
  const double norm = static_cast<double>(size) * static_cast<double>(size);
  auto re = [&](int i) { return real.GetValue(1, i); };
  auto im = [&](int i) { return imaginary.GetValue(1, i); };
  auto set = NewSet(half + 1, "Power spectrum");
  set->SetValue(0, 0, 0.0);
  set->SetValue(1, 0, 10.0 * std::log10((re(half) * re(half) + im(half) * im(half)) / norm));
  for (int i = 1; i <= half; ++i) {
    const double power = re(half - i) * re(half - i) + re(half + i) * re(half + i) + im(half + i) * im(half + i) +
                         im(half - i) * im(half - i);
    set->SetValue(0, i, real.GetValue(0, half + i));
    set->SetValue(1, i, 10.0 * std::log10(power / norm));
  }
  return set;
}

std::pair<std::unique_ptr<Data_Set>, std::unique_ptr<Data_Set>> amplitudeAndPhase(const Data_Set& real,
                                                                                 const Data_Set& imaginary) {
  const int points = real.PointCount(0);
  auto amplitude = NewSet(points, "Amplitude");
  auto phase = NewSet(points, "Phase");
  for (int i = 0; i < points; ++i) {
    const double re = real.GetValue(1, i), im = imaginary.GetValue(1, i);
    const double a = std::sqrt(re * re + im * im);
    const double x = real.GetValue(0, i);
    amplitude->SetValue(0, i, x);
    amplitude->SetValue(1, i, a);
    phase->SetValue(0, i, x);
    phase->SetValue(1, i, a < 1e-9 ? 0.0 : std::atan2(im, re));
  }
  return {std::move(amplitude), std::move(phase)};
}

}  // namespace zentrel
