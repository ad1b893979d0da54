// Formula evaluation against its floor and a peer: the native code per point
// against the same formula written in C++ (called through a function
// pointer) and against muparser; the bulk entry point against a C++ loop
// calling the same library functions. bench/run prints the ratios.

#include <array>
#include <cmath>
#include <vector>

#include <benchmark/benchmark.h>

#include "expr/expression.h"
#include "numeric/numeric_error.h"

#ifdef ZENTREL_HAVE_MUPARSER
#include <muParser.h>
#endif

namespace {

using zentrel::EvalBackend;
using zentrel::Expression;

constexpr const char* kFormula1 = "A0*EXP(-X/A1)+A2";
constexpr const char* kFormula2 = "A0*EXP(-X/A1)+A2*SIN(X)^2+A3";
constexpr int kPointsPerRound = 1024;
constexpr std::size_t kBulkPoints = 10'000'000;

using Evaluator = void (*)(double*, const double*, const double*, const double*);

[[gnu::noinline]] void Formula1(double* r, const double* p, const double*, const double* x) {
  *r = p[0] * std::exp(-*x / p[1]) + p[2];
}
[[gnu::noinline]] void Formula2(double* r, const double* p, const double*, const double* x) {
  *r = p[0] * std::exp(-*x / p[1]) + p[2] * std::pow(std::sin(*x), 2) + p[3];
}

const std::array<double, 32> kParams{{2.5, 1.7, 0.3, 0.1}};

std::vector<double> Abscissae(std::size_t n) {
  std::vector<double> xs(n);
  for (std::size_t i = 0; i < n; ++i) xs[i] = 10.0 * static_cast<double>(i) / static_cast<double>(n);
  return xs;
}

Expression Compiled(const char* formula, EvalBackend backend) {
  Expression expression;
  if (!zentrel::CompileExpression(formula, expression, backend).ok()) std::abort();
  return expression;
}

void PerPointCxx(benchmark::State& state, Evaluator formula) {
  // Through a pointer the compiler cannot see through, as a plug-in would be.
  Evaluator volatile call = formula;
  const std::vector<double> xs = Abscissae(kPointsPerRound);
  for (auto _ : state) {
    double sum = 0;
    for (const double& x : xs) {
      double r;
      call(&r, kParams.data(), nullptr, &x);
      sum += r;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kPointsPerRound);
}

void PerPointCompiled(benchmark::State& state, const char* formula, EvalBackend backend) {
  const Expression expression = Compiled(formula, backend);
  if (backend == EvalBackend::Native && !expression.evaluator.isNative()) {
    state.SkipWithError("no native code on this machine");
    return;
  }
  const std::vector<double> xs = Abscissae(kPointsPerRound);
  for (auto _ : state) {
    double sum = 0;
    for (const double& x : xs) {
      double r;
      expression.evaluator(&r, kParams.data(), expression.constants.data(), &x);
      sum += r;
    }
    benchmark::DoNotOptimize(sum);
  }
  zentrel::ClearNumericError();
  state.SetItemsProcessed(state.iterations() * kPointsPerRound);
}

void BM_Formula1_Cxx(benchmark::State& state) { PerPointCxx(state, &Formula1); }
void BM_Formula1_Jit(benchmark::State& state) { PerPointCompiled(state, kFormula1, EvalBackend::Native); }
void BM_Formula1_Interpreter(benchmark::State& state) {
  PerPointCompiled(state, kFormula1, EvalBackend::Interpreter);
}
void BM_Formula2_Cxx(benchmark::State& state) { PerPointCxx(state, &Formula2); }
void BM_Formula2_Jit(benchmark::State& state) { PerPointCompiled(state, kFormula2, EvalBackend::Native); }
void BM_Formula2_Interpreter(benchmark::State& state) {
  PerPointCompiled(state, kFormula2, EvalBackend::Interpreter);
}
BENCHMARK(BM_Formula1_Cxx);
BENCHMARK(BM_Formula1_Jit);
BENCHMARK(BM_Formula1_Interpreter);
BENCHMARK(BM_Formula2_Cxx);
BENCHMARK(BM_Formula2_Jit);
BENCHMARK(BM_Formula2_Interpreter);

#ifdef ZENTREL_HAVE_MUPARSER
void PerPointMuParser(benchmark::State& state, const char* formula) {
  double x = 0;
  std::array<double, 4> a = {kParams[0], kParams[1], kParams[2], kParams[3]};
  mu::Parser parser;
  parser.DefineVar("X", &x);
  parser.DefineVar("A0", &a[0]);
  parser.DefineVar("A1", &a[1]);
  parser.DefineVar("A2", &a[2]);
  parser.DefineVar("A3", &a[3]);
  parser.DefineFun("EXP", static_cast<double (*)(double)>(&std::exp));
  parser.DefineFun("SIN", static_cast<double (*)(double)>(&std::sin));
  parser.SetExpr(formula);
  const std::vector<double> xs = Abscissae(kPointsPerRound);
  for (auto _ : state) {
    double sum = 0;
    for (double value : xs) {
      x = value;
      sum += parser.Eval();
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kPointsPerRound);
}
void BM_Formula1_MuParser(benchmark::State& state) { PerPointMuParser(state, kFormula1); }
void BM_Formula2_MuParser(benchmark::State& state) { PerPointMuParser(state, kFormula2); }
BENCHMARK(BM_Formula1_MuParser);
BENCHMARK(BM_Formula2_MuParser);
#endif

void BulkCompiled(benchmark::State& state, const char* formula) {
  const Expression expression = Compiled(formula, EvalBackend::Native);
  if (!expression.evaluator.isNative()) {
    state.SkipWithError("no native code on this machine");
    return;
  }
  const std::vector<double> xs = Abscissae(kBulkPoints);
  std::vector<double> ys(kBulkPoints);
  for (auto _ : state) {
    const std::size_t done =
        expression.evaluator.evaluateMany(kParams.data(), expression.constants.data(), xs.data(), ys.data(), xs.size());
    benchmark::DoNotOptimize(done);
    benchmark::DoNotOptimize(ys.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kBulkPoints));
}

void BM_Bulk1_Jit(benchmark::State& state) { BulkCompiled(state, kFormula1); }
void BM_Bulk2_Jit(benchmark::State& state) { BulkCompiled(state, kFormula2); }

void BM_Bulk1_CxxLoop(benchmark::State& state) {
  const std::vector<double> xs = Abscissae(kBulkPoints);
  std::vector<double> ys(kBulkPoints);
  const double* p = kParams.data();
  benchmark::DoNotOptimize(p);
  for (auto _ : state) {
    for (std::size_t i = 0; i < kBulkPoints; ++i) ys[i] = p[0] * std::exp(-xs[i] / p[1]) + p[2];
    benchmark::DoNotOptimize(ys.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kBulkPoints));
}

void BM_Bulk2_CxxLoop(benchmark::State& state) {
  const std::vector<double> xs = Abscissae(kBulkPoints);
  std::vector<double> ys(kBulkPoints);
  const double* p = kParams.data();
  benchmark::DoNotOptimize(p);
  for (auto _ : state) {
    for (std::size_t i = 0; i < kBulkPoints; ++i)
      ys[i] = p[0] * std::exp(-xs[i] / p[1]) + p[2] * std::pow(std::sin(xs[i]), 2) + p[3];
    benchmark::DoNotOptimize(ys.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kBulkPoints));
}

BENCHMARK(BM_Bulk1_Jit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bulk1_CxxLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bulk2_Jit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bulk2_CxxLoop)->Unit(benchmark::kMillisecond);

// Compiling a formula end to end, native code included.
void BM_CompileFormula2(benchmark::State& state) {
  for (auto _ : state) {
    Expression expression;
    benchmark::DoNotOptimize(zentrel::CompileExpression(kFormula2, expression).ok());
  }
}
BENCHMARK(BM_CompileFormula2);

}  // namespace
