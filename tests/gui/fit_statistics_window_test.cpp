// The Fitting window's statistics: the text box, the correlation table with
// its strong pairs coloured, and the profile intervals beside the errors.

#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QtTest>
#include <cmath>

#include "app/dialogs/fit_dialog.h"
#include "app/fit_iteration.h"
#include "fit_dialog.h"
#include "gui_test_support.h"
#include "main_frame.h"
#include "model/document.h"

using namespace zentrel;
using namespace zentrel::testing;

class FitStatisticsWindowTest : public QObject, private FrameFixture {
  Q_OBJECT

 private:
  template <typename T>
  T* child(const char* name) {
    return frame->ui().fitDialogWindow()->findChild<T*>(QString::fromLatin1(name));
  }

 private slots:
  void init() {
    openFrame();
    // A straight line far from x = 0: its intercept and slope are almost
    // one parameter (r ≈ −1).
    auto set = std::make_unique<Data_Set>();
    set->name = "line";
    for (int i = 0; i < 30; ++i) {
      const double x = 100 + 0.1 * i;
      set->SetValue(0, i, x);
      set->SetValue(1, i, 2 + 0.5 * x + 0.01 * std::sin(3.7 * i));
    }
    doc().AppendSet(std::move(set));
  }
  void cleanup() { closeFrame(); }

  void showsStatisticsCorrelationsAndIntervals() {
    frame->runCommand(Cmd::Fit);
    FitDialogModel& model = FitDialogOf(doc());
    model.modelName = "Polynomial";
    model.orderText = "1";
    model.modelLostFocus();
    model.paramChecks[1] = false;
    model.applyParameterRow(1);
    model.methodChanged(1);
    model.toggleIterate();
    for (int pass = 0; pass < 20; ++pass) IterateFitsOnce(doc(), frame->ui());
    model.toggleIterate();

    auto* text = child<QPlainTextEdit>("statistics");
    auto* table = child<QTableWidget>("correlation");
    QVERIFY(text != nullptr && table != nullptr);
    QVERIFY(text->toPlainText().startsWith(QStringLiteral("chi-square ")));
    QVERIFY(text->toPlainText().contains(QStringLiteral("runs test:")));
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("a1"));
    const double r = table->item(0, 1)->text().toDouble();
    QVERIFY(r < -0.95);
    // Only the strong pair is coloured, not the diagonal.
    QVERIFY(table->item(0, 1)->background().style() != Qt::NoBrush);
    QCOMPARE(table->item(0, 0)->background().style(), Qt::NoBrush);

    QVERIFY(model.computeConfidence(frame->ui(), 0.95));
    auto* interval = child<QLabel>("interval2");
    QVERIFY(interval->text().startsWith(QLatin1Char('[')));
    QVERIFY(child<QLabel>("interval1")->text().isEmpty());  // x0 is held
    QVERIFY(text->toPlainText().contains(QStringLiteral("confidence 0.95 (profile")));
  }
};

QTEST_MAIN(FitStatisticsWindowTest)
#include "fit_statistics_window_test.moc"
