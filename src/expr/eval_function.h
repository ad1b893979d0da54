#pragma once
// A compiled formula ready to evaluate: native x86-64 code when it can be
// had, otherwise an interpreter of the byte code with bit-identical results.
// The parameters and the constant pool are read at every call, so changing a
// parameter between calls changes the result without recompiling.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace zentrel {

namespace expr_detail {
struct Program;
}

enum class EvalBackend {
  Default,      // native code unless ZENTREL_JIT=0, the CPU or the system refuses it
  Interpreter,  // always the byte-code interpreter
  Native,       // native code or nothing (tests compare the two)
};

// Copies share the same code; the code is released with the last copy.
class EvalFunction {
 public:
  using NativePoint = void (*)(double* result, const double* params, const double* constants, const double* x);

  EvalFunction() = default;

  explicit operator bool() const { return program_ != nullptr; }
  bool isNative() const { return point_ != nullptr; }
  // Where the native code starts (null for the interpreter), for diagnostics.
  const void* nativeAddress() const { return reinterpret_cast<const void*>(point_); }

  // Evaluates at *x: `params` indexed by parameter number (A0..A31),
  // `constants` the formula's constant pool. An empty evaluator writes NaN.
  void operator()(double* result, const double* params, const double* constants, const double* x) const {
    if (point_ != nullptr) [[likely]]
      point_(result, params, constants, x);
    else
      interpret(result, params, constants, x);
  }

  // Evaluates xs[0..count) into ys[0..count) in order, each result exactly
  // what the per-point call gives. Stops after the first point that leaves
  // the numeric error state's `code` non-zero (clear it first). Returns the
  // number of points evaluated: when `code` is then non-zero, the last of
  // them is the one that failed (its y holds the substituted value).
  std::size_t evaluateMany(const double* params, const double* constants, const double* xs, double* ys,
                           std::size_t count) const;

 private:
  friend EvalFunction GenerateCode(std::span<const std::uint8_t> byteCode, EvalBackend backend);
  void interpret(double* result, const double* params, const double* constants, const double* x) const;

  std::shared_ptr<const expr_detail::Program> program_;
  NativePoint point_ = nullptr;
};

// Makes an evaluator from byte code (CompilePostfix). Empty when the byte
// code cannot be run safely (IsRunnableByteCode), or for EvalBackend::Native
// when no native code can be made.
EvalFunction GenerateCode(std::span<const std::uint8_t> byteCode, EvalBackend backend = EvalBackend::Default);

// Drops this evaluator's hold on its code (the executable block goes with
// the last holder).
void ReleaseCode(EvalFunction& evaluator);

// True when this build and machine can generate native code at all.
bool NativeCodeSupported();

}  // namespace zentrel
