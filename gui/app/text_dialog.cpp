#include "text_dialog.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "app/dialogs/text_dialog.h"
#include "qt_ui.h"

namespace zentrel {

TextDialog::TextDialog(TextDialogModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName(QStringLiteral("TextDialog"));
  setWindowTitle(ToQString(model.title()));
  auto* layout = new QVBoxLayout(this);
  if (model.multiLine()) {
    lines_ = new QPlainTextEdit(this);
    // The comment keeps CR LF line ends; the edit shows plain lines.
    QString text = ToQString(model.text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines_->setPlainText(text);
    lines_->setMinimumSize(400, 200);
    layout->addWidget(lines_);
  } else {
    line_ = new QLineEdit(ToQString(model.text), this);
    line_->setMinimumWidth(300);
    line_->selectAll();
    layout->addWidget(line_);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &TextDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void TextDialog::accept() {
  // Through the model's own setter, which applies its line-end rule.
  const QString text = lines_ ? lines_->toPlainText() : line_->text();
  for (auto& field : model_.scriptFields()) field.set(ToStdString(text));
  QDialog::accept();
}

}  // namespace zentrel
