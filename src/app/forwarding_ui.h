#pragma once
// A Ui that passes every question on to another one: the base of the
// wrappers that change one or two answers (settling after a redraw,
// answering a file dialog with a dropped file).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/ui.h"

namespace zentrel {

class ForwardingUi : public Ui {
 public:
  explicit ForwardingUi(Ui& inner) : inner_(inner) {}

  bool pickFromList(SetPickerModel& picker) override { return inner_.pickFromList(picker); }
  bool runDialog(DialogModel& dialog) override { return inner_.runDialog(dialog); }
  std::optional<std::uint32_t> chooseColor(std::uint32_t initial) override { return inner_.chooseColor(initial); }
  void messageBox(const std::string& text) override { inner_.messageBox(text); }
  void redraw() override { inner_.redraw(); }
  std::optional<PageLayout> drawingLayout() const override { return inner_.drawingLayout(); }
  std::optional<std::string> openFileName(const FileDialogRequest& request) override {
    return inner_.openFileName(request);
  }
  std::optional<std::vector<std::string>> openFileNames(const FileDialogRequest& request) override {
    return inner_.openFileNames(request);
  }
  std::optional<std::string> saveFileName(const FileDialogRequest& request) override {
    return inner_.saveFileName(request);
  }
  std::optional<std::string> clipboardText() override { return inner_.clipboardText(); }
  void setClipboardText(const std::string& text) override { inner_.setClipboardText(text); }
  std::optional<bool> askSaveChanges(const std::string& documentTitle) override {
    return inner_.askSaveChanges(documentTitle);
  }
  RecoveryChoice askRestoreRecovery(const std::string& question) override {
    return inner_.askRestoreRecovery(question);
  }
  ProgressCallback beginProgress(const std::string& label) override { return inner_.beginProgress(label); }
  void endProgress() override { inner_.endProgress(); }
  std::string drawImage(const CZentrelDoc& doc, const std::string& path) override {
    return inner_.drawImage(doc, path);
  }
  void showFitDialog(FitDialogModel& dialog) override { inner_.showFitDialog(dialog); }
  void showGlobalFitDialog(GlobalFitDialogModel& dialog) override { inner_.showGlobalFitDialog(dialog); }

 protected:
  Ui& inner() { return inner_; }

 private:
  Ui& inner_;
};

}  // namespace zentrel
