#pragma once
// The "Global Fit" window: binds widgets to a GlobalFitDialogModel
// (app/dialogs/global_fit_dialog.h). Modeless; while it iterates, one
// trial of the joint fit runs each time the event loop is idle, and the
// graph follows.

#include <QDialog>
#include <QTimer>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace zentrel {

class GlobalFitDialogModel;
class QtUi;

class GlobalFitDialog : public QDialog {
  Q_OBJECT
 public:
  GlobalFitDialog(GlobalFitDialogModel& model, QtUi& ui, QWidget* parent);
  ~GlobalFitDialog() override;

  // Brings every control up to the model's state.
  void syncFromModel();
  // The model is about to go: the window stops and no longer talks to it.
  void detach();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void build();
  void setsEdited();
  void modelEdited();
  void cellEdited(int row, int column);
  void resyncLater();
  void iterateClicked();
  void stepWhenIdle();

  GlobalFitDialogModel* model_;
  QtUi& ui_;
  bool syncing_ = false;
  QTimer idle_;
  QListWidget* sets_;
  QComboBox* family_;
  QLineEdit* order_;
  QTableWidget* table_;
  QPushButton *guess_, *iterate_;
  QLabel *iterations_, *chiSquare_, *state_;
};

}  // namespace zentrel
