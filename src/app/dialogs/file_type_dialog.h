#pragma once
// The file-type chooser (dialog 103, "Select a File type"): push buttons
// side by side; each kind's button closes the dialog with its kind, Cancel
// or closing the window gives none. Imports also offer "Options...", a text
// file read the way the Import Options dialog says.

#include <span>
#include <string>

#include "app/dialogs/dialog_model.h"

namespace zentrel {

class Ui;

// The chooser's results, in its own numbering.
enum class FileKind : int { None = 0, Fsdata = 1, Ascii = 2, Csv = 3, Options = 4 };

// What the chosen kind is for: exports have no "Options..." (there is
// nothing to ask before writing a file; ASCII and CSV write text).
enum class FileTypeUse { Import, Export };

class FileTypeDialogModel : public DialogModel {
 public:
  static constexpr int kDialogId = 103;
  static constexpr int kOptionsButton = 1002;

  struct Button {
    const char* caption;
    int controlId;
    FileKind result;
  };

  explicit FileTypeDialogModel(FileTypeUse use = FileTypeUse::Import) : use_(use) {}

  // Left to right: "Fsdata" (5), "ASCII" (1001), "CSV" (3), for imports
  // "Options..." (1002), and "Cancel" (2).
  std::span<const Button> buttons() const;

  std::string title() const override { return "Select a File type"; }
  // `type=fsdata|ascii|csv|options` presses that button (options: imports
  // only).
  std::vector<DialogField> scriptFields() override;
  // A script must say which button it presses.
  std::optional<std::string> validate() override;

  // A button press: the kind of that button (none for Cancel or an id the
  // chooser does not show).
  void press(int controlId);

  FileKind result = FileKind::None;

 private:
  FileTypeUse use_;
};

// Shows the chooser; FileKind::None on Cancel.
FileKind ChooseFileType(Ui& ui, FileTypeUse use = FileTypeUse::Import);

}  // namespace zentrel
