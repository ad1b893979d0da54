#include "xrange_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/dialogs/xrange_dialog.h"
#include "qt_ui.h"

namespace zentrel {

XrangeDialog::XrangeDialog(XrangeDialogModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName(QStringLiteral("XrangeDialog"));
  setWindowTitle(ToQString(model.title()));
  auto* outer = new QVBoxLayout(this);
  auto* form = form_ = new QFormLayout;
  outer->addLayout(form);
  xMin_ = new QLineEdit(this);
  xMin_->setObjectName(QStringLiteral("xmin"));
  xMax_ = new QLineEdit(this);
  xMax_->setObjectName(QStringLiteral("xmax"));
  xStep_ = new QLineEdit(this);
  xStep_->setObjectName(QStringLiteral("xstep"));
  count_ = new QLineEdit(this);
  count_->setObjectName(QStringLiteral("n"));
  form->addRow(QStringLiteral("Xmin:"), xMin_);
  form->addRow(QStringLiteral("Xmax:"), xMax_);
  form->addRow(QStringLiteral("XStep:"), xStep_);
  form->addRow(QStringLiteral("N:"), count_);
  useDataX_ = new QCheckBox(QStringLiteral("Create using X values from the fit's data set"), this);
  outer->addWidget(useDataX_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  outer->addWidget(buttons);

  connect(xMin_, &QLineEdit::editingFinished, this, [this] {
    model_.xMinLostFocus(ToStdString(xMin_->text()));
    count_->setText(ToQString(model_.gridCountText()));
  });
  connect(xMax_, &QLineEdit::editingFinished, this, [this] {
    model_.xMaxLostFocus(ToStdString(xMax_->text()));
    count_->setText(ToQString(model_.gridCountText()));
  });
  connect(xStep_, &QLineEdit::editingFinished, this, [this] {
    model_.xStepLostFocus(ToStdString(xStep_->text()));
    count_->setText(ToQString(model_.gridCountText()));
  });
  connect(count_, &QLineEdit::editingFinished, this, [this] {
    model_.gridCountLostFocus(ToStdString(count_->text()));
    xStep_->setText(ToQString(model_.xStepText()));
  });
  connect(useDataX_, &QCheckBox::clicked, this, [this] {
    model_.toggleUseDataX();
    for (QLineEdit* edit : {xMin_, xMax_, xStep_, count_}) form_->setRowVisible(edit, !model_.useDataX);
  });
  connect(buttons, &QDialogButtonBox::accepted, this, &XrangeDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  showModel();
}

void XrangeDialog::showModel() {
  xMin_->setText(ToQString(model_.xMinText()));
  xMax_->setText(ToQString(model_.xMaxText()));
  xStep_->setText(ToQString(model_.xStepText()));
  count_->setText(ToQString(model_.gridCountText()));
  useDataX_->setChecked(model_.useDataX);
}

}  // namespace zentrel
