#include "set_picker_dialog.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs/set_picker.h"

namespace zentrel {

SetPickerDialog::SetPickerDialog(SetPickerModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName(QStringLiteral("SetPicker"));
  setWindowTitle(QString::fromStdString(model.title()));
  list_ = new QListWidget(this);
  for (const auto& line : model.lines()) list_->addItem(QString::fromStdString(line));
  list_->setCurrentRow(-1);
  list_->clearSelection();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  ok_->setEnabled(false);
  connect(list_, &QListWidget::itemSelectionChanged, this,
          [this] { ok_->setEnabled(!list_->selectedItems().isEmpty()); });
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
  connect(buttons, &QDialogButtonBox::accepted, this, &SetPickerDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addWidget(buttons);
  resize(360, 300);
}

void SetPickerDialog::accept() {
  const auto selected = list_->selectedItems();
  if (selected.isEmpty()) return;
  model_.selected = list_->row(selected.front());
  QDialog::accept();
}

}  // namespace zentrel
