#pragma once
#include <QDialog>

namespace zentrel {

// "About Zentrel": the icon, the version and OK.
class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(QWidget* parent);
};

}  // namespace zentrel
