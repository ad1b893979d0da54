#pragma once
// "Create a Data Set": range, equation (compiled as its edit loses focus),
// the error box, OK and Cancel.

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

namespace zentrel {

class CreateDataSetDialogModel;

class CreateDataSetDialog : public QDialog {
  Q_OBJECT
 public:
  CreateDataSetDialog(CreateDataSetDialogModel& model, QWidget* parent);
  void accept() override;

 private:
  void store();
  void show();

  CreateDataSetDialogModel& model_;
  QLineEdit *xStart_, *xEnd_, *xStep_, *equation_;
  QPlainTextEdit* errors_;
};

}  // namespace zentrel
