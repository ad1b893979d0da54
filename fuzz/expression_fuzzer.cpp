// Formulas come from users, files and scripts: conversion, compilation and
// code generation must never crash, loop or overrun, and the native code
// must compute exactly what the interpreter computes. The input is tried
// both as a formula and as postfix text.

#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <string_view>

#include "expr/byte_code.h"
#include "expr/eval_function.h"
#include "expr/postfix.h"
#include "numeric/numeric_error.h"

namespace {

using namespace zentrel;

bool Same(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) || std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

void Check(const ByteCode& code, const ConstantPool& constants) {
  const EvalFunction native = GenerateCode(code, EvalBackend::Native);
  const EvalFunction interpreted = GenerateCode(code, EvalBackend::Interpreter);
  if (!interpreted) return;
  if (!native) {
    if (NativeCodeSupported()) std::abort();  // runnable byte code must compile
    return;
  }
  const std::array<double, 32> params{{1.5, -0.25, 3, 0, 1e-300, -7, 2, 0.5}};
  static const double xs[] = {-3, -1, -0.0, 0, 0.5, 1, 2, 1e8, 1e300, NAN, INFINITY, -INFINITY};
  for (double x : xs) {
    ClearNumericError();
    double a = 0, b = 0;
    native(&a, params.data(), constants.data(), &x);
    const NumericError nativeError = NumericErrorState();
    ClearNumericError();
    interpreted(&b, params.data(), constants.data(), &x);
    if (!Same(a, b) || nativeError.code != NumericErrorState().code ||
        nativeError.message != NumericErrorState().message) {
      std::fprintf(stderr, "native %.17g (code %d), interpreter %.17g (code %d) at x=%g\n", a, nativeError.code, b,
                   NumericErrorState().code, x);
      std::abort();
    }
  }
  // The bulk form against the per-point form.
  double ys[std::size(xs)];
  ClearNumericError();
  const std::size_t done = native.evaluateMany(params.data(), constants.data(), xs, ys, std::size(xs));
  if (done == 0 || done > std::size(xs)) std::abort();
  for (std::size_t i = 0; i < done; ++i) {
    ClearNumericError();
    double single = 0;
    interpreted(&single, params.data(), constants.data(), &xs[i]);
    if (!Same(single, ys[i])) std::abort();
  }
  ClearNumericError();
}

void Compile(std::string_view postfix) {
  std::string error;
  ByteCode code;
  ConstantPool constants{};
  const int status = CompilePostfix(postfix, error, code, constants);
  if (status != kCompiled) {
    if (status >= 0 || error.empty()) std::abort();
    return;
  }
  if (!IsRunnableByteCode(code) || CountParameters(code) > kMaxParameters) std::abort();
  Check(code, constants);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string error;
  if (const auto postfix = ConvertToPostfix(text, error)) {
    Compile(*postfix);
  } else if (error.empty()) {
    std::abort();
  }
  Compile(text);
  return 0;
}
