#pragma once
// "Custom Equations": the list of saved equations with Load, Save, DELETE,
// DELETE ALL and ADD.

#include <QDialog>

class QLineEdit;
class QListWidget;

namespace zentrel {

class CustomEquationsDialogModel;
class Ui;

class CustomEquationsDialog : public QDialog {
  Q_OBJECT
 public:
  CustomEquationsDialog(CustomEquationsDialogModel& model, Ui& ui, QWidget* parent);

 private:
  void showModel();

  CustomEquationsDialogModel& model_;
  QLineEdit* source_;
  QListWidget* list_;
  QLineEdit* edit_;
};

}  // namespace zentrel
