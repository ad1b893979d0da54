#pragma once
// The compiled form of a formula: a byte code for a stack machine of doubles,
// plus a pool of the formula's numeric literals. CompilePostfix makes it from
// postfix text (ConvertToPostfix); GenerateCode turns it into an evaluator.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

// One-byte opcodes. Parameter and Constant are followed by an operand byte,
// an index 0..31 (which may be 0: scans for End must step over operands).
enum class Opcode : std::uint8_t {
  End = 0,
  Add = 1,
  Subtract = 2,  // second-from-top minus top
  Multiply = 3,
  Divide = 4,    // second-from-top divided by top
  Power = 5,
  Negate = 6,    // 0 − top
  Parameter = 7,
  Constant = 8,
  Exp = 9,
  Sin = 10,
  Cos = 11,
  Tan = 12,
  Ln = 13,
  Log = 14,      // base 10
  X = 15,
  Pi = 16,
  Abs = 17,
  Acos = 18,
  Asin = 19,
  Atan = 20,
  Cosh = 21,
  Sinh = 22,
  Tanh = 23,
  Sqrt = 24,
  Ceil = 25,
  Floor = 26,
  Erf = 27,
  Erfc = 28,
  Step = 29,
};

inline constexpr int kMaxConstants = 32;
inline constexpr int kMaxParameters = 32;
// Values the evaluation stack holds.
inline constexpr int kStackLimit = 8;

using ByteCode = std::vector<std::uint8_t>;
using ConstantPool = std::array<double, kMaxConstants>;

// Statuses of CompilePostfix.
inline constexpr int kCompiled = 0;
inline constexpr int kTooManyConstants = -1;    // also a parameter number above 31
inline constexpr int kBadArgumentNumber = -1;
inline constexpr int kStackUnderflow = -2;
inline constexpr int kUnexpectedCharacter = -3;
inline constexpr int kIncompleteExpression = -4;
inline constexpr int kStackOverflow = -7;

// Compiles postfix text into `byteCode` (replaced; handed back even on
// failure), filling `constants` with the literals in order of appearance.
// Returns kCompiled, or a negative status with one message in `error`.
int CompilePostfix(std::string_view postfix, std::string& error, ByteCode& byteCode, ConstantPool& constants);

// Highest parameter index used plus 1; 0 when no parameter occurs.
int CountParameters(std::span<const std::uint8_t> byteCode);

// True when the byte code can be run safely: every operand present and below
// 32, the stack never below the values an opcode takes nor above
// kStackLimit, and End reached with exactly one value. Opcodes without a
// meaning are skipped, as evaluation skips them.
bool IsRunnableByteCode(std::span<const std::uint8_t> byteCode);

// The opcodes that take one value and call a function on it.
bool IsFunctionOp(std::uint8_t opcode);

}  // namespace zentrel
