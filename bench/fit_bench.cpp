// Time to convergence of a two-exponential decay fit, N = 10^3, 10^5, 10^6.
// bench/fit_compare runs the same fits through scipy and GSL on the same
// data (ZENTREL_FIT_DATA names the folder of decay_N.txt files it wrote);
// without it the data are generated here.

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "fit/fit_run.h"
#include "io/io_status.h"
#include "io/text_reader.h"
#include "model/data_set.h"

namespace {

zentrel::Data_Set DecayData(int n) {
  zentrel::Data_Set set;
  if (const char* folder = std::getenv("ZENTREL_FIT_DATA")) {
    const std::string path = std::string(folder) + "/decay_" + std::to_string(n) + ".txt";
    if (zentrel::ReadTextFile(set, path) == zentrel::kIoOk) return set;
  }
  std::mt19937_64 random(1);
  std::normal_distribution<double> noise(0.0, 0.01);
  for (int i = 0; i < n; ++i) {
    const double x = 10.0 * i / (n - 1);
    set.SetValue(0, i, x);
    set.SetValue(1, i, 3 * std::exp(-x / 2) + 1.5 * std::exp(-x / 0.3) + 0.2 + noise(random));
  }
  return set;
}

void BM_FitDecay(benchmark::State& state) {
  const zentrel::Data_Set data = DecayData(static_cast<int>(state.range(0)));
  zentrel::FitRequest request;
  request.model = "Exponential";
  request.order = 2;
  request.params = {0, 0, 1, 1, 1, 0.1};
  request.hold = {1};
  zentrel::FitRunResult result;
  for (auto _ : state) {
    result = zentrel::RunFit(data, request);
    // Not DoNotOptimize(double): its register constraint garbles doubles
    // with this compiler and library version.
    benchmark::ClobberMemory();
  }
  if (!result.error.empty()) state.SkipWithError(result.error.c_str());
  state.counters["fit_iterations"] = result.iterations;
  state.counters["chi_square"] = result.chiSquare;
  state.counters["converged"] = result.converged ? 1 : 0;
}
BENCHMARK(BM_FitDecay)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

// The 4096-channel photon-counting decay of examples/ fitted with two
// lifetimes convolved with its measured response, from the start values
// bench/reconvolution_compare gives scipy too.
void BM_ReconvolutionFit(benchmark::State& state) {
  const std::string examples = std::string(ZENTREL_SOURCE_DIR) + "/examples/";
  zentrel::Data_Set decay, response;
  if (zentrel::ReadTextFile(decay, examples + "photon_decay.txt") != zentrel::kIoOk ||
      zentrel::ReadTextFile(response, examples + "photon_irf.txt") != zentrel::kIoOk) {
    state.SkipWithError("examples/photon_decay.txt or photon_irf.txt cannot be read");
    return;
  }
  zentrel::FitRequest request;
  request.model = "Exponential";
  request.order = 2;
  request.params = {10, 0, 10000, 1, 8000, 3};
  request.hold = {1};
  request.convolveWith = &response;
  zentrel::FitRunResult result;
  for (auto _ : state) {
    result = zentrel::RunFit(decay, request);
    benchmark::ClobberMemory();
  }
  if (!result.error.empty()) state.SkipWithError(result.error.c_str());
  state.counters["fit_iterations"] = result.iterations;
  state.counters["chi_square"] = result.chiSquare;
  state.counters["converged"] = result.converged ? 1 : 0;
}
BENCHMARK(BM_ReconvolutionFit)->Unit(benchmark::kMillisecond)->UseRealTime();
