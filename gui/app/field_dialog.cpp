#include "field_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>

#include "app/dialogs/dialog_model.h"
#include "qt_ui.h"

namespace zentrel {

FieldDialog::FieldDialog(DialogModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName(QStringLiteral("FieldDialog"));
  setWindowTitle(ToQString(model.title()));
  auto* layout = new QFormLayout(this);
  for (const auto& field : model.scriptFields()) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(ToQString(field.key));
    layout->addRow(ToQString(field.key), edit);
    edits_.push_back(edit);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &FieldDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addRow(buttons);
}

void FieldDialog::accept() {
  auto fields = model_.scriptFields();
  for (size_t k = 0; k < fields.size() && k < edits_.size(); ++k) {
    if (edits_[k]->text().isEmpty()) continue;
    if (const auto refusal = fields[k].set(ToStdString(edits_[k]->text()))) {
      QMessageBox::warning(this, QString::fromUtf8(kProgramName), ToQString(*refusal));
      edits_[k]->setFocus();
      return;
    }
  }
  if (const auto refusal = model_.validate()) {
    QMessageBox::warning(this, QString::fromUtf8(kProgramName), ToQString(*refusal));
    return;
  }
  QDialog::accept();
}

}  // namespace zentrel
