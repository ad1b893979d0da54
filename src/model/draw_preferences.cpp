#include "model/draw_preferences.h"

#include <cctype>
#include <string>

namespace zentrel {

const char* DrawStyleName(DrawStyle style) { return style == DrawStyle::Paper ? "paper" : "classic"; }

bool ParseDrawStyle(const char* text, DrawStyle& style) {
  if (text == nullptr) return false;
  std::string word(text);
  for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (word == "classic") {
    style = DrawStyle::Classic;
    return true;
  }
  if (word == "paper") {
    style = DrawStyle::Paper;
    return true;
  }
  return false;
}

}  // namespace zentrel
