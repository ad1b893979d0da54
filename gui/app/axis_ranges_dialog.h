#pragma once
// "Axis Ranges": four edits for the ends of the x and y ranges and a log
// switch per axis. OK asks the model to check them; a refusal is shown and
// the dialog stays open at the edit to fix.

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace zentrel {

class AxisRangesDialogModel;

class AxisRangesDialog : public QDialog {
  Q_OBJECT
 public:
  AxisRangesDialog(AxisRangesDialogModel& model, QWidget* parent);
  void accept() override;

  QLineEdit* xMinEdit() const { return xMin_; }
  QLineEdit* xMaxEdit() const { return xMax_; }
  QLineEdit* yMinEdit() const { return yMin_; }
  QLineEdit* yMaxEdit() const { return yMax_; }
  QCheckBox* logXBox() const { return logX_; }
  QCheckBox* logYBox() const { return logY_; }

 private:
  AxisRangesDialogModel& model_;
  QLineEdit *xMin_, *xMax_, *yMin_, *yMax_;
  QCheckBox *logX_, *logY_;
};

}  // namespace zentrel
