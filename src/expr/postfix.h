#pragma once
// Infix formula text to postfix text, the first stage of compiling a formula.
//
// The language: the variable X, parameters A0..A31, PI, numeric literals,
// the binary operators + - * / ^ (all left-associative: 2^3^2 is 64; ^ binds
// tighter than * and /, which bind tighter than + and -), unary minus (it
// becomes "1 NEG" and a pending '*', so -X^2 is −(X²)), parentheses, and
// functions that apply to the next single operand or parenthesised group
// (SIN X^2 is (sin X)²). Names are case-insensitive.

#include <optional>
#include <string>
#include <string_view>

namespace zentrel {

// Returns the postfix text (tokens separated by blanks), or nullopt with one
// message in `error`. A ')' without a partner at the outermost level ends
// the formula. Never loops and never recurses without bound.
std::optional<std::string> ConvertToPostfix(std::string_view formula, std::string& error);

}  // namespace zentrel
