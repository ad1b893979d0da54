#include "custom_equations_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/dialogs/custom_equations_dialog.h"
#include "qt_ui.h"

namespace zentrel {

CustomEquationsDialog::CustomEquationsDialog(CustomEquationsDialogModel& model, Ui& ui, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName(QStringLiteral("CustomEquationsDialog"));
  setWindowTitle(ToQString(model.title()));
  model.initialize();
  source_ = new QLineEdit(this);
  source_->setReadOnly(true);
  list_ = new QListWidget(this);
  edit_ = new QLineEdit(this);
  auto* load = new QPushButton(QStringLiteral("Load"), this);
  auto* save = new QPushButton(QStringLiteral("Save"), this);
  auto* remove = new QPushButton(QStringLiteral("DELETE"), this);
  auto* removeAll = new QPushButton(QStringLiteral("DELETE ALL"), this);
  auto* add = new QPushButton(QStringLiteral("ADD"), this);
  for (auto* button : {load, save, remove, removeAll, add}) button->setAutoDefault(false);

  auto* layout = new QGridLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Source File:"), this), 0, 0);
  layout->addWidget(source_, 0, 1, 1, 2);
  layout->addWidget(load, 0, 3);
  layout->addWidget(save, 0, 4);
  layout->addWidget(list_, 1, 0, 3, 4);
  layout->addWidget(remove, 1, 4);
  layout->addWidget(removeAll, 2, 4);
  layout->addWidget(edit_, 4, 0, 1, 4);
  layout->addWidget(add, 4, 4);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons, 5, 0, 1, 5);

  connect(load, &QPushButton::clicked, this, [this, &ui] { model_.pressLoad(ui); showModel(); });
  connect(save, &QPushButton::clicked, this, [this, &ui] { model_.pressSave(ui); showModel(); });
  connect(remove, &QPushButton::clicked, this, [this] { model_.deleteSelected(); showModel(); });
  connect(removeAll, &QPushButton::clicked, this, [this] { model_.deleteAll(); showModel(); });
  connect(add, &QPushButton::clicked, this, [this] {
    model_.editText = ToStdString(edit_->text());
    model_.add();
    showModel();
  });
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row < 0 || row == model_.selected()) return;
    model_.select(row);
    edit_->setText(ToQString(model_.editText));
  });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  resize(560, 360);
  showModel();
  edit_->setText(ToQString(model_.editText));
}

void CustomEquationsDialog::showModel() {
  const QSignalBlocker block(list_);
  list_->clear();
  for (const auto& entry : model_.entries()) list_->addItem(ToQString(entry));
  list_->setCurrentRow(model_.selected());
  source_->setText(ToQString(model_.shownSourceFile()));
}

}  // namespace zentrel
