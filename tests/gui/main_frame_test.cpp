// The desktop program driven as a person would: menus, keys, the mouse in
// the view, the status panes and dialogs through QtUi.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QToolBar>
#include <QtTest>
#include <functional>

#include "gui_test_support.h"
#include "app/commands/command_table.h"
#include "app/commands/dispatch.h"
#include "app/dialogs/set_picker.h"
#include "fft_options_dialog.h"
#include "form_dialog.h"
#include "main_frame.h"
#include "model/document.h"
#include "set_picker_dialog.h"
#include "zentrel_view.h"

using namespace zentrel;
using namespace zentrel::testing;

namespace {

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

class MainFrameTest : public QObject, private FrameFixture {
  Q_OBJECT

 private:
  QString pane(StatusPane id) { return frame->pane(id)->text(); }

 private slots:
  void init() { openFrame(); }
  void cleanup() { closeFrame(); }

  void menusFollowTheCommandTable() {
    const QList<QAction*> menus = frame->menuBar()->actions();
    int menuIndex = -1;
    int entryIndex = 0;
    QList<QAction*> entries;
    for (const MenuEntry& entry : MenuBarLayout()) {
      if (entry.kind == MenuEntry::Menu) {
        ++menuIndex;
        QVERIFY(menuIndex < menus.size());
        QCOMPARE(menus[menuIndex]->text(), Text(entry.menuCaption));
        entries.clear();
        // Export Image and Autosave Interval are the window's own entries.
        for (QAction* action : menus[menuIndex]->menu()->actions())
          if (action->objectName() != QStringLiteral("ExportImage") &&
              action->objectName() != QStringLiteral("AutosaveInterval"))
            entries << action;
        entryIndex = 0;
        continue;
      }
      QVERIFY2(entryIndex < entries.size(), qPrintable(QStringLiteral("menu %1 too short").arg(menuIndex)));
      QAction* action = entries[entryIndex++];
      if (entry.kind == MenuEntry::Separator) {
        QVERIFY(action->isSeparator());
        continue;
      }
      const CommandInfo* command = &FindCommand(entry.command);
      QString expected = Text(command->caption);
      if (!command->shortcutLabel.empty()) expected += QLatin1Char('\t') + Text(command->shortcutLabel);
      QCOMPARE(action->text(), expected);
      QCOMPARE(action->statusTip(), Text(command->prompt));
      QCOMPARE(action, frame->action(command->command()));
    }
    QCOMPARE(menuIndex + 1, menus.size());
  }

  void everyCommandIsReachableByMenuKeyOrButton() {
    for (const CommandInfo& command : AllCommands()) {
      const bool inMenu = frame->action(command.command()) != nullptr;
      for (auto key : command.keys) {
        const int id = frame->keyMap().commandFor(Text(key));
        QVERIFY2(id == command.id, qPrintable(QStringLiteral("key %1 runs %2").arg(Text(key)).arg(id)));
      }
      QVERIFY2(inMenu || !command.keys.empty(), qPrintable(QString::number(command.id)));
    }
    // Cut has no handler: shown, never enabled. Undo starts disabled.
    frame->refresh();
    QVERIFY(!frame->action(Cmd::Cut)->isEnabled());
    QVERIFY(!frame->action(Cmd::Undo)->isEnabled());
    QVERIFY(frame->action(Cmd::UseAxisAbbreviations)->isChecked());
  }

  void toolbarButtonsInOrderWithTooltips() {
    auto* toolbar = frame->findChild<QToolBar*>(QStringLiteral("Toolbar"));
    QVERIFY(toolbar != nullptr);
    QStringList tips;
    for (QAction* action : toolbar->actions())
      tips << (action->isSeparator() ? QStringLiteral("|") : toolbar->widgetForAction(action)->toolTip());
    QCOMPARE(tips.join(QLatin1Char(',')), QStringLiteral("New,Open,Save,|,Cut,Copy,Paste,|,Print,About,Help"));
  }

  void keysRunTheirCommands() {
    addSet("a", {0, 10}, {0, 10});
    QWidget* view = frame->view();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Plus, Qt::ShiftModifier, '+');
    QTest::keyClick(view, Qt::Key_Plus, Qt::KeypadModifier, '+');
    QCOMPARE(doc().graph.residualScale, 3.0);
    QTest::keyClick(view, Qt::Key_Minus, Qt::NoModifier, '-');
    QCOMPARE(doc().graph.residualScale, 2.0);
    QTest::keyClick(view, Qt::Key_A);
    QCOMPARE(doc().statusText, std::string("Graph Autoscaled"));
    QCOMPARE(pane(StatusPane::Status), QStringLiteral("Graph Autoscaled"));
    // Alt+C changes the set colour rather than opening the Calculate menu.
    QString opened;
    WhenDialogOpens([&opened](QWidget* dialog) {
      opened = QString::fromUtf8(dialog->metaObject()->className());
      dialog->close();
    });
    QTest::keyClick(view, Qt::Key_C, Qt::AltModifier);
    QCOMPARE(opened, QStringLiteral("QColorDialog"));
    QTest::keyClick(view, Qt::Key_1);
    QCOMPARE(doc().sets[0]->active, 0);
    QTest::keyClick(view, Qt::Key_1);
    QCOMPARE(doc().sets[0]->active, 1);
    // Ctrl+L toggles the log x axis and its check mark.
    QTest::keyClick(view, Qt::Key_L, Qt::ControlModifier);
    frame->refresh();
    QVERIFY(frame->action(Cmd::LogXAxis)->isChecked());
  }

  // The Edit menu names what Undo and Redo would do; both keys of Redo work.
  void undoAndRedoNameTheirCommand() {
    addSet("a", {0, 10}, {1, 2});
    QWidget* view = frame->view();
    view->setFocus();
    frame->refresh();
    QCOMPARE(frame->action(Cmd::Redo)->text(), QStringLiteral("&Redo\tCtrl+Y"));
    QVERIFY(!frame->action(Cmd::Redo)->isEnabled());
    QTest::keyClick(view, Qt::Key_I, Qt::AltModifier);  // Invert Dataset
    QCOMPARE(doc().sets[0]->GetValue(1, 0), -1.0);
    QCOMPARE(frame->action(Cmd::Undo)->text(), QStringLiteral("&Undo Invert Dataset\tCtrl+Z"));
    QVERIFY(frame->action(Cmd::Undo)->isEnabled());
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(doc().sets[0]->GetValue(1, 0), 1.0);
    QCOMPARE(frame->action(Cmd::Undo)->text(), QStringLiteral("&Undo\tCtrl+Z"));
    QVERIFY(!frame->action(Cmd::Undo)->isEnabled());
    QCOMPARE(frame->action(Cmd::Redo)->text(), QStringLiteral("&Redo Invert Dataset\tCtrl+Y"));
    QVERIFY(frame->action(Cmd::Redo)->isEnabled());
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(doc().sets[0]->GetValue(1, 0), -1.0);
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(doc().sets[0]->GetValue(1, 0), -1.0);
    QVERIFY(!frame->action(Cmd::Redo)->isEnabled());
  }

  void dragSetsTheSelectionAndZoomUnzoomFollow() {
    addSet("a", {0, 10}, {0, 10});
    doc().graph.SetRange(0, 0, 10, 10);
    frame->view()->redrawGraph();
    CZentrelView* view = frame->view();
    const Viewport& g = *view->viewport();  // the window's mapping of its last drawing
    const QPoint from = view->toPixel({g.plotRect.left + 100, g.plotRect.bottom + 100});
    const QPoint to = view->toPixel({g.plotRect.left + 300, g.plotRect.bottom + 250});
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(view, to);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, to);
    QVERIFY(view->rubberBandVisible());
    const DevicePoint a = view->toDevice(from), b = view->toDevice(to);
    QCOMPARE(doc().selectionX1, g.DeviceToDataX(std::min(a.x, b.x)));
    QCOMPARE(doc().selectionX2, g.DeviceToDataX(std::max(a.x, b.x)));
    QCOMPARE(doc().selectionY1, g.DeviceToDataY(std::min(a.y, b.y)));
    QCOMPARE(doc().selectionY2, g.DeviceToDataY(std::max(a.y, b.y)));
    QVERIFY(doc().selectionX1 < doc().selectionX2);

    const DataRange selected{doc().selectionX1, doc().selectionY1, doc().selectionX2, doc().selectionY2};
    QTest::keyClick(view, Qt::Key_Z);
    QCOMPARE(doc().graph.GetRange(), selected);
    QVERIFY(!view->rubberBandVisible());  // the zoom redrew the graph
    QTest::keyClick(view, Qt::Key_U);
    QCOMPARE(doc().graph.GetRange(), (DataRange{0, 0, 10, 10}));

    // A click is a point selection: Zoom then works about the cursor.
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, from);
    QCOMPARE(doc().selectionX1, doc().selectionX2);
    QCOMPARE(doc().selectionY1, doc().selectionY2);
  }

  void panesShowTheCursorInBothModes() {
    doc().graph.SetRange(-10, -10, 10, 10);
    frame->view()->redrawGraph();
    CZentrelView* view = frame->view();
    const Viewport& g = *view->viewport();  // the window's mapping of its last drawing
    QTest::mouseMove(view, view->toPixel({(g.plotRect.left + g.plotRect.right) / 2, g.plotRect.bottom}));
    QVERIFY(pane(StatusPane::CursorFirst).startsWith(QStringLiteral("X:")));
    QCOMPARE(pane(StatusPane::CursorSecond), QStringLiteral("Y:-10"));

    doc().graph.polar = 1;
    doc().cursorX = 0, doc().cursorY = -1;
    frame->refresh();
    QCOMPARE(pane(StatusPane::CursorFirst), QStringLiteral("R:1"));
    QCOMPARE(pane(StatusPane::CursorSecond), QStringLiteral("Th:270"));
    doc().cursorX = -1, doc().cursorY = 0;
    doc().graph.polarOrigin = 200;
    frame->refresh();
    QCOMPARE(pane(StatusPane::CursorSecond), QStringLiteral("Th:340"));
    QCOMPARE(frame->pane(StatusPane::Message)->text(), QStringLiteral("For Help, press F1"));
  }

  void labelsDialogRoundTripThroughQtUi() {
    doc().graph.title = "Old title";
    WhenDialogOpens([](QWidget* dialog) {
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Labels"));
      auto* form = qobject_cast<FormDialog*>(dialog);
      QVERIFY(form != nullptr);
      QCOMPARE(form->edits().size(), size_t{3});
      QCOMPARE(form->edits()[0]->text(), QStringLiteral("Old title"));
      form->edits()[0]->setText(QStringLiteral("Decay"));
      form->edits()[2]->setText(QStringLiteral("Counts"));
      PressOk(dialog);
    });
    frame->runCommand(Cmd::Labels);
    QCOMPARE(doc().graph.title, std::string("Decay"));
    QCOMPARE(doc().graph.yLabel, std::string("Counts"));
    // Labels changed the graph: the caption marks it unsaved.
    QCOMPARE(frame->windowTitle(), QStringLiteral("Untitled* - Zentrel"));
  }

  void printSizeRefusesTwelveInches() {
    bool refused = false;
    WhenDialogOpens([&refused](QWidget* dialog) {
      auto* form = qobject_cast<FormDialog*>(dialog);
      QVERIFY(form != nullptr);
      form->edits()[1]->setText(QStringLiteral("12"));
      // The refusal is a message box over the dialog; answer it, then cancel.
      QTimer::singleShot(0, [&refused, dialog] {
        QWidget* box = QApplication::activeModalWidget();
        refused = box != dialog && box->findChild<QLabel*>() != nullptr &&
                  box->findChildren<QLabel*>().last()->text().contains(
                      QStringLiteral("Please enter a number between 0 and 11."));
        box->close();
        QTimer::singleShot(0, [dialog] { qobject_cast<QDialog*>(dialog)->reject(); });
      });
      PressOk(dialog);
    });
    frame->runCommand(Cmd::PrintSize);
    QVERIFY(refused);
    QCOMPARE(doc().printXMax, 10.0);
  }

  void setPickerStartsWithNothingSelected() {
    addSet("first", {1}, {1});
    addSet("second", {2}, {2});
    SetPickerModel picker = MakeSetPicker(doc(), "Pick one");
    WhenDialogOpens([](QWidget* dialog) {
      auto* pickerDialog = qobject_cast<SetPickerDialog*>(dialog);
      QVERIFY(pickerDialog != nullptr);
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Pick one"));
      QVERIFY(pickerDialog->list()->selectedItems().isEmpty());
      pickerDialog->list()->setCurrentRow(1);
      PressOk(dialog);
    });
    QVERIFY(frame->ui().pickFromList(picker));
    QCOMPARE(picker.selected, 1);
  }

  void fourierTransformThroughFftOptions() {
    addSet("R", {0, 1, 2, 3}, {1, 0, 0, 0});
    addSet("I", {0, 1, 2, 3}, {0, 1, 0, 0});
    WhenDialogOpens([](QWidget* dialog) {
      auto* fft = qobject_cast<FftOptionsDialog*>(dialog);
      QVERIFY(fft != nullptr);
      QCOMPARE(dialog->windowTitle(), QStringLiteral("FFT Options"));
      QCOMPARE(fft->realList()->count(), 3);
      QCOMPARE(fft->realList()->itemText(0), QStringLiteral("All points zero"));
      QCOMPARE(fft->realList()->currentIndex(), 1);
      QCOMPARE(fft->imaginaryList()->currentIndex(), 0);
      QVERIFY(!fft->inverseButton()->isChecked());
      fft->imaginaryList()->setCurrentIndex(2);
      fft->powerSpectrumBox()->setChecked(true);
      PressOk(dialog);
    });
    frame->runCommand(Cmd::FourierTransform);
    QCOMPARE(doc().statusText, std::string("FFT completed"));
    QCOMPARE(doc().SetCount(), 5);
    QCOMPARE(doc().sets[2]->name, std::string("Real Transform of Rand I"));
    QCOMPARE(doc().sets[4]->name, std::string("Power spectrum"));
  }
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
