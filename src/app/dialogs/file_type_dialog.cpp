#include "app/dialogs/file_type_dialog.h"

#include "app/ui.h"

namespace zentrel {

namespace {

constexpr FileTypeDialogModel::Button kImportButtons[] = {
  {"Fsdata", 5, FileKind::Fsdata},
  {"ASCII", 1001, FileKind::Ascii},
  {"CSV", 3, FileKind::Csv},
  {"Options...", FileTypeDialogModel::kOptionsButton, FileKind::Options},
  {"Cancel", 2, FileKind::None},
};

constexpr FileTypeDialogModel::Button kExportButtons[] = {
  {"Fsdata", 5, FileKind::Fsdata},
  {"ASCII", 1001, FileKind::Ascii},
  {"CSV", 3, FileKind::Csv},
  {"Cancel", 2, FileKind::None},
};

}  // namespace

std::span<const FileTypeDialogModel::Button> FileTypeDialogModel::buttons() const {
  if (use_ == FileTypeUse::Export) return kExportButtons;
  return kImportButtons;
}

void FileTypeDialogModel::press(int controlId) {
  result = FileKind::None;
  for (const auto& button : buttons())
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
             } else if (value == "options" && use_ == FileTypeUse::Import) {
               press(kOptionsButton);
             } else if (value == "options") {
               return "Options... is for imports only: expected fsdata, ascii or csv";
             } else {
               return use_ == FileTypeUse::Import ? "expected fsdata, ascii, csv or options"
                                                  : "expected fsdata, ascii or csv";
             }
             return std::nullopt;
           }}};
}

std::optional<std::string> FileTypeDialogModel::validate() {
  if (result == FileKind::None)
    return use_ == FileTypeUse::Import ? "missing answer type=ascii|csv|fsdata|options"
                                       : "missing answer type=ascii|csv|fsdata";
  return std::nullopt;
}

FileKind ChooseFileType(Ui& ui, FileTypeUse use) {
  FileTypeDialogModel chooser(use);
  if (!ui.runDialog(chooser)) return FileKind::None;
  return chooser.result;
}

}  // namespace zentrel
