#include "qt_ui.h"

#include <QClipboard>
#include <QColorDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>

#include "app/dialogs/axis_ranges_dialog.h"
#include "app/dialogs/create_dataset_dialog.h"
#include "app/dialogs/custom_equations_dialog.h"
#include "app/dialogs/fft_options_dialog.h"
#include "app/dialogs/file_type_dialog.h"
#include "app/dialogs/set_operations_dialog.h"
#include "app/dialogs/set_picker.h"
#include "app/dialogs/form_dialog.h"
#include "app/dialogs/import_options_dialog.h"
#include "app/dialogs/operate_dialog.h"
#include "app/dialogs/properties_dialog.h"
#include "app/dialogs/smoothing_dialog.h"
#include "app/dialogs/text_dialog.h"
#include "app/dialogs/xrange_dialog.h"
#include "axis_ranges_dialog.h"
#include "fit_dialog.h"
#include "global_fit_dialog.h"
#include "graph_export.h"
#include "model/document.h"
#include "xrange_dialog.h"
#include "create_dataset_dialog.h"
#include "custom_equations_dialog.h"
#include "fft_options_dialog.h"
#include "field_dialog.h"
#include "file_type_dialog.h"
#include "form_dialog.h"
#include "import_options_dialog.h"
#include "set_operations_dialog.h"
#include "operate_dialog.h"
#include "properties_dialog.h"
#include "smoothing_dialog.h"
#include "set_picker_dialog.h"
#include "text_dialog.h"

namespace zentrel {

QString ToQString(const std::string& text) { return QString::fromStdString(text); }
std::string ToStdString(const QString& text) { return text.toStdString(); }

bool QtUi::pickFromList(SetPickerModel& picker) {
  SetPickerDialog dialog(picker, parent_);
  return dialog.exec() == QDialog::Accepted && picker.selected >= 0;
}

bool QtUi::runDialog(DialogModel& model) {
  if (auto* form = dynamic_cast<FormDialogModel*>(&model)) return FormDialog(*form, parent_).exec() == QDialog::Accepted;
  if (auto* text = dynamic_cast<TextDialogModel*>(&model)) return TextDialog(*text, parent_).exec() == QDialog::Accepted;
  if (auto* type = dynamic_cast<FileTypeDialogModel*>(&model))
    return FileTypeDialog(*type, parent_).exec() == QDialog::Accepted;
  if (auto* create = dynamic_cast<CreateDataSetDialogModel*>(&model))
    return CreateDataSetDialog(*create, parent_).exec() == QDialog::Accepted;
  if (auto* custom = dynamic_cast<CustomEquationsDialogModel*>(&model))
    return CustomEquationsDialog(*custom, *this, parent_).exec() == QDialog::Accepted;
  if (auto* fft = dynamic_cast<FftOptionsDialogModel*>(&model))
    return FftOptionsDialog(*fft, parent_).exec() == QDialog::Accepted;
  if (auto* operations = dynamic_cast<SetOperationsDialogModel*>(&model))
    return SetOperationsDialog(*operations, parent_).exec() == QDialog::Accepted;
  if (auto* range = dynamic_cast<XrangeDialogModel*>(&model)) return XrangeDialog(*range, parent_).exec() == QDialog::Accepted;
  if (auto* operate = dynamic_cast<OperateDialogModel*>(&model))
    return OperateDialog(*operate, parent_).exec() == QDialog::Accepted;
  if (auto* smoothing = dynamic_cast<SmoothingDialogModel*>(&model))
    return SmoothingDialog(*smoothing, parent_).exec() == QDialog::Accepted;
  if (auto* ranges = dynamic_cast<AxisRangesDialogModel*>(&model))
    return AxisRangesDialog(*ranges, parent_).exec() == QDialog::Accepted;
  if (auto* importOptions = dynamic_cast<ImportOptionsDialogModel*>(&model))
    return ImportOptionsDialog(*importOptions, parent_).exec() == QDialog::Accepted;
  if (auto* properties = dynamic_cast<PropertiesDialogModel*>(&model))
    return PropertiesDialog(*properties, parent_).exec() == QDialog::Accepted;
  // A model without a dialog of its own: one edit per field.
  return FieldDialog(model, parent_).exec() == QDialog::Accepted;
}

std::optional<std::uint32_t> QtUi::chooseColor(std::uint32_t initial) {
  // Colours are 0x00BBGGRR.
  const QColor start(static_cast<int>(initial & 0xff), static_cast<int>((initial >> 8) & 0xff),
                     static_cast<int>((initial >> 16) & 0xff));
  const QColor chosen = QColorDialog::getColor(start, parent_);
  if (!chosen.isValid()) return std::nullopt;
  return static_cast<std::uint32_t>(chosen.red()) | (static_cast<std::uint32_t>(chosen.green()) << 8) |
         (static_cast<std::uint32_t>(chosen.blue()) << 16);
}

void QtUi::messageBox(const std::string& text) {
  QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kProgramName), ToQString(text), QMessageBox::Ok, parent_);
  box.exec();
}

void QtUi::redraw() {
  if (redraw_) redraw_();
}

namespace {

void Configure(QFileDialog& dialog, const FileDialogRequest& request) {
  dialog.setNameFilter(ToQString(request.filter));
  if (!request.defaultExtension.empty()) dialog.setDefaultSuffix(ToQString(request.defaultExtension));
  if (!request.initialName.empty()) dialog.selectFile(ToQString(request.initialName));
  // The filter list keeps its descriptions in the file-type box.
  dialog.setOption(QFileDialog::HideNameFilterDetails, false);
}

}  // namespace

std::optional<std::string> QtUi::openFileName(const FileDialogRequest& request) {
  QFileDialog dialog(parent_, ToQString(request.title.empty() ? "Open" : request.title));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  Configure(dialog, request);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return ToStdString(dialog.selectedFiles().front());
}

std::optional<std::vector<std::string>> QtUi::openFileNames(const FileDialogRequest& request) {
  QFileDialog dialog(parent_, ToQString(request.title.empty() ? "Open" : request.title));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  Configure(dialog, request);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  std::vector<std::string> files;
  for (const QString& file : dialog.selectedFiles()) files.push_back(ToStdString(file));
  return files;
}

std::optional<std::string> QtUi::saveFileName(const FileDialogRequest& request) {
  QFileDialog dialog(parent_, ToQString(request.title.empty() ? "Save As" : request.title));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
  Configure(dialog, request);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return ToStdString(dialog.selectedFiles().front());
}

std::optional<std::string> QtUi::clipboardText() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (data == nullptr || !data->hasText()) return std::nullopt;
  return ToStdString(data->text());
}

void QtUi::setClipboardText(const std::string& text) { QGuiApplication::clipboard()->setText(ToQString(text)); }

std::optional<bool> QtUi::askSaveChanges(const std::string& documentTitle) {
  QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kProgramName),
                  QStringLiteral("Save changes to %1?").arg(ToQString(documentTitle)),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent_);
  box.setDefaultButton(QMessageBox::Yes);
  const int answer = box.exec();
  if (answer == QMessageBox::Yes) return true;
  if (answer == QMessageBox::No) return false;
  return std::nullopt;
}

RecoveryChoice QtUi::askRestoreRecovery(const std::string& question) {
  QMessageBox box(QMessageBox::Question, QString::fromUtf8(kProgramName), ToQString(question), QMessageBox::NoButton,
                  parent_);
  QPushButton* restore = box.addButton(QStringLiteral("Restore"), QMessageBox::AcceptRole);
  QPushButton* discard = box.addButton(QStringLiteral("Discard"), QMessageBox::DestructiveRole);
  QPushButton* later = box.addButton(QStringLiteral("Later"), QMessageBox::RejectRole);
  box.setDefaultButton(restore);
  // Closing the box decides nothing: the copy waits for the next start.
  box.setEscapeButton(later);
  box.exec();
  if (box.clickedButton() == restore) return RecoveryChoice::Restore;
  if (box.clickedButton() == discard) return RecoveryChoice::Discard;
  return RecoveryChoice::Later;
}

std::string QtUi::drawImage(const CZentrelDoc& doc, const std::string& path) {
  ExportOptions options;
  options.draw = OptionsFor(doc.drawPreferences);
  return ExportGraphDrawing(doc, path, options).error;
}

void QtUi::showFitDialog(FitDialogModel& dialog) {
  // Made once and kept; hiding it never destroys it.
  if (!fitDialog_) fitDialog_ = new FitDialog(dialog, *this, parent_);
  fitDialog_->syncFromModel();
  fitDialog_->show();
  fitDialog_->raise();
  fitDialog_->activateWindow();
}

FitDialog* QtUi::fitDialogWindow() const { return fitDialog_.data(); }

void QtUi::showGlobalFitDialog(GlobalFitDialogModel& dialog) {
  if (!globalFitDialog_) globalFitDialog_ = new GlobalFitDialog(dialog, *this, parent_);
  globalFitDialog_->syncFromModel();
  globalFitDialog_->show();
  globalFitDialog_->raise();
  globalFitDialog_->activateWindow();
}

GlobalFitDialog* QtUi::globalFitDialogWindow() const { return globalFitDialog_.data(); }

void QtUi::detachGlobalFitDialog() {
  if (globalFitDialog_) globalFitDialog_->detach();
}

void QtUi::detachFitDialog() {
  if (fitDialog_) fitDialog_->detach();
}

}  // namespace zentrel
