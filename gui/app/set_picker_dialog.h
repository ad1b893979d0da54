#pragma once
// The SetPicker: a list of sets, titled with the command's prompt, no line
// selected at first; OK needs a selected line.

#include <QDialog>

class QListWidget;
class QPushButton;

namespace zentrel {

class SetPickerModel;

class SetPickerDialog : public QDialog {
  Q_OBJECT
 public:
  SetPickerDialog(SetPickerModel& model, QWidget* parent);
  QListWidget* list() const { return list_; }
  void accept() override;

 private:
  SetPickerModel& model_;
  QListWidget* list_;
  QPushButton* ok_;
};

}  // namespace zentrel
