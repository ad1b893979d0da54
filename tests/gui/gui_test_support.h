#pragma once
// What the desktop program's Qt tests share: answering modal dialogs as a
// person would once they open, and filling the document with sets.

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>
#include <vector>

#include "model/data_set.h"
#include "model/document.h"

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

}  // namespace zentrel::testing
