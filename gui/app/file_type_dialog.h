#pragma once
// "Select a File type": a button per kind and Cancel.

#include <QDialog>

namespace zentrel {

class FileTypeDialogModel;

class FileTypeDialog : public QDialog {
  Q_OBJECT
 public:
  FileTypeDialog(FileTypeDialogModel& model, QWidget* parent);
};

}  // namespace zentrel
