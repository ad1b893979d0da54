#pragma once
// "Import Options": how a text file is read, with a table of its first rows
// as they will be read, made again whenever a field changes.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace zentrel {

class ImportOptionsDialogModel;

class ImportOptionsDialog : public QDialog {
  Q_OBJECT
 public:
  ImportOptionsDialog(ImportOptionsDialogModel& model, QWidget* parent);
  void accept() override;

 private:
  // The widgets into the model, then the preview and the verdict out of it.
  void update();
  void showPreview();

  ImportOptionsDialogModel& model_;
  QComboBox* delimiter_;
  QComboBox* decimal_;
  QSpinBox* skip_;
  QLineEdit* comment_;
  QSpinBox* xColumn_;
  QLineEdit* yColumns_;
  QSpinBox* yErrorColumn_;
  QSpinBox* xErrorColumn_;
  QCheckBox* header_;
  QTableWidget* preview_;
  QLabel* message_;
  QPushButton* ok_;
};

}  // namespace zentrel
