#include "create_dataset_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/dialogs/create_dataset_dialog.h"
#include "qt_ui.h"

namespace zentrel {

CreateDataSetDialog::CreateDataSetDialog(CreateDataSetDialogModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName(QStringLiteral("CreateDataSetDialog"));
  setWindowTitle(ToQString(model.title()));
  auto* layout = new QFormLayout(this);
  xStart_ = new QLineEdit(ToQString(model.xStart), this);
  xEnd_ = new QLineEdit(ToQString(model.xEnd), this);
  xStep_ = new QLineEdit(ToQString(model.xStep), this);
  equation_ = new QLineEdit(ToQString(model.equation), this);
  equation_->setMinimumWidth(320);
  errors_ = new QPlainTextEdit(this);
  errors_->setReadOnly(true);
  errors_->setMaximumHeight(70);
  layout->addRow(QStringLiteral("XStart:"), xStart_);
  layout->addRow(QStringLiteral("XEnd:"), xEnd_);
  layout->addRow(QStringLiteral("XStep:"), xStep_);
  layout->addRow(QStringLiteral("Equation:"), equation_);
  layout->addRow(QStringLiteral("Error Messages:"), errors_);
  // Leaving the equation edit compiles it, as the model expects.
  // The x fields typed so far go to the model first: show() refills every
  // edit from it.
  connect(equation_, &QLineEdit::editingFinished, this, [this] {
    store();
    model_.equation = ToStdString(equation_->text());
    model_.equationLostFocus();
    show();
  });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CreateDataSetDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addRow(buttons);
}

void CreateDataSetDialog::store() {
  model_.xStart = ToStdString(xStart_->text());
  model_.xEnd = ToStdString(xEnd_->text());
  model_.xStep = ToStdString(xStep_->text());
}

void CreateDataSetDialog::show() {
  xStart_->setText(ToQString(model_.xStart));
  xEnd_->setText(ToQString(model_.xEnd));
  xStep_->setText(ToQString(model_.xStep));
  errors_->setPlainText(ToQString(model_.errorMessages));
}

void CreateDataSetDialog::accept() {
  store();
  // An equation typed but not yet left compiles first.
  if (ToStdString(equation_->text()) != model_.equation || !model_.hasEvaluator()) {
    model_.equation = ToStdString(equation_->text());
    model_.equationLostFocus();
  }
  const bool done = model_.pressOk();
  show();
  if (done) QDialog::accept();
}

}  // namespace zentrel
