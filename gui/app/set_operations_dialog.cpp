#include "set_operations_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialogs/set_operations_dialog.h"
#include "qt_ui.h"

namespace zentrel {

SetOperationsDialog::SetOperationsDialog(SetOperationsDialogModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName(QStringLiteral("SetOperationsDialog"));
  setWindowTitle(ToQString(model.title()));
  auto* layout = new QVBoxLayout(this);
  auto* lists = new QFormLayout;
  const auto makeList = [this, &model](const char* objectName, int selected) {
    auto* list = new QComboBox(this);
    list->setObjectName(QString::fromUtf8(objectName));
    for (const std::string& item : model.items()) list->addItem(ToQString(item));
    list->setCurrentIndex(selected);
    return list;
  };
  set1_ = makeList("Set1", model.set1);
  set2_ = makeList("Set2", model.set2);
  lists->addRow(tr("Set1"), set1_);
  lists->addRow(tr("Set2"), set2_);
  layout->addLayout(lists);

  auto* row = new QHBoxLayout;
  operations_ = new QButtonGroup(this);
  for (const auto& button : SetOperationsDialogModel::operationButtons()) {
    auto* radio = new QRadioButton(QString::fromUtf8(button.caption), this);
    radio->setObjectName(QStringLiteral("Operation%1").arg(button.controlId));
    radio->setChecked(button.code == model.operation);
    operations_->addButton(radio, button.code);
    row->addWidget(radio);
  }
  layout->addLayout(row);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &SetOperationsDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void SetOperationsDialog::accept() {
  model_.set1 = set1_->currentIndex();
  model_.set2 = set2_->currentIndex();
  if (operations_->checkedId() > 0) model_.operation = operations_->checkedId();
  QDialog::accept();
}

}  // namespace zentrel
