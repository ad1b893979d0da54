#pragma once
// "Dataset Properties": read-only facts about one set and an OK button.

#include <QDialog>

namespace zentrel {

class PropertiesDialogModel;

class PropertiesDialog : public QDialog {
  Q_OBJECT
 public:
  PropertiesDialog(const PropertiesDialogModel& model, QWidget* parent);
};

}  // namespace zentrel
