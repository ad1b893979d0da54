#pragma once
// "Operate on data sets": operator lists and operands for x and y, all
// active sets or one set, six function buttons that close as OK does.

#include <QDialog>

class QLineEdit;
class QListWidget;
class QRadioButton;

namespace zentrel {

class OperateDialogModel;

class OperateDialog : public QDialog {
  Q_OBJECT
 public:
  OperateDialog(OperateDialogModel& model, QWidget* parent);
  void accept() override;

 private:
  OperateDialogModel& model_;
  QListWidget *xList_, *yList_;
  QLineEdit *xOperand_, *yOperand_;
  QRadioButton* oneSet_;
};

}  // namespace zentrel
