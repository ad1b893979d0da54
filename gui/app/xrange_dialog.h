#pragma once
// "Xrange": the grid Create DataSet From Fit samples on. Each edit, when
// left, updates the others through the model.

#include <QDialog>

class QCheckBox;
class QFormLayout;
class QLineEdit;

namespace zentrel {

class XrangeDialogModel;

class XrangeDialog : public QDialog {
  Q_OBJECT
 public:
  XrangeDialog(XrangeDialogModel& model, QWidget* parent);

 private:
  void showModel();

  XrangeDialogModel& model_;
  QLineEdit *xMin_, *xMax_, *xStep_, *count_;
  QCheckBox* useDataX_;
  QFormLayout* form_;
};

}  // namespace zentrel
