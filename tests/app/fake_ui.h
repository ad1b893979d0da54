#pragma once
// A scripted stand-in for a person: queued answers, and a record of what the
// commands showed.

#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/dialogs/dialog_model.h"
#include "app/dialogs/set_picker.h"
#include "app/ui.h"

namespace zentrel::testing {

class FakeUi : public Ui {
 public:
  // Picker answers: a line index, or -1 for Cancel.
  std::deque<int> pickAnswers;
  // Dialog answers: edits the dialog and returns true for OK.
  std::deque<std::function<bool(DialogModel&)>> dialogAnswers;
  std::deque<std::optional<std::uint32_t>> colourAnswers;
  // File dialog answers: a path (several for the multiple-selection dialog),
  // or nothing for Cancel.
  std::deque<std::optional<std::string>> fileAnswers;
  std::deque<std::optional<std::vector<std::string>>> multiFileAnswers;
  // The clipboard's plain text; nothing when it holds no text.
  std::optional<std::string> clipboard;
  // "Save changes to %1?" answers: true Yes, false No, nothing Cancel.
  std::deque<std::optional<bool>> saveChangesAnswers;
  std::vector<std::string> saveChangesAsked;  // the titles asked about

  struct ShownPicker {
    std::string title;
    std::vector<std::string> lines;
  };
  std::vector<ShownPicker> pickersShown;
  std::vector<std::string> dialogsShown;
  std::vector<std::string> messages;
  struct ShownFileDialog {
    enum Kind { Open, OpenMany, Save } kind;
    FileDialogRequest request;
  };
  std::vector<ShownFileDialog> fileDialogsShown;
  int redraws = 0;
  // Long operations: the labels shown, how many are open now, and after how
  // many progress reports the person presses Cancel (-1: never).
  std::vector<std::string> progressLabels;
  int progressOpen = 0;
  int progressReports = 0;
  int cancelProgressAfter = -1;
  int fitDialogShows = 0;

  bool pickFromList(SetPickerModel& picker) override {
    pickersShown.push_back({picker.title(), picker.lines()});
    if (picker.selected != -1) throw std::logic_error("a picker must start with no line selected");
    if (pickAnswers.empty()) throw std::logic_error("unexpected picker: " + picker.title());
    const int answer = pickAnswers.front();
    pickAnswers.pop_front();
    if (answer < 0) return false;
    picker.selected = answer;
    return true;
  }
  bool runDialog(DialogModel& dialog) override {
    dialogsShown.push_back(dialog.title());
    if (dialogAnswers.empty()) throw std::logic_error("unexpected dialog: " + dialog.title());
    auto answer = std::move(dialogAnswers.front());
    dialogAnswers.pop_front();
    return answer(dialog);
  }
  std::optional<std::uint32_t> chooseColor(std::uint32_t) override {
    if (colourAnswers.empty()) throw std::logic_error("unexpected colour chooser");
    auto answer = colourAnswers.front();
    colourAnswers.pop_front();
    return answer;
  }
  void messageBox(const std::string& text) override { messages.push_back(text); }
  void redraw() override { ++redraws; }
  std::optional<std::string> openFileName(const FileDialogRequest& request) override {
    fileDialogsShown.push_back({ShownFileDialog::Open, request});
    return NextFileAnswer();
  }
  std::optional<std::vector<std::string>> openFileNames(const FileDialogRequest& request) override {
    fileDialogsShown.push_back({ShownFileDialog::OpenMany, request});
    if (multiFileAnswers.empty()) throw std::logic_error("unexpected multiple-file dialog");
    auto answer = multiFileAnswers.front();
    multiFileAnswers.pop_front();
    return answer;
  }
  std::optional<std::string> saveFileName(const FileDialogRequest& request) override {
    fileDialogsShown.push_back({ShownFileDialog::Save, request});
    return NextFileAnswer();
  }
  void showFitDialog(FitDialogModel&) override { ++fitDialogShows; }
  std::optional<std::string> clipboardText() override { return clipboard; }
  void setClipboardText(const std::string& text) override { clipboard = text; }
  std::optional<bool> askSaveChanges(const std::string& documentTitle) override {
    saveChangesAsked.push_back(documentTitle);
    if (saveChangesAnswers.empty()) throw std::logic_error("unexpected save-changes question");
    auto answer = saveChangesAnswers.front();
    saveChangesAnswers.pop_front();
    return answer;
  }
  ProgressCallback beginProgress(const std::string& label) override {
    progressLabels.push_back(label);
    ++progressOpen;
    return [this](double fraction) {
      if (fraction < 0 || fraction > 1) throw std::logic_error("progress outside 0..1");
      ++progressReports;
      return cancelProgressAfter < 0 || progressReports <= cancelProgressAfter;
    };
  }
  void endProgress() override { --progressOpen; }

 private:
  std::optional<std::string> NextFileAnswer() {
    if (fileAnswers.empty()) throw std::logic_error("unexpected file dialog");
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
  }
};

}  // namespace zentrel::testing
