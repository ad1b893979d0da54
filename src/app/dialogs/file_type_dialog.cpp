#include "app/dialogs/file_type_dialog.h"

#include "app/ui.h"

namespace zentrel {

namespace {

constexpr FileTypeDialogModel::Button kButtons[] = {
  {"Fsdata", 5, FileKind::Fsdata},
  {"ASCII", 1001, FileKind::Ascii},
  {"CSV", 3, FileKind::Csv},
  {"Cancel", 2, FileKind::None},
};

}  // namespace

std::span<const FileTypeDialogModel::Button> FileTypeDialogModel::buttons() { return kButtons; }

void FileTypeDialogModel::press(int controlId) {
  result = FileKind::None;
  for (const auto& button : kButtons)
    if (button.controlId == controlId) result = button.result;
}

std::vector<DialogField> FileTypeDialogModel::scriptFields() {
  return {{"type", [this](std::string_view value) -> std::optional<std::string> {
             if (value == "fsdata") {
               press(5);
             } else if (value == "ascii") {
               press(1001);
             } else if (value == "csv") {
               press(3);
             } else {
               return "expected fsdata, ascii or csv";
             }
             return std::nullopt;
           }}};
}

std::optional<std::string> FileTypeDialogModel::validate() {
  if (result == FileKind::None) return "missing answer type=ascii|csv|fsdata";
  return std::nullopt;
}

FileKind ChooseFileType(Ui& ui) {
  FileTypeDialogModel chooser;
  if (!ui.runDialog(chooser)) return FileKind::None;
  return chooser.result;
}

}  // namespace zentrel
