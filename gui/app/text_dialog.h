#pragma once
// Rename (one line) and Comments (several lines, Enter starts a new one).

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

namespace zentrel {

class TextDialogModel;

class TextDialog : public QDialog {
  Q_OBJECT
 public:
  TextDialog(TextDialogModel& model, QWidget* parent);
  void accept() override;

 private:
  TextDialogModel& model_;
  QLineEdit* line_ = nullptr;
  QPlainTextEdit* lines_ = nullptr;
};

}  // namespace zentrel
