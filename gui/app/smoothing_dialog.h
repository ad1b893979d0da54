#pragma once
// "Smoothing": the method, "Copy smoothed set" and the number of points to
// smooth (a formula compiled as its edit loses focus).

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace zentrel {

class SmoothingDialogModel;

class SmoothingDialog : public QDialog {
  Q_OBJECT
 public:
  SmoothingDialog(SmoothingDialogModel& model, QWidget* parent);
  void accept() override;

 private:
  void compile();

  SmoothingDialogModel& model_;
  QRadioButton* methods_[3];
  QCheckBox* copy_;
  QLineEdit* points_;
  QLabel* message_;
};

}  // namespace zentrel
