#include "operate_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialogs/operate_dialog.h"
#include "qt_ui.h"

namespace zentrel {

namespace {

QListWidget* OperatorList(QWidget* parent, int selected) {
  auto* list = new QListWidget(parent);
  for (const char* item : OperateDialogModel::kOperators) list->addItem(QString::fromUtf8(item));
  list->setCurrentRow(selected, QItemSelectionModel::ClearAndSelect);
  if (selected < 0) list->clearSelection();
  list->setMaximumWidth(60);
  list->setMaximumHeight(5 * list->sizeHintForRow(0) + 2 * list->frameWidth() + 4);
  return list;
}

int SelectedRow(const QListWidget* list) {
  const auto items = list->selectedItems();
  return items.isEmpty() ? -1 : list->row(items.front());
}

}  // namespace

OperateDialog::OperateDialog(OperateDialogModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName(QStringLiteral("OperateDialog"));
  setWindowTitle(ToQString(model.title()));
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  xList_ = OperatorList(this, model.xOperator);
  yList_ = OperatorList(this, model.yOperator);
  xList_->setObjectName(QStringLiteral("xOperator"));
  yList_->setObjectName(QStringLiteral("yOperator"));
  xOperand_ = new QLineEdit(ToQString(model.xOperand), this);
  yOperand_ = new QLineEdit(ToQString(model.yOperand), this);
  xOperand_->setObjectName(QStringLiteral("xOperand"));
  yOperand_->setObjectName(QStringLiteral("yOperand"));
  grid->addWidget(new QLabel(QStringLiteral("X=X"), this), 0, 0);
  grid->addWidget(xList_, 0, 1);
  grid->addWidget(xOperand_, 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("Y=Y"), this), 1, 0);
  grid->addWidget(yList_, 1, 1);
  grid->addWidget(yOperand_, 1, 2);
  layout->addLayout(grid);

  auto* target = new QGroupBox(QStringLiteral("Operate On:"), this);
  auto* targetLayout = new QHBoxLayout(target);
  auto* all = new QRadioButton(QStringLiteral("All Active Sets"), target);
  oneSet_ = new QRadioButton(QStringLiteral("One Set"), target);
  oneSet_->setObjectName(QStringLiteral("oneSet"));
  (model.oneSet ? oneSet_ : all)->setChecked(true);
  targetLayout->addWidget(all);
  targetLayout->addWidget(oneSet_);
  layout->addWidget(target);

  auto* functions = new QGridLayout;
  for (size_t i = 0; i < OperateDialogModel::kFunctionCaptions.size(); ++i) {
    auto* button = new QPushButton(QString::fromUtf8(OperateDialogModel::kFunctionCaptions[i]), this);
    button->setObjectName(QString::fromUtf8(OperateDialogModel::kFunctionNames[i]));
    button->setAutoDefault(false);
    const int code = static_cast<int>(i) + 1;
    // A function button closes the dialog exactly as OK does.
    connect(button, &QPushButton::clicked, this, [this, code] {
      model_.pressFunction(code);
      accept();
    });
    functions->addWidget(button, static_cast<int>(i) % 2, static_cast<int>(i) / 2);
  }
  layout->addLayout(functions);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    model_.pressFunction(0);
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void OperateDialog::accept() {
  model_.xOperator = SelectedRow(xList_);
  model_.yOperator = SelectedRow(yList_);
  model_.xOperand = ToStdString(xOperand_->text());
  model_.yOperand = ToStdString(yOperand_->text());
  model_.oneSet = oneSet_->isChecked();
  if (auto problem = model_.validate()) {
    QMessageBox::warning(this, windowTitle(), ToQString(*problem));
    return;
  }
  QDialog::accept();
}

}  // namespace zentrel
