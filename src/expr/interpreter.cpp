// The byte-code interpreter: the evaluator where no native code can be had,
// and the reference the native code must match bit for bit. Every operation
// is the same IEEE double operation, in the same order, calling the same
// functions as the generated code.

#include <array>

#include "expr/byte_code.h"
#include "expr/program.h"
#include "numeric/checked_math.h"
#include "numeric/erfc.h"

namespace zentrel::expr_detail {

namespace {

constexpr std::array<UnaryFunction, 256> MakeFunctionTable() {
  std::array<UnaryFunction, 256> table{};
  auto set = [&](Opcode op, UnaryFunction f) { table[static_cast<std::uint8_t>(op)] = f; };
  set(Opcode::Exp, &CheckedExp);
  set(Opcode::Sin, &CheckedSin);
  set(Opcode::Cos, &CheckedCos);
  set(Opcode::Tan, &CheckedTan);
  set(Opcode::Ln, &CheckedLog);
  set(Opcode::Log, &CheckedLog10);
  set(Opcode::Abs, &CheckedFabs);
  set(Opcode::Acos, &CheckedAcos);
  set(Opcode::Asin, &CheckedAsin);
  set(Opcode::Atan, &CheckedAtan);
  set(Opcode::Cosh, &CheckedCosh);
  set(Opcode::Sinh, &CheckedSinh);
  set(Opcode::Tanh, &CheckedTanh);
  set(Opcode::Sqrt, &CheckedSqrt);
  set(Opcode::Ceil, &CheckedCeil);
  set(Opcode::Floor, &CheckedFloor);
  set(Opcode::Erf, &Erf);
  set(Opcode::Erfc, &Erfc);
  set(Opcode::Step, &StepFunction);
  return table;
}

constexpr std::array<UnaryFunction, 256> kFunctions = MakeFunctionTable();

// Runs runnable byte code (IsRunnableByteCode), so the stack stays in bounds.
inline double Run(const std::uint8_t* code, const double* params, const double* constants, const double* x) {
  double stack[kStackLimit];
  int top = -1;
  for (;;) {
    const std::uint8_t opcode = *code++;
    switch (static_cast<Opcode>(opcode)) {
      case Opcode::End: return stack[0];
      case Opcode::Add: stack[top - 1] = stack[top - 1] + stack[top], --top; break;
      case Opcode::Subtract: stack[top - 1] = stack[top - 1] - stack[top], --top; break;
      case Opcode::Multiply: stack[top - 1] = stack[top - 1] * stack[top], --top; break;
      case Opcode::Divide: stack[top - 1] = stack[top - 1] / stack[top], --top; break;
      case Opcode::Power: stack[top - 1] = CheckedPow(stack[top - 1], stack[top]), --top; break;
      case Opcode::Negate: stack[top] = 0.0 - stack[top]; break;
      case Opcode::Parameter: stack[++top] = params[*code++]; break;
      case Opcode::Constant: stack[++top] = constants[*code++]; break;
      case Opcode::X: stack[++top] = *x; break;
      case Opcode::Pi: stack[++top] = kPi; break;
      default:
        if (UnaryFunction f = kFunctions[opcode]) stack[top] = f(stack[top]);
        break;
    }
  }
}

}  // namespace

UnaryFunction FunctionOf(std::uint8_t opcode) { return kFunctions[opcode]; }

// STEP(0) is 1, and so is STEP(NaN).
double StepFunction(double a) { return a < 0 ? 0.0 : 1.0; }

double Interpret(const std::uint8_t* code, const double* params, const double* constants, const double* x) {
  return Run(code, params, constants, x);
}

std::size_t InterpretMany(const std::uint8_t* code, const double* params, const double* constants, const double* xs,
                          double* ys, std::size_t count, const std::int32_t* errorCode) {
  std::size_t i = 0;
  while (i < count) {
    ys[i] = Run(code, params, constants, &xs[i]);
    ++i;
    if (*errorCode != 0) break;
  }
  return i;
}

}  // namespace zentrel::expr_detail
