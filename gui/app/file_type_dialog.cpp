#include "file_type_dialog.h"

#include <QHBoxLayout>
#include <QPushButton>

#include "app/dialogs/file_type_dialog.h"

namespace zentrel {

FileTypeDialog::FileTypeDialog(FileTypeDialogModel& model, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FileTypeDialog"));
  setWindowTitle(QString::fromStdString(model.title()));
  auto* layout = new QHBoxLayout(this);
  for (const auto& button : model.buttons()) {
    auto* push = new QPushButton(QString::fromUtf8(button.caption), this);
    push->setAutoDefault(false);
    const int id = button.controlId;
    const bool closesWithKind = button.result != FileKind::None;
    connect(push, &QPushButton::clicked, this, [this, &model, id, closesWithKind] {
      model.press(id);
      if (closesWithKind)
        accept();
      else
        reject();
    });
    layout->addWidget(push);
  }
}

}  // namespace zentrel
