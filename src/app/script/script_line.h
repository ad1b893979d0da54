#pragma once
// One line of a command script, split into the command word, key=value
// arguments and plain (positional) words.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

struct ScriptArgument {
  std::string key;    // empty for a positional word
  std::string value;  // quotes removed, escapes resolved
  bool hasValue = false;
  bool quoted = false;  // a positional word written in quotes (never a flag)
  mutable bool used = false;
};

struct ScriptLine {
  std::string command;  // empty for a blank or comment-only line
  std::vector<ScriptArgument> arguments;

  // The value of key=..., marking it used; nullopt when absent.
  std::optional<std::string> take(std::string_view key) const;
  bool has(std::string_view key) const;
  // A bare word such as `cancel`, marking it used.
  bool takeFlag(std::string_view flag) const;
  // Positional words in order, marking them used.
  std::vector<std::string> positional() const;
  // Arguments nothing asked for.
  std::vector<std::string> unusedKeys() const;
};

// Splits a line. Double quotes group blanks; inside them \" \\ \n \t are
// escapes. A '#' that starts a word starts a comment (so color=#FF0000 is
// a value). Returns an error message
// for an unterminated quote.
std::optional<std::string> ParseScriptLine(std::string_view text, ScriptLine& line);

}  // namespace zentrel
