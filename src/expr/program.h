#pragma once
// Internal to the expression engine: what an EvalFunction holds.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "expr/eval_function.h"

namespace zentrel::expr_detail {

// Bulk form of the native code: evaluates xs[0..count) into ys, stopping
// after the first point that leaves *errorCode non-zero; returns the number
// of points evaluated.
using NativeBulk = std::size_t (*)(const double* params, const double* constants, const double* xs, double* ys,
                                   std::size_t count, const std::int32_t* errorCode);

// One block of executable memory holding both entry points.
struct NativeCode {
  void* block = nullptr;
  std::size_t size = 0;
  EvalFunction::NativePoint point = nullptr;
  NativeBulk bulk = nullptr;
};

// Native code for runnable byte code; false when the CPU, the build or the
// system (no executable memory) does not allow it.
bool GenerateNative(const std::vector<std::uint8_t>& byteCode, NativeCode& out);
void ReleaseNative(NativeCode& code);

struct Program {
  std::vector<std::uint8_t> byteCode;  // runnable, ends with Opcode::End
  NativeCode native;                   // block null for the interpreter

  Program() = default;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  ~Program() { ReleaseNative(native); }
};

// The interpreter: one point, and the bulk loop with the native semantics.
double Interpret(const std::uint8_t* code, const double* params, const double* constants, const double* x);
std::size_t InterpretMany(const std::uint8_t* code, const double* params, const double* constants, const double* xs,
                          double* ys, std::size_t count, const std::int32_t* errorCode);

// The function each one-value opcode calls (null for the others), and π.
using UnaryFunction = double (*)(double);
UnaryFunction FunctionOf(std::uint8_t opcode);
double StepFunction(double a);
inline constexpr double kPi = 3.141592653589793238462643383279502884;

}  // namespace zentrel::expr_detail
