#include "app/commands/file_drop.h"

#include <algorithm>
#include <cctype>

#include "app/commands/dispatch.h"
#include "app/commands/file_commands.h"
#include "app/settling_ui.h"
#include "app/ui.h"

namespace zentrel {

namespace {

// Answers the command's file dialog with the dropped file and passes every
// other question to the person.
class DroppedFileUi : public Ui {
 public:
  DroppedFileUi(Ui& inner, std::string path) : inner_(inner), path_(std::move(path)) {}

  std::optional<std::string> openFileName(const FileDialogRequest&) override { return path_; }
  std::optional<std::vector<std::string>> openFileNames(const FileDialogRequest&) override {
    return std::vector<std::string>{path_};
  }

  bool pickFromList(SetPickerModel& picker) override { return inner_.pickFromList(picker); }
  bool runDialog(DialogModel& dialog) override { return inner_.runDialog(dialog); }
  std::optional<std::uint32_t> chooseColor(std::uint32_t initial) override { return inner_.chooseColor(initial); }
  void messageBox(const std::string& text) override { inner_.messageBox(text); }
  void redraw() override { inner_.redraw(); }
  std::optional<PageLayout> drawingLayout() const override { return inner_.drawingLayout(); }
  std::optional<std::string> saveFileName(const FileDialogRequest& request) override {
    return inner_.saveFileName(request);
  }
  std::optional<std::string> clipboardText() override { return inner_.clipboardText(); }
  void setClipboardText(const std::string& text) override { inner_.setClipboardText(text); }
  std::optional<bool> askSaveChanges(const std::string& documentTitle) override {
    return inner_.askSaveChanges(documentTitle);
  }
  ProgressCallback beginProgress(const std::string& label) override { return inner_.beginProgress(label); }
  void endProgress() override { inner_.endProgress(); }
  void showFitDialog(FitDialogModel& dialog) override { inner_.showFitDialog(dialog); }

 private:
  Ui& inner_;
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
