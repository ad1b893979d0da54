#pragma once
// Redraws the program asks for settle the document afterwards
// (CZentrelDoc::SettleAfterRedraw); drawing itself never changes it.
// Dispatch hands every command a SettlingUi, so a command that redraws
// settles the document whichever front end runs it; the few redraws
// outside commands call RedrawAndSettle.

#include "app/ui.h"

namespace zentrel {

class CZentrelDoc;

// Asks the front end to redraw, then settles the document.
void RedrawAndSettle(CZentrelDoc& doc, Ui& ui);

// Forwards everything to another Ui; redraw() also settles the document
// right after the front end has redrawn, as a paint once did.
class SettlingUi : public Ui {
 public:
  SettlingUi(CZentrelDoc& doc, Ui& inner) : doc_(doc), inner_(inner) {}

  bool pickFromList(SetPickerModel& picker) override { return inner_.pickFromList(picker); }
  bool runDialog(DialogModel& dialog) override { return inner_.runDialog(dialog); }
  std::optional<std::uint32_t> chooseColor(std::uint32_t initial) override { return inner_.chooseColor(initial); }
  void messageBox(const std::string& text) override { inner_.messageBox(text); }
  void redraw() override;
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
  ProgressCallback beginProgress(const std::string& label) override { return inner_.beginProgress(label); }
  void endProgress() override { inner_.endProgress(); }
  void showFitDialog(FitDialogModel& dialog) override { inner_.showFitDialog(dialog); }

 private:
  CZentrelDoc& doc_;
  Ui& inner_;
};

}  // namespace zentrel
