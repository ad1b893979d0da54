#pragma once
// The modeless "Fitting" window over FitDialogModel: made on first use,
// hidden by OK, Escape or its close button, never destroyed while the
// program runs. It re-reads the model whenever the model changes (every
// iteration step of the fit it shows), except for an edit the person is
// typing into.

#include <QDialog>
#include <array>

#include "app/dialogs/fit_dialog.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QVBoxLayout;
class QWidget;

namespace zentrel {

class QtUi;

class FitDialog : public QDialog {
  Q_OBJECT
 public:
  FitDialog(FitDialogModel& model, QtUi& ui, QWidget* parent);
  ~FitDialog() override;

  // Brings every control up to the model's state and shows or hides the
  // window with it.
  void syncFromModel();
  // The model is about to go: the window no longer talks to it.
  void detach();

  void accept() override;
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build();
  void buildSettings(QVBoxLayout* outer);
  void buildLimitsAndWeighting(QVBoxLayout* outer);
  void buildEquationAndConvolution(QVBoxLayout* outer);
  void buildParameterRows(QVBoxLayout* outer);
  void buildBoundEdits(QGridLayout* grid, QWidget* box);
  void applyBoundEdit(int row);
  // The response's shift: one more row under the parameters, shown while
  // the fit convolves with a set.
  void buildShiftRow(QGridLayout* grid, QWidget* box);
  void syncShiftRow(const FitDialogModel& m);
  void buildChiSquare(QVBoxLayout* outer);
  void buildStatistics(QVBoxLayout* outer);
  void buildButtons(QVBoxLayout* outer);
  // Asks the level and profiles the fit.
  void askConfidence();
  void showStatistics();
  void applyModelChoice();
  void iterationToggled();

  FitDialogModel* model_;
  QtUi& ui_;
  bool syncing_ = false;
  QLineEdit *name_, *iterations_, *order_, *fitStart_, *fitEnd_, *equation_, *convolveName_, *chiSquare_;
  QLabel *equationLabel_, *reducedChiSquare_;
  QComboBox *fitFunction_, *method_;
  QPushButton *list_, *iterate_;
  QButtonGroup *limitSets_, *weightings_;
  std::array<QCheckBox*, kFitDialogRows> checks_{};
  std::array<QLineEdit*, kFitDialogRows> values_{};
  std::array<QLabel*, kFitDialogRows> errors_{};
  // Lower and upper bound of each row; empty means none.
  std::array<QLineEdit*, kFitDialogRows> lowers_{}, uppers_{};
  std::array<QLabel*, kFitDialogRows> intervals_{};
  QCheckBox* shiftCheck_ = nullptr;
  QLineEdit* shiftValue_ = nullptr;
  QLabel *shiftError_ = nullptr, *shiftInterval_ = nullptr;
  QPlainTextEdit* statistics_ = nullptr;
  QTableWidget* correlation_ = nullptr;
};

}  // namespace zentrel
