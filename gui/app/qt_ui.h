#pragma once
// The Ui of the desktop program: real dialogs, the clipboard and the view.

#include <QPointer>
#include <QProgressDialog>
#include <QWidget>
#include <functional>
#include <memory>

#include "app/ui.h"

namespace zentrel {

class FitDialog;
class GlobalFitDialog;

class QtUi : public Ui {
 public:
  // Dialogs are modal to `parent`; `redraw` repaints the view.
  QtUi(QWidget* parent, std::function<void()> redraw) : parent_(parent), redraw_(std::move(redraw)) {}

  bool pickFromList(SetPickerModel& picker) override;
  bool runDialog(DialogModel& dialog) override;
  std::optional<std::uint32_t> chooseColor(std::uint32_t initial) override;
  void messageBox(const std::string& text) override;
  void redraw() override;
  std::optional<PageLayout> drawingLayout() const override { return layout_ ? layout_() : std::nullopt; }
  // Where drawingLayout() comes from: the view.
  void setDrawingLayout(std::function<std::optional<PageLayout>()> layout) { layout_ = std::move(layout); }
  std::optional<std::string> openFileName(const FileDialogRequest& request) override;
  std::optional<std::vector<std::string>> openFileNames(const FileDialogRequest& request) override;
  std::optional<std::string> saveFileName(const FileDialogRequest& request) override;
  std::optional<std::string> clipboardText() override;
  void setClipboardText(const std::string& text) override;
  std::optional<bool> askSaveChanges(const std::string& documentTitle) override;
  RecoveryChoice askRestoreRecovery(const std::string& question) override;
  // A window-modal progress dialog with Cancel, shown once the operation
  // has taken about a tenth of a second (qt_ui_progress.cpp).
  ProgressCallback beginProgress(const std::string& label) override;
  void endProgress() override;
  void showFitDialog(FitDialogModel& dialog) override;
  void showGlobalFitDialog(GlobalFitDialogModel& dialog) override;
  // The export's default page (11 x 8.5 inches at 100 pixels per inch).
  std::string drawImage(const CZentrelDoc& doc, const std::string& path) override;

  QWidget* parent() const { return parent_; }
  // The progress dialog of the operation running now, if any (for tests).
  QProgressDialog* progressDialog() const { return progress_.get(); }

  // The Fitting window once made; null before.
  FitDialog* fitDialogWindow() const;
  // Before the model goes (at program end): the window lets go of it.
  void detachFitDialog();
  // The Global Fit window once made; null before. Detached like the Fitting window.
  GlobalFitDialog* globalFitDialogWindow() const;
  void detachGlobalFitDialog();
  // The Iterate button was pressed: whoever runs the idle passes hears it.
  void setFitIterationChanged(std::function<void()> changed) { fitIterationChanged_ = std::move(changed); }
  void fitIterationChanged() {
    if (fitIterationChanged_) fitIterationChanged_();
  }

 private:
  QWidget* parent_;
  std::function<void()> redraw_;
  std::function<std::optional<PageLayout>()> layout_;
  std::unique_ptr<QProgressDialog> progress_;
  QPointer<FitDialog> fitDialog_;
  QPointer<GlobalFitDialog> globalFitDialog_;
  std::function<void()> fitIterationChanged_;
};

// The program's name as message boxes show it.
inline constexpr const char* kProgramName = "Zentrel";

QString ToQString(const std::string& text);
std::string ToStdString(const QString& text);

}  // namespace zentrel
