#include "app/dialogs/text_dialog.h"

#include <utility>

namespace zentrel {

std::string ToCrLfLines(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t k = 0; k < text.size(); ++k) {
    if (text[k] == '\n' && (k == 0 || text[k - 1] != '\r')) out += '\r';
    out += text[k];
  }
  return out;
}

TextDialogModel::TextDialogModel(std::string title, std::string scriptKey, std::string initial,
                                 bool multiLine)
    : text(std::move(initial)), title_(std::move(title)), scriptKey_(std::move(scriptKey)), multiLine_(multiLine) {}

std::vector<DialogField> TextDialogModel::scriptFields() {
  return {{scriptKey_, [this](std::string_view value) -> std::optional<std::string> {
             text = multiLine_ ? ToCrLfLines(value) : std::string(value);
             return std::nullopt;
           }}};
}

TextDialogModel MakeRenameDialog(const std::string& currentName) {
  return TextDialogModel("Dialog", "name", currentName, false);
}

TextDialogModel MakeCommentsDialog(const std::string& currentComment) {
  return TextDialogModel("Comments Dialog", "comment", currentComment, true);
}

}  // namespace zentrel
