#include "app/script/script_line.h"

#include <cctype>

namespace zentrel {

std::optional<std::string> ScriptLine::take(std::string_view key) const {
  for (const auto& argument : arguments) {
    if (argument.key == key) {
      argument.used = true;
      return argument.value;
    }
  }
  return std::nullopt;
}

bool ScriptLine::has(std::string_view key) const {
  for (const auto& argument : arguments)
    if (argument.key == key) return true;
  return false;
}

bool ScriptLine::takeFlag(std::string_view flag) const {
  for (const auto& argument : arguments) {
    if (argument.key.empty() && !argument.quoted && argument.value == flag) {
      argument.used = true;
      return true;
    }
  }
  return false;
}

std::vector<std::string> ScriptLine::positional() const {
  std::vector<std::string> words;
  for (const auto& argument : arguments) {
    if (!argument.key.empty()) continue;
    argument.used = true;
    words.push_back(argument.value);
  }
  return words;
}

std::vector<std::string> ScriptLine::unusedKeys() const {
  std::vector<std::string> unused;
  for (const auto& argument : arguments)
    if (!argument.used) unused.push_back(argument.key.empty() ? argument.value : argument.key);
  return unused;
}

namespace {

bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

}  // namespace

std::optional<std::string> ParseScriptLine(std::string_view text, ScriptLine& line) {
  line = ScriptLine{};
  bool first = true;
  size_t k = 0;
  while (k < text.size()) {
    while (k < text.size() && IsBlank(text[k])) ++k;
    if (k >= text.size() || text[k] == '#') break;
    std::string word;
    bool quoted = false;
    size_t equals = std::string::npos;
    while (k < text.size() && !IsBlank(text[k])) {
      const char c = text[k];
      if (c == '=' && equals == std::string::npos) equals = word.size();
      if (c != '"') {
        word += c;
        ++k;
        continue;
      }
      // A quoted run: blanks and '#' are literal, escapes resolved.
      quoted = true;
      ++k;
      bool closed = false;
      while (k < text.size()) {
        char q = text[k++];
        if (q == '"') {
          closed = true;
          break;
        }
        if (q == '\\' && k < text.size()) {
          const char e = text[k++];
          q = e == 'n' ? '\n' : e == 't' ? '\t' : e;
        }
        word += q;
      }
      if (!closed) return "unterminated quote";
    }
    if (first) {
      first = false;
      line.command = word;
      continue;
    }
    ScriptArgument argument;
    if (equals != std::string::npos) {
      argument.key = word.substr(0, equals);
      argument.value = word.substr(equals + 1);
      argument.hasValue = true;
      if (argument.key.empty()) return "argument without a name: " + word;
    } else {
      // A bare word: a flag such as `cancel`, or a positional value.
      argument.value = word;
      argument.quoted = quoted;
    }
    line.arguments.push_back(argument);
  }
  return std::nullopt;
}

}  // namespace zentrel
