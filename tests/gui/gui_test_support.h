#pragma once
// What the desktop program's Qt tests share: answering modal dialogs as a
// person would once they open, and filling the document with sets.

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>
#include <vector>

#include "main_frame.h"
#include "model/data_set.h"
#include "model/document.h"
#include "zentrel_view.h"

namespace zentrel::testing {

// Runs `answer` on the next modal dialog once it is open (with this title,
// when one is given).
inline void WhenDialogOpens(const QString& title, std::function<void(QWidget*)> answer) {
  QTimer::singleShot(0, [title, answer] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr || (!title.isEmpty() && dialog->windowTitle() != title)) {
      WhenDialogOpens(title, answer);
      return;
    }
    answer(dialog);
  });
}
inline void WhenDialogOpens(std::function<void(QWidget*)> answer) { WhenDialogOpens(QString(), std::move(answer)); }

inline void PressOk(QWidget* dialog) {
  auto* buttons = dialog->findChild<QDialogButtonBox*>();
  QVERIFY(buttons != nullptr);
  buttons->button(QDialogButtonBox::Ok)->click();
}

// Appends a set of x and y values named `name`.
inline Data_Set& AddSet(CZentrelDoc& doc, const char* name, const std::vector<double>& x,
                        const std::vector<double>& y) {
  auto set = std::make_unique<Data_Set>();
  set->name = name;
  for (size_t i = 0; i < x.size(); ++i) set->SetValue(0, static_cast<int>(i), x[i]);
  for (size_t i = 0; i < y.size(); ++i) set->SetValue(1, static_cast<int>(i), y[i]);
  return doc.AppendSet(std::move(set));
}

// The main window every GUI test drives. A test class derives from QObject
// and this, and calls openFrame() from init() and closeFrame() from cleanup().
class FrameFixture {
 protected:
  // A shown 800 x 600 main window with its graph drawn; settings go to Qt's
  // test folders, never the user's.
  void openFrame() {
    QStandardPaths::setTestModeEnabled(true);
    frame = std::make_unique<CMainFrame>();
    frame->resize(800, 600);
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    frame->view()->redrawGraph();
  }
  // Closes without the save prompt.
  void closeFrame() {
    doc().SetModifiedFlag(false);
    frame.reset();
  }
  CZentrelDoc& doc() { return frame->document(); }
  Data_Set& addSet(const char* name, const std::vector<double>& x, const std::vector<double>& y) {
    return AddSet(doc(), name, x, y);
  }

  std::unique_ptr<CMainFrame> frame;
};

}  // namespace zentrel::testing
