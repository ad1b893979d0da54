#include "expr/postfix.h"

#include <vector>

namespace zentrel {

namespace {

// Deeper nesting than any formula needs is refused rather than recursed into.
constexpr int kMaxNesting = 100;
// Function names waiting for their operand, per parenthesis level.
constexpr size_t kMaxPendingFunctions = 32;
// Significant characters of a name.
constexpr size_t kNameLength = 5;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsOperatorChar(char c) { return c == '+' || c == '-' || c == '*' || c == '/' || c == '^'; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool EndsName(char c) { return c == '\0' || IsBlank(c) || c == '(' || c == ')' || IsOperatorChar(c); }

int Precedence(char op) {
  switch (op) {
    case '^': return 3;
    case '*':
    case '/': return 2;
    default: return 1;
  }
}

class Converter {
 public:
  Converter(std::string_view text, std::string& error) : text_(text), error_(error) {}

  // Converts one parenthesis level starting at pos_, up to the end of the text
  // or a ')' of this level (which is left for the caller).
  bool level(std::string& out, int nesting) {
    std::vector<char> operators;
    std::vector<std::string> functions;
    enum { kStart, kAfterOperand, kAfterOperator } state = kStart;

    // Each function waiting on this level takes the operand just output.
    auto operandDone = [&] {
      state = kAfterOperand;
      for (auto f = functions.rbegin(); f != functions.rend(); ++f) out += *f + ' ';
      functions.clear();
    };

    for (;;) {
      while (IsBlank(at(pos_))) ++pos_;
      const char c = at(pos_);
      if (c == '\0' || c == ')') break;
      if (state == kAfterOperand) {
        if (!IsOperatorChar(c)) return fail("Missing operator before '" + tokenAt(pos_) + "'");
        while (!operators.empty() && Precedence(operators.back()) >= Precedence(c)) {
          out += ' ';
          out += operators.back();
          out += ' ';
          operators.pop_back();
        }
        operators.push_back(c);
        state = kAfterOperator;
        ++pos_;
        continue;
      }
      if (c == '(') {
        if (nesting >= kMaxNesting) return fail("Parentheses nested too deeply");
        const size_t open = pos_;
        ++pos_;
        std::string inner;
        if (!level(inner, nesting + 1)) return false;
        size_t close = open + 1;
        for (int depth = 1; depth > 0; ++close) {
          if (at(close) == '\0') return fail("Parentheses mismatch");
          if (at(close) == '(') ++depth;
          if (at(close) == ')') --depth;
        }
        out += inner;
        pos_ = close;
        operandDone();
      } else if (IsDigit(c) || c == '.') {
        copyLiteral(out);
        operandDone();
      } else if (c == '-') {
        // Unary minus: times −1, without popping anything.
        out += "1 NEG ";
        operators.push_back('*');
        state = kAfterOperator;
        ++pos_;
      } else if (IsOperatorChar(c)) {
        return fail("Too many operators");
      } else {
        std::string name;
        for (; !EndsName(at(pos_)); ++pos_)
          if (name.size() < kNameLength) name += at(pos_);
        const bool isPi = name.size() >= 2 && Upper(name[0]) == 'P' && Upper(name[1]) == 'I';
        const bool isParameter = name.size() >= 2 && Upper(name[0]) == 'A' && IsDigit(name[1]);
        if (isPi || Upper(name[0]) == 'X' || isParameter) {
          out += name + ' ';
          operandDone();
        } else {
          if (functions.size() == kMaxPendingFunctions) return fail("Too many functions in a row");
          functions.push_back(std::move(name));
        }
      }
    }
    // Functions that never received an operand are dropped.
    while (!operators.empty()) {
      out += ' ';
      out += operators.back();
      out += ' ';
      operators.pop_back();
    }
    return true;
  }

 private:
  char at(size_t k) const { return k < text_.size() ? text_[k] : '\0'; }

  bool fail(std::string message) {
    error_ = std::move(message);
    return false;
  }

  // The name, literal or single character starting at k, for messages.
  std::string tokenAt(size_t k) const {
    if (EndsName(at(k)) || IsDigit(at(k)) || at(k) == '.') return std::string(1, at(k));
    std::string token;
    while (!EndsName(at(k)) && token.size() < 16) token += at(k++);
    return token;
  }

  // Digits, '.' and blanks (dropped, so "1 2" reads 12), then an exponent:
  // 'e' always starts one, 'E' only before a sign (2E3 ends the literal at 2).
  void copyLiteral(std::string& out) {
    for (char c = at(pos_); IsDigit(c) || c == '.' || IsBlank(c); c = at(++pos_))
      if (!IsBlank(c)) out += c;
    const char letter = at(pos_);
    const char next = at(pos_ + 1);
    if (letter == 'e' || (letter == 'E' && (next == '+' || next == '-'))) {
      out += letter;
      ++pos_;
      if (next == '+' || next == '-' || IsDigit(next)) {
        out += next;
        ++pos_;
      }
      while (IsDigit(at(pos_))) out += at(pos_++);
    }
    out += ' ';
  }

  std::string_view text_;
  std::string& error_;
  size_t pos_ = 0;
};

}  // namespace

std::optional<std::string> ConvertToPostfix(std::string_view formula, std::string& error) {
  // The text ends at a NUL, as typed text does.
  formula = formula.substr(0, formula.find('\0'));
  // A line break would end the postfix text early and silently drop the rest.
  for (char c : formula) {
    if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F) {
      error = "Unexpected control character";
      return std::nullopt;
    }
  }
  std::string out;
  out.reserve(255);
  Converter converter(formula, error);
  if (!converter.level(out, 0)) return std::nullopt;
  return out;
}

}  // namespace zentrel
