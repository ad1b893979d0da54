#pragma once
#include <QWidget>

class QTabWidget;

namespace zentrel {

// The program's help: an introduction, the scripting guide and the command
// reference written from the command table.
class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  explicit HelpWindow(QWidget* parent = nullptr);
  QTabWidget* tabs() const { return tabs_; }

 private:
  QTabWidget* tabs_;
};

}  // namespace zentrel
