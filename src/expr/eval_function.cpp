#include "expr/eval_function.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "expr/byte_code.h"
#include "expr/program.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

bool JitSwitchedOff() {
  const char* value = std::getenv("ZENTREL_JIT");
  return value != nullptr && std::strcmp(value, "0") == 0;
}

}  // namespace

void EvalFunction::interpret(double* result, const double* params, const double* constants, const double* x) const {
  if (!program_) {
    *result = std::numeric_limits<double>::quiet_NaN();
    return;
  }
  *result = expr_detail::Interpret(program_->byteCode.data(), params, constants, x);
}

std::size_t EvalFunction::evaluateMany(const double* params, const double* constants, const double* xs, double* ys,
                                       std::size_t count) const {
  const std::int32_t* errorCode = &NumericErrorState().code;
  if (!program_) {
    for (std::size_t i = 0; i < count; ++i) ys[i] = std::numeric_limits<double>::quiet_NaN();
    return count;
  }
  if (program_->native.bulk != nullptr) return program_->native.bulk(params, constants, xs, ys, count, errorCode);
  return expr_detail::InterpretMany(program_->byteCode.data(), params, constants, xs, ys, count, errorCode);
}

EvalFunction GenerateCode(std::span<const std::uint8_t> byteCode, EvalBackend backend) {
  EvalFunction evaluator;
  if (!IsRunnableByteCode(byteCode)) return evaluator;
  auto program = std::shared_ptr<expr_detail::Program>(new (std::nothrow) expr_detail::Program);
  if (!program) return evaluator;
  program->byteCode.assign(byteCode.begin(), byteCode.end());
  const bool wantNative =
      backend == EvalBackend::Native || (backend == EvalBackend::Default && !JitSwitchedOff());
  if (wantNative) {
    if (!expr_detail::GenerateNative(program->byteCode, program->native)) program->native = {};
    if (backend == EvalBackend::Native && program->native.point == nullptr) return evaluator;
  }
  evaluator.point_ = program->native.point;
  evaluator.program_ = std::move(program);
  return evaluator;
}

void ReleaseCode(EvalFunction& evaluator) { evaluator = EvalFunction(); }

}  // namespace zentrel
