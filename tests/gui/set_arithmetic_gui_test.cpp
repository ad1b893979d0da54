// Set arithmetic in the desktop program: the Set Operations dialog through
// QtUi, and the arrow keys tuning a scaled subtraction drawn in red.

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "gui_test_support.h"
#include "main_frame.h"
#include "model/document.h"
#include "set_operations_dialog.h"
#include "set_picker_dialog.h"
#include "zentrel_view.h"

using namespace zentrel;
using namespace zentrel::testing;

namespace {

void PickRow(const QString& title, int row) {
  WhenDialogOpens(title, [row](QWidget* dialog) {
    auto* picker = qobject_cast<SetPickerDialog*>(dialog);
    QVERIFY(picker != nullptr);
    picker->list()->setCurrentRow(row);
    PressOk(dialog);
  });
}

int RedPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 200 && c.green() < 80 && c.blue() < 80) ++count;
    }
  return count;
}

}  // namespace

class SetArithmeticGuiTest : public QObject, private FrameFixture {
  Q_OBJECT

 private:
  void addLines() {
    addSet("A", {0, 1, 2, 3, 4, 5, 6}, {0, 10, 20, 30, 40, 50, 60});
    addSet("B", {1, 2, 3, 4, 5}, {1, 2, 3, 4, 5});
  }

 private slots:
  void init() { openFrame(); }
  void cleanup() { closeFrame(); }

  void altOOpensSetOperationsWithPlusAndTheFirstItems() {
    addLines();
    QStringList items1, items2;
    QString checked;
    WhenDialogOpens(QStringLiteral("Set Operations"), [&](QWidget* dialog) {
      QVERIFY(qobject_cast<SetOperationsDialog*>(dialog) != nullptr);
      auto* set1 = dialog->findChild<QComboBox*>(QStringLiteral("Set1"));
      auto* set2 = dialog->findChild<QComboBox*>(QStringLiteral("Set2"));
      QVERIFY(set1 != nullptr && set2 != nullptr);
      for (int k = 0; k < set1->count(); ++k) items1 << set1->itemText(k);
      for (int k = 0; k < set2->count(); ++k) items2 << set2->itemText(k);
      QCOMPARE(set1->currentIndex(), 0);
      QCOMPARE(set2->currentIndex(), 0);
      for (auto* radio : dialog->findChildren<QRadioButton*>())
        if (radio->isChecked()) checked += radio->text();
      PressOk(dialog);  // untouched: item 0 with itself, "+"
    });
    QWidget* view = frame->view();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_O, Qt::AltModifier);
    QCOMPARE(items1, (QStringList{QStringLiteral("0:A"), QStringLiteral("1:B")}));
    QCOMPARE(items2, items1);
    QCOMPARE(checked, QStringLiteral("+"));
    QCOMPARE(doc().SetCount(), 3);
    QCOMPARE(doc().sets[2]->name, std::string("A+A"));
    QCOMPARE(frame->pane(StatusPane::Status)->text(), QStringLiteral("new Set Created"));
  }

  void chosenItemsAndOperationReachTheModel() {
    addLines();
    WhenDialogOpens(QStringLiteral("Set Operations"), [](QWidget* dialog) {
      dialog->findChild<QComboBox*>(QStringLiteral("Set2"))->setCurrentIndex(1);
      dialog->findChild<QRadioButton*>(QStringLiteral("Operation1005"))->setChecked(true);
      PressOk(dialog);
    });
    frame->runCommand(Cmd::SetOperate);
    QCOMPARE(doc().SetCount(), 3);
    QCOMPARE(doc().sets[2]->name, std::string("A^B"));
    QCOMPARE(doc().sets[2]->GetValue(1, 1), 400.0);  // 20 ^ 2 at x = 2

    WhenDialogOpens(QStringLiteral("Set Operations"), [](QWidget* dialog) {
      dialog->findChild<QComboBox*>(QStringLiteral("Set1"))->setCurrentIndex(1);
      qobject_cast<QDialog*>(dialog)->reject();
    });
    frame->runCommand(Cmd::SetOperate);
    QCOMPARE(doc().SetCount(), 3);
  }

  void arrowKeysTuneTheScaledSubtraction() {
    addLines();
    QWidget* view = frame->view();
    view->setFocus();
    // Without a preview the arrows do nothing.
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Up);
    QCOMPARE(doc().scaleFactor, 1.0);
    QCOMPARE(doc().scaleStep, 0.1);

    frame->runCommand(Cmd::Autoscale);  // autoscale, so the preview is in view
    QApplication::processEvents();
    const int redBefore = RedPixels(view->grab().toImage());
    PickRow(QStringLiteral("Select the 1st set"), 0);
    PickRow(QStringLiteral("Select the 2nd set"), 1);
    frame->runCommand(Cmd::ScaledSubtr);
    QCOMPARE(frame->pane(StatusPane::Status)->text(), QStringLiteral("Scale factor:1"));
    QApplication::processEvents();
    QVERIFY(RedPixels(view->grab().toImage()) > redBefore + 50);

    view->setFocus();
    QTest::keyClick(view, Qt::Key_Right);
    QCOMPARE(frame->pane(StatusPane::Status)->text(), QStringLiteral("Scale factor:1.1"));
    QTest::keyClick(view, Qt::Key_Up);
    QTest::keyClick(view, Qt::Key_Right);
    QCOMPARE(frame->pane(StatusPane::Status)->text(), QStringLiteral("Scale factor:2.1"));
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Left);
    QCOMPARE(frame->pane(StatusPane::Status)->text(), QStringLiteral("Scale factor:2"));
    QCOMPARE(doc().scaledPreview.GetValue(1, 0), 8.0);  // 10 - 2 x 1 at x = 1

    frame->runCommand(Cmd::SaveScaledSub);  // Save Scaled sub
    QCOMPARE(doc().SetCount(), 3);
    QCOMPARE(doc().scaledPreviewActive, 0);
    QTest::keyClick(view, Qt::Key_Right);
    QCOMPARE(doc().scaleFactor, 2.0);
  }
};

QTEST_MAIN(SetArithmeticGuiTest)
#include "set_arithmetic_gui_test.moc"
