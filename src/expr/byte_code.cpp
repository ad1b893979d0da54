#include "expr/byte_code.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "numeric/c_format.h"

namespace zentrel {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

Opcode OperatorOp(char c) {
  switch (c) {
    case '+': return Opcode::Add;
    case '-': return Opcode::Subtract;
    case '*': return Opcode::Multiply;
    case '/': return Opcode::Divide;
    default: return Opcode::Power;  // '^'
  }
}

bool IsOperatorChar(char c) { return c == '+' || c == '-' || c == '*' || c == '/' || c == '^'; }

struct NamedOp {
  std::string_view name;
  Opcode op;
};

// Tried in this order; the first that is a prefix of the text wins.
constexpr NamedOp kNames[] = {
    {"STEP", Opcode::Step}, {"COSH", Opcode::Cosh}, {"SINH", Opcode::Sinh}, {"TANH", Opcode::Tanh}, {"LN", Opcode::Ln},
    {"ERFC", Opcode::Erfc}, {"ERF", Opcode::Erf},   {"NEG", Opcode::Negate}, {"EXP", Opcode::Exp},  {"SIN", Opcode::Sin},
    {"COS", Opcode::Cos},   {"TAN", Opcode::Tan},   {"LOG", Opcode::Log},   {"X", Opcode::X},      {"PI", Opcode::Pi},
    {"ABS", Opcode::Abs},   {"ACOS", Opcode::Acos}, {"ASIN", Opcode::Asin}, {"ATAN", Opcode::Atan}, {"SQRT", Opcode::Sqrt},
    {"CEIL", Opcode::Ceil}, {"FLOOR", Opcode::Floor},
};

bool StartsWithName(std::string_view text, std::string_view name) {
  if (text.size() < name.size()) return false;
  for (size_t k = 0; k < name.size(); ++k)
    if (Upper(text[k]) != name[k]) return false;
  return true;
}

constexpr size_t kMaxLiteralLength = 255;

}  // namespace

bool IsFunctionOp(std::uint8_t opcode) {
  return (opcode >= static_cast<std::uint8_t>(Opcode::Exp) && opcode <= static_cast<std::uint8_t>(Opcode::Log)) ||
         (opcode >= static_cast<std::uint8_t>(Opcode::Abs) && opcode <= static_cast<std::uint8_t>(Opcode::Step));
}

int CompilePostfix(std::string_view postfix, std::string& error, ByteCode& byteCode, ConstantPool& constants) {
  byteCode.clear();
  int depth = 0;
  int constantCount = 0;
  size_t lastInstruction = SIZE_MAX;  // where the last emitted instruction starts
  auto at = [&](size_t k) { return k < postfix.size() ? postfix[k] : '\0'; };
  auto emit = [&](Opcode op) {
    lastInstruction = byteCode.size();
    byteCode.push_back(static_cast<std::uint8_t>(op));
  };
  auto fail = [&](int status, std::string message) {
    error = std::move(message);
    return status;
  };

  size_t pos = 0;
  for (;;) {
    const char c = at(pos);
    if (c == '\n' || c == '\0') break;
    if (c == ' ' || c == '\t') {
      ++pos;
      continue;
    }
    if (IsDigit(c)) {
      if (constantCount == kMaxConstants) return fail(kTooManyConstants, "error:too many constants in expression");
      std::string literal;
      while (literal.size() < kMaxLiteralLength) {
        const char d = at(pos);
        if (IsDigit(d) || d == '.') {
          literal += d;
          ++pos;
        } else if ((d == 'E' || d == 'e') && (at(pos + 1) == '+' || at(pos + 1) == '-' || IsDigit(at(pos + 1))) &&
                   literal.size() + 1 < kMaxLiteralLength) {
          literal += d;
          literal += at(pos + 1);
          pos += 2;
        } else {
          break;
        }
      }
      // Text the conversion leaves over (1.2.3, 2e+) is refused, not dropped.
      size_t used = 0;
      const double value = CStrtod(literal.c_str(), &used);
      if (used != literal.size())
        return fail(kUnexpectedCharacter, std::string("error:unexpected character:") + literal[used]);
      constants[static_cast<size_t>(constantCount)] = value;
      emit(Opcode::Constant);
      byteCode.push_back(static_cast<std::uint8_t>(constantCount));
      ++constantCount;
      if (++depth > kStackLimit) return fail(kStackOverflow, "error:stack overflow");
      continue;
    }
    if (IsOperatorChar(c)) {
      if (depth < 2) return fail(kStackUnderflow, "error:stack underflow");
      emit(OperatorOp(c));
      --depth;
      ++pos;
      continue;
    }
    if ((c == 'A' || c == 'a') && IsDigit(at(pos + 1))) {
      ++pos;
      long number = 0;
      while (IsDigit(at(pos))) {
        number = std::min(number * 10 + (at(pos) - '0'), 1000L);
        ++pos;
      }
      if (number >= kMaxParameters) return fail(kBadArgumentNumber, "error:bad argument number");
      emit(Opcode::Parameter);
      byteCode.push_back(static_cast<std::uint8_t>(number));
      if (++depth > kStackLimit) return fail(kStackOverflow, "error:stack overflow");
      continue;
    }
    const NamedOp* match = nullptr;
    for (const auto& named : kNames) {
      if (StartsWithName(postfix.substr(pos), named.name)) {
        match = &named;
        break;
      }
    }
    if (match == nullptr) return fail(kUnexpectedCharacter, std::string("error:unexpected character:") + c);
    pos += match->name.size();
    if (match->op == Opcode::X || match->op == Opcode::Pi) {
      emit(match->op);
      if (++depth > kStackLimit) return fail(kStackOverflow, "error:stack overflow");
      continue;
    }
    if (match->op == Opcode::Negate && lastInstruction != SIZE_MAX &&
        byteCode[lastInstruction] == static_cast<std::uint8_t>(Opcode::Constant)) {
      double& constant = constants[byteCode[lastInstruction + 1]];
      constant = -constant;
      continue;
    }
    // A function with nothing to apply to would read outside the stack.
    if (depth < 1) return fail(kStackUnderflow, "error:stack underflow");
    emit(match->op);
  }
  if (depth != 1) return fail(kIncompleteExpression, CFormat("error:incomplete expression! stack size:%d", depth));
  emit(Opcode::End);
  return kCompiled;
}

int CountParameters(std::span<const std::uint8_t> byteCode) {
  int count = 0;
  for (size_t k = 0; k < byteCode.size(); ++k) {
    const auto op = static_cast<Opcode>(byteCode[k]);
    if (op == Opcode::End) break;
    if (op == Opcode::Parameter || op == Opcode::Constant) {
      if (++k >= byteCode.size()) break;
      if (op == Opcode::Parameter) count = std::max(count, byteCode[k] + 1);
    }
  }
  return count;
}

bool IsRunnableByteCode(std::span<const std::uint8_t> byteCode) {
  int depth = 0;
  for (size_t k = 0; k < byteCode.size(); ++k) {
    const std::uint8_t opcode = byteCode[k];
    switch (static_cast<Opcode>(opcode)) {
      case Opcode::End: return depth == 1;
      case Opcode::Add:
      case Opcode::Subtract:
      case Opcode::Multiply:
      case Opcode::Divide:
      case Opcode::Power:
        if (depth < 2) return false;
        --depth;
        break;
      case Opcode::Parameter:
      case Opcode::Constant:
        if (++k >= byteCode.size() || byteCode[k] >= kMaxConstants) return false;
        if (++depth > kStackLimit) return false;
        break;
      case Opcode::X:
      case Opcode::Pi:
        if (++depth > kStackLimit) return false;
        break;
      default:
        if ((opcode == static_cast<std::uint8_t>(Opcode::Negate) || IsFunctionOp(opcode)) && depth < 1) return false;
        break;
    }
  }
  return false;  // no End
}

}  // namespace zentrel
