#include "smoothing_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialogs/smoothing_dialog.h"
#include "qt_ui.h"

namespace zentrel {

SmoothingDialog::SmoothingDialog(SmoothingDialogModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName(QStringLiteral("SmoothingDialog"));
  setWindowTitle(ToQString(model.title()));
  auto* layout = new QVBoxLayout(this);
  const char* captions[3] = {"Reducing", "Moving Window", "Savitzky-Golay (constant  number of points)"};
  for (int i = 0; i < 3; ++i) {
    methods_[i] = new QRadioButton(QString::fromUtf8(captions[i]), this);
    methods_[i]->setObjectName(QString::fromUtf8(SmoothingDialogModel::kMethodNames[i]));
    methods_[i]->setChecked(model.method == i + 1);
    layout->addWidget(methods_[i]);
  }
  copy_ = new QCheckBox(QStringLiteral("Copy smoothed set"), this);
  copy_->setObjectName(QStringLiteral("copySmoothedSet"));
  copy_->setChecked(model.copySet);
  layout->addWidget(copy_);
  auto* form = new QFormLayout;
  points_ = new QLineEdit(ToQString(model.points), this);
  points_->setObjectName(QStringLiteral("points"));
  form->addRow(QStringLiteral("Number of points to smooth:"), points_);
  layout->addLayout(form);
  // Why the last text did not take; the formula before it stays in force.
  message_ = new QLabel(this);
  message_->setWordWrap(true);
  layout->addWidget(message_);
  connect(points_, &QLineEdit::editingFinished, this, &SmoothingDialog::compile);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &SmoothingDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void SmoothingDialog::compile() {
  model_.points = ToStdString(points_->text());
  model_.pointsLostFocus();
  message_->setText(ToQString(model_.compileMessage));
}

void SmoothingDialog::accept() {
  // OK takes focus from the edit: a text typed but not yet left compiles.
  if (ToStdString(points_->text()) != model_.points) compile();
  for (int i = 0; i < 3; ++i)
    if (methods_[i]->isChecked()) model_.method = i + 1;
  model_.copySet = copy_->isChecked();
  QDialog::accept();
}

}  // namespace zentrel
