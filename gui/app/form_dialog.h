#pragma once
// A form: one labelled edit per field, in the form's order. OK asks the
// model to check the fields; a refusal is shown and the dialog stays open.

#include <QDialog>
#include <vector>

class QLineEdit;

namespace zentrel {

class FormDialogModel;

class FormDialog : public QDialog {
  Q_OBJECT
 public:
  FormDialog(FormDialogModel& model, QWidget* parent);
  const std::vector<QLineEdit*>& edits() const { return edits_; }
  void accept() override;

 private:
  FormDialogModel& model_;
  std::vector<QLineEdit*> edits_;
};

}  // namespace zentrel
