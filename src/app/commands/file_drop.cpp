#include "app/commands/file_drop.h"

#include <algorithm>
#include <cctype>

#include "app/commands/dispatch.h"
#include "app/commands/file_commands.h"
#include "app/forwarding_ui.h"
#include "app/ui.h"

namespace zentrel {

namespace {

// Answers the command's file dialog with the dropped file and passes every
// other question to the person.
class DroppedFileUi : public ForwardingUi {
 public:
  DroppedFileUi(Ui& inner, std::string path) : ForwardingUi(inner), path_(std::move(path)) {}

  std::optional<std::string> openFileName(const FileDialogRequest&) override { return path_; }
  std::optional<std::vector<std::string>> openFileNames(const FileDialogRequest&) override {
    return std::vector<std::string>{path_};
  }

 private:
  std::string path_;
};

}  // namespace

bool IsGraphFileName(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  const size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  std::string extension = path.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == "ztl";
}

void OpenDroppedFiles(CZentrelDoc& doc, Ui& ui, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    DroppedFileUi answered(ui, path);
    // Open and Import Data themselves: the same questions, snapshot and status.
    Dispatch(doc, answered, IsGraphFileName(path) ? Cmd::Open : Cmd::ImportData);
  }
}

}  // namespace zentrel
