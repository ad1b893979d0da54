#pragma once
// "Set Operations": Set1 and Set2 drop-down lists and the five operation
// radio buttons, bound to a SetOperationsDialogModel.

#include <QDialog>

class QButtonGroup;
class QComboBox;

namespace zentrel {

class SetOperationsDialogModel;

class SetOperationsDialog : public QDialog {
  Q_OBJECT
 public:
  SetOperationsDialog(SetOperationsDialogModel& model, QWidget* parent);
  void accept() override;

 private:
  SetOperationsDialogModel& model_;
  QComboBox* set1_ = nullptr;
  QComboBox* set2_ = nullptr;
  QButtonGroup* operations_ = nullptr;
};

}  // namespace zentrel
