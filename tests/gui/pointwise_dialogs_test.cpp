// The Operate, Smoothing and Dataset Properties dialogs, run from the menu
// commands of the desktop program as a person would.

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <functional>

#include "gui_test_support.h"
#include "main_frame.h"
#include "model/document.h"

using namespace zentrel;
using namespace zentrel::testing;

namespace {

template <typename T>
T* Child(QWidget* dialog, const char* name) {
  return dialog->findChild<T*>(QString::fromUtf8(name));
}

}  // namespace

class PointwiseDialogsTest : public QObject, private FrameFixture {
  Q_OBJECT

 private slots:
  void init() { openFrame(); }
  void cleanup() { closeFrame(); }

  void operateFunctionButtonClosesAsOk() {
    Data_Set& set = addSet("A", {1, 2}, {1, 2});
    WhenDialogOpens([](QWidget* dialog) {
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Operate on data sets"));
      auto* xList = Child<QListWidget>(dialog, "xOperator");
      QVERIFY(xList != nullptr);
      QCOMPARE(xList->count(), 5);
      QVERIFY(xList->selectedItems().isEmpty());
      QVERIFY(Child<QListWidget>(dialog, "yOperator")->selectedItems().isEmpty());
      QCOMPARE(Child<QLineEdit>(dialog, "xOperand")->text(), QStringLiteral("0"));
      xList->setCurrentRow(2);  // "*"
      Child<QLineEdit>(dialog, "xOperand")->setText(QStringLiteral("2"));
      Child<QPushButton>(dialog, "ln-y")->click();
    });
    frame->runCommand(Cmd::Operate);
    QCOMPARE(set.GetValue(0, 1), 4.0);
    QCOMPARE(set.GetValue(1, 1), std::log(2.0));
    QVERIFY(doc().undoAvailable);
  }

  void operateRefusesAnOperandThatIsNoNumber() {
    Data_Set& set = addSet("A", {1, 2}, {1, 2});
    WhenDialogOpens([](QWidget* dialog) {
      Child<QListWidget>(dialog, "yOperator")->setCurrentRow(0);
      Child<QLineEdit>(dialog, "yOperand")->setText(QStringLiteral("two"));
      // The refusal is a message box over the dialog: close it, then cancel.
      QTimer::singleShot(0, [dialog] {
        QWidget* box = QApplication::activeModalWidget();
        QVERIFY(box != dialog);
        box->close();
        QTimer::singleShot(0, [dialog] { qobject_cast<QDialog*>(dialog)->reject(); });
      });
      PressOk(dialog);
    });
    frame->runCommand(Cmd::Operate);
    QCOMPARE(set.GetValue(1, 1), 2.0);
  }

  void smoothingDialogSmoothsACopy() {
    addSet("A", {0, 1, 2, 3, 4, 5}, {1, 2, 3, 4, 5, 60});
    WhenDialogOpens([](QWidget* dialog) {
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Smoothing"));
      QVERIFY(Child<QRadioButton>(dialog, "savitzky-golay")->isChecked());
      QCOMPARE(Child<QLineEdit>(dialog, "points")->text(), QStringLiteral("10"));
      Child<QRadioButton>(dialog, "moving-window")->setChecked(true);
      Child<QCheckBox>(dialog, "copySmoothedSet")->setChecked(true);
      Child<QLineEdit>(dialog, "points")->setText(QStringLiteral("5"));  // typed, not yet left
      PressOk(dialog);
    });
    frame->runCommand(Cmd::Smooth);
    QCOMPARE(doc().SetCount(), 2);
    QCOMPARE(doc().sets[1]->name, std::string("Smoothed A"));
    QCOMPARE(doc().sets[1]->GetValue(1, 0), 2.0);
    QCOMPARE(doc().sets[0]->GetValue(1, 0), 1.0);
    QCOMPARE(doc().statusText, std::string("Set smoothed"));
  }

  void propertiesDialogShowsTheSet() {
    addSet("A", {0, 1, 3, 4}, {5, -1, 7, 2});
    QString points, spacing;
    bool even = true, sorted = false;
    WhenDialogOpens([&](QWidget* dialog) {
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Dataset Properties"));
      points = Child<QLineEdit>(dialog, "points")->text();
      spacing = Child<QLineEdit>(dialog, "pointSpacing")->text();
      even = Child<QCheckBox>(dialog, "evenlySpaced")->isChecked();
      sorted = Child<QCheckBox>(dialog, "sorted")->isChecked();
      PressOk(dialog);
    });
    frame->runCommand(Cmd::Properties);
    QCOMPARE(points, QStringLiteral("4"));
    QCOMPARE(spacing, QStringLiteral("1"));
    QVERIFY(!even);
    QVERIFY(sorted);
  }
};

QTEST_MAIN(PointwiseDialogsTest)
#include "pointwise_dialogs_test.moc"
