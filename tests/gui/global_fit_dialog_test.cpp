// The Global Fit window: opened from the Analysis menu's command over the
// active sets, driven through its widgets, iterating while the event loop
// keeps running, and reopened on the same fits to refit them.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cmath>

#include "app/dialogs/global_fit_dialog.h"
#include "global_fit_dialog.h"
#include "gui_test_support.h"
#include "main_frame.h"
#include "model/document.h"
#include "model/fit.h"

using namespace zentrel;
using namespace zentrel::testing;

class GlobalFitDialogTest : public QObject, private FrameFixture {
  Q_OBJECT

 private:
  template <typename T>
  T* child(const char* name) {
    return frame->ui().globalFitDialogWindow()->findChild<T*>(QString::fromLatin1(name));
  }
  void addDecay(const char* name, double a0, double a1, double phase) {
    std::vector<double> x, y;
    for (int i = 0; i < 90; ++i) {
      x.push_back(0.12 * i);
      // A little deterministic scatter, so the fit is not exact.
      y.push_back(0.2 + a0 * std::exp(-x.back() / 0.8) + a1 * std::exp(-x.back() / 3.0) +
                  0.01 * std::sin(7.3 * i + phase));
    }
    addSet(name, x, y);
  }
  void check(QTableWidget* table, int row, int column, bool checked) {
    table->item(row, column)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
  }

 private slots:
  void init() {
    openFrame();
    addDecay("d0", 5, 2, 0);
    addDecay("d1", 3, 4, 1);
    addDecay("d2", 1, 6, 2);
    addDecay("inactive", 2, 2, 3);
    doc().sets[3]->active = 0;
  }
  void cleanup() { closeFrame(); }

  void fitsTheActiveSetsTogetherAndRefitsTheSameFits() {
    frame->runCommand(Cmd::GlobalFit);
    GlobalFitDialog* window = frame->ui().globalFitDialogWindow();
    QVERIFY(window != nullptr);
    QVERIFY(window->isVisible());
    auto* sets = child<QListWidget>("globalSets");
    QCOMPARE(sets->count(), 4);
    for (int i = 0; i < 3; ++i) QCOMPARE(sets->item(i)->checkState(), Qt::Checked);
    QCOMPARE(sets->item(3)->checkState(), Qt::Unchecked);

    child<QComboBox>("globalModel")->setCurrentText(QStringLiteral("Exponential"));
    auto* order = child<QLineEdit>("globalOrder");
    order->setText(QStringLiteral("2"));
    emit order->editingFinished();
    auto* table = child<QTableWidget>("globalTable");
    QCOMPARE(table->rowCount(), 6);
    QCOMPARE(table->columnCount(), 3 + 2 * 3);  // name, shared, free, then value and error per set
    check(table, 3, 1, true);  // t0 shared
    check(table, 5, 1, true);  // t1 shared
    check(table, 1, 2, false);  // x0 held
    child<QPushButton>("globalGuess")->click();
    QVERIFY(table->item(3, 3)->text().toDouble() > 0);

    int ticks = 0;
    QTimer other;
    connect(&other, &QTimer::timeout, [&ticks] { ++ticks; });
    other.start(5);
    auto* iterate = child<QPushButton>("globalIterate");
    iterate->click();
    QCOMPARE(iterate->text(), QStringLiteral("Stop"));
    GlobalFitDialogModel& model = GlobalFitDialogOf(doc());
    QTRY_VERIFY_WITH_TIMEOUT(!model.iterating(), 20000);
    QVERIFY(ticks > 0);
    QCOMPARE(iterate->text(), QStringLiteral("Iterate"));
    QVERIFY(child<QLabel>("globalState")->text().startsWith(QStringLiteral("converged")));

    // One ordinary fit per chosen set, holding the shared lifetimes.
    const Fit& first = *doc().sets[0]->fits.at(0);
    for (int s = 0; s < 3; ++s) {
      QCOMPARE(doc().sets[static_cast<size_t>(s)]->fits.size(), size_t{1});
      const Fit& fit = *doc().sets[static_cast<size_t>(s)]->fits[0];
      QCOMPARE(fit.params[3], first.params[3]);
      QCOMPARE(fit.params[5], first.params[5]);
      QCOMPARE(fit.freeFlags[1], 0);
    }
    QVERIFY(doc().sets[3]->fits.empty());
    // The guess may start the two exponentials in either order.
    const double fast = std::min(first.params[3], first.params[5]);
    const double slow = std::max(first.params[3], first.params[5]);
    QVERIFY2(std::fabs(fast - 0.8) < 0.01, qPrintable(QString::number(fast)));
    QVERIFY2(std::fabs(slow - 3.0) < 0.05, qPrintable(QString::number(slow)));
    // The errors show in the ± columns once it stopped.
    QVERIFY(!table->item(3, 4)->text().isEmpty());
    QVERIFY(!table->item(2, 6)->text().isEmpty());

    // Reopened, the window shows the same global fit and refits its fits.
    window->close();
    frame->runCommand(Cmd::GlobalFit);
    QCOMPARE(table->item(3, 1)->checkState(), Qt::Checked);
    QCOMPARE(table->item(2, 1)->checkState(), Qt::Unchecked);
    const std::uint64_t serial = first.serial;
    iterate->click();
    QTRY_VERIFY_WITH_TIMEOUT(!model.iterating(), 20000);
    for (int s = 0; s < 3; ++s) QCOMPARE(doc().sets[static_cast<size_t>(s)]->fits.size(), size_t{1});
    QCOMPARE(doc().sets[0]->fits[0]->serial, serial);
  }
};

QTEST_MAIN(GlobalFitDialogTest)
#include "global_fit_dialog_test.moc"
