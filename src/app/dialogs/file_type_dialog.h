#pragma once
// The file-type chooser (dialog 103, "Select a File type"): four push
// buttons side by side; each of the first three closes the dialog with its
// kind, Cancel or closing the window gives none.

#include <span>
#include <string>

#include "app/dialogs/dialog_model.h"

namespace zentrel {

class Ui;

// The chooser's results, in its own numbering.
enum class FileKind : int { None = 0, Fsdata = 1, Ascii = 2, Csv = 3 };

class FileTypeDialogModel : public DialogModel {
 public:
  static constexpr int kDialogId = 103;

  struct Button {
    const char* caption;
    int controlId;
    FileKind result;
  };
  // Left to right: "Fsdata" (5), "ASCII" (1001), "CSV" (3), "Cancel" (2).
  static std::span<const Button> buttons();

  std::string title() const override { return "Select a File type"; }
  // `type=fsdata|ascii|csv` presses that button.
  std::vector<DialogField> scriptFields() override;
  // A script must say which button it presses.
  std::optional<std::string> validate() override;

  // A button press: the kind of that button (none for Cancel or an unknown id).
  void press(int controlId);

  FileKind result = FileKind::None;
};

// Shows the chooser; FileKind::None on Cancel.
FileKind ChooseFileType(Ui& ui);

}  // namespace zentrel
