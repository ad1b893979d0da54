#include "form_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>

#include "app/dialogs/form_dialog.h"
#include "qt_ui.h"

namespace zentrel {

FormDialog::FormDialog(FormDialogModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName(QStringLiteral("FormDialog"));
  setWindowTitle(ToQString(model.title()));
  auto* layout = new QFormLayout(this);
  for (const auto& field : model.fields) {
    auto* edit = new QLineEdit(ToQString(field.text), this);
    edit->setObjectName(ToQString(field.label));
    edit->setMinimumWidth(field.number ? 140 : 280);
    layout->addRow(ToQString(field.label), edit);
    edits_.push_back(edit);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &FormDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addRow(buttons);
}

void FormDialog::accept() {
  for (size_t k = 0; k < edits_.size(); ++k) model_.fields[k].text = ToStdString(edits_[k]->text());
  if (const auto refusal = model_.validate()) {
    QMessageBox::warning(this, QString::fromUtf8(kProgramName), ToQString(*refusal));
    // Back to the first refused edit, as the person has to fix it.
    for (size_t k = 0; k < edits_.size(); ++k) {
      FormDialogModel single(model_.title());
      single.fields.push_back(model_.fields[k]);
      if (single.validate()) {
        edits_[k]->setFocus();
        edits_[k]->selectAll();
        break;
      }
    }
    return;
  }
  QDialog::accept();
}

}  // namespace zentrel
