#pragma once
// Any dialog model without a dialog of its own: one labelled edit per
// field the model names. Edits start empty (such a model does not expose
// its values); an edit left empty is not passed on.

#include <QDialog>
#include <vector>

class QLineEdit;

namespace zentrel {

class DialogModel;

class FieldDialog : public QDialog {
  Q_OBJECT
 public:
  FieldDialog(DialogModel& model, QWidget* parent);
  void accept() override;

 private:
  DialogModel& model_;
  std::vector<QLineEdit*> edits_;
};

}  // namespace zentrel
