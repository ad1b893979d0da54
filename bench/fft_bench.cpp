// Transforms: the real FFT, the whole power spectrum of a set and the FFT
// convolution, with FFTW (FFTW_ESTIMATE plans) on the same work when it is
// installed. bench/fft_compare adds numpy and prints the ratios.

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "analysis/convolution.h"
#include "numeric/fft.h"
#include "analysis/transforms.h"
#include "model/data_set.h"

#ifdef ZENTREL_HAVE_FFTW
#include <fftw3.h>
#endif

namespace {

std::vector<double> Signal(std::size_t n) {
  std::mt19937_64 random(7);
  std::normal_distribution<double> noise(0.0, 0.1);
  std::vector<double> y(n);
  for (std::size_t i = 0; i < n; ++i) y[i] = std::sin(0.001 * static_cast<double>(i)) + noise(random);
  return y;
}

zentrel::Data_Set SetOf(const std::vector<double>& y, double x0, double dx) {
  zentrel::Data_Set set;
  const int n = static_cast<int>(y.size());
  set.Reserve(0, n);
  set.Reserve(1, n);
  for (int i = 0; i < n; ++i) {
    set.SetValue(0, i, x0 + i * dx);
    set.SetValue(1, i, y[static_cast<std::size_t>(i)]);
  }
  return set;
}

// Copy in, transform: the copy is what an in-place transform of data that
// must survive costs, and the FFTW peer pays the same.
void BM_RealFft(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(1) << state.range(0);
  const auto input = Signal(n);
  std::vector<double> work(input);
  zentrel::realFft(work.data(), static_cast<std::int64_t>(n), +1);
  for (auto _ : state) {
    std::memcpy(work.data(), input.data(), n * sizeof(double));
    zentrel::realFft(work.data(), static_cast<std::int64_t>(n), +1);
    benchmark::DoNotOptimize(work.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
}
BENCHMARK(BM_RealFft)->Arg(20)->Arg(22)->Unit(benchmark::kMillisecond);

// The Power Spectrum command's work on a set: checks, FFT, the dB set.
void BM_PowerSpectrum(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(1) << state.range(0);
  zentrel::Data_Set set = SetOf(Signal(n), 0.0, 1e-3);
  // The twiddle tables are built once per size, outside the timing.
  benchmark::DoNotOptimize(zentrel::powerSpectrum(set).set.get());
  for (auto _ : state) {
    auto result = zentrel::powerSpectrum(set);
    benchmark::DoNotOptimize(result.set.get());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
}
BENCHMARK(BM_PowerSpectrum)->Arg(20)->Arg(22)->Unit(benchmark::kMillisecond);

// A 2^20-point set with a 1001-point response (x = -500 .. 500).
void BM_Convolution(benchmark::State& state) {
  const std::size_t n = std::size_t{1} << 20;
  zentrel::Data_Set signal = SetOf(Signal(n), 0.0, 1.0);
  std::vector<double> response(1001);
  for (int i = 0; i < 1001; ++i) response[static_cast<std::size_t>(i)] = std::exp(-std::pow((i - 500) / 100.0, 2));
  zentrel::Data_Set responseSet = SetOf(response, -500.0, 1.0);
  benchmark::DoNotOptimize(zentrel::convolveSets(signal, responseSet, +1).set.get());
  for (auto _ : state) {
    auto result = zentrel::convolveSets(signal, responseSet, +1);
    benchmark::DoNotOptimize(result.set.get());
  }
}
BENCHMARK(BM_Convolution)->Unit(benchmark::kMillisecond);

#ifdef ZENTREL_HAVE_FFTW
void BM_FftwRealEstimate(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(1) << state.range(0);
  const auto input = Signal(n);
  double* in = fftw_alloc_real(n);
  fftw_complex* out = fftw_alloc_complex(n / 2 + 1);
  fftw_plan plan = fftw_plan_dft_r2c_1d(static_cast<int>(n), in, out, FFTW_ESTIMATE);
  for (auto _ : state) {
    std::memcpy(in, input.data(), n * sizeof(double));
    fftw_execute(plan);
    benchmark::DoNotOptimize(out);
  }
  fftw_destroy_plan(plan);
  fftw_free(out);
  fftw_free(in);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
}
BENCHMARK(BM_FftwRealEstimate)->Arg(20)->Arg(22)->Unit(benchmark::kMillisecond);

// The same convolution as BM_Convolution by FFTW: transform the padded
// signal and the wrapped response, multiply, transform back.
void BM_FftwConvolutionEstimate(benchmark::State& state) {
  const std::size_t n = std::size_t{1} << 20;
  const auto signal = Signal(n);
  double* a = fftw_alloc_real(n);
  double* r = fftw_alloc_real(n);
  fftw_complex* fa = fftw_alloc_complex(n / 2 + 1);
  fftw_complex* fr = fftw_alloc_complex(n / 2 + 1);
  fftw_plan forwardA = fftw_plan_dft_r2c_1d(static_cast<int>(n), a, fa, FFTW_ESTIMATE);
  fftw_plan forwardR = fftw_plan_dft_r2c_1d(static_cast<int>(n), r, fr, FFTW_ESTIMATE);
  fftw_plan backward = fftw_plan_dft_c2r_1d(static_cast<int>(n), fa, a, FFTW_ESTIMATE);
  for (auto _ : state) {
    std::memcpy(a, signal.data(), n * sizeof(double));
    std::memset(r, 0, n * sizeof(double));
    for (int i = 0; i <= 500; ++i) r[i] = std::exp(-std::pow(i / 100.0, 2));
    for (int i = 1; i <= 500; ++i) r[n - static_cast<std::size_t>(i)] = std::exp(-std::pow(i / 100.0, 2));
    fftw_execute(forwardA);
    fftw_execute(forwardR);
    for (std::size_t k = 0; k <= n / 2; ++k) {
      const double re = fa[k][0] * fr[k][0] - fa[k][1] * fr[k][1];
      const double im = fa[k][0] * fr[k][1] + fa[k][1] * fr[k][0];
      fa[k][0] = re / static_cast<double>(n);
      fa[k][1] = im / static_cast<double>(n);
    }
    fftw_execute(backward);
    benchmark::DoNotOptimize(a);
  }
  fftw_destroy_plan(backward);
  fftw_destroy_plan(forwardR);
  fftw_destroy_plan(forwardA);
  fftw_free(fr);
  fftw_free(fa);
  fftw_free(r);
  fftw_free(a);
}
BENCHMARK(BM_FftwConvolutionEstimate)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
