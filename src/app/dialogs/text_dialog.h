#pragma once
// One editable text with OK and Cancel: the Rename dialog (a single line) and
// the Comments dialog (several lines, Enter starts a new line).

#include <string>

#include "app/dialogs/dialog_model.h"

namespace zentrel {

class TextDialogModel : public DialogModel {
 public:
  TextDialogModel(std::string title, std::string scriptKey, std::string text, bool multiLine);

  std::string title() const override { return title_; }
  std::vector<DialogField> scriptFields() override;
  bool multiLine() const { return multiLine_; }

  std::string text;

 private:
  std::string title_;
  std::string scriptKey_;
  bool multiLine_;
};

// Multi-line texts are kept with CR LF line ends, as imported comments are.
std::string ToCrLfLines(std::string_view text);

// Dialog 134, "Dialog": the set's new name.
TextDialogModel MakeRenameDialog(const std::string& currentName);
// Dialog 141, "Comments Dialog": the set's comment, lines ended by CR LF.
TextDialogModel MakeCommentsDialog(const std::string& currentComment);

}  // namespace zentrel
