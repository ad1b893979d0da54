// The Fitting window in the desktop program: opened by Fit, driven through
// its widgets, iterating in idle passes while the event loop keeps running.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>
#include <cmath>

#include "gui_test_support.h"
#include "app/dialogs/fit_dialog.h"
#include "fit_dialog.h"
#include "main_frame.h"
#include "model/document.h"
#include "model/fit.h"

using namespace zentrel;
using namespace zentrel::testing;

class FitDialogTest : public QObject, private FrameFixture {
  Q_OBJECT

 private:
  template <typename T>
  T* child(const char* name) {
    return frame->ui().fitDialogWindow()->findChild<T*>(QString::fromLatin1(name));
  }
  void type(const char* name, const QString& text) {
    auto* edit = child<QLineEdit>(name);
    QVERIFY(edit != nullptr);
    edit->setText(text);
    edit->setModified(true);
    emit edit->editingFinished();
  }

 private slots:
  void init() {
    openFrame();
    // y = 3 exp(-x/2) + 0.5 on 20000 points.
    auto set = std::make_unique<Data_Set>();
    set->name = "decay";
    for (int i = 0; i < 20000; ++i) {
      const double x = i * 0.0005;
      set->SetValue(0, i, x);
      set->SetValue(1, i, 3 * std::exp(-x / 2) + 0.5);
    }
    doc().AppendSet(std::move(set));
  }
  void cleanup() { closeFrame(); }

  void iteratesToConvergenceWithoutBlocking() {
    frame->runCommand(Cmd::Fit);  // Fit: the only set, no question
    FitDialog* window = frame->ui().fitDialogWindow();
    QVERIFY(window != nullptr);
    QVERIFY(window->isVisible());
    Fit* fit = doc().lastEditedFit;
    QVERIFY(fit != nullptr);

    // A model with three rows, then back to one exponential.
    auto* fitFunction = child<QComboBox>("fittingFn");
    fitFunction->setCurrentText(QStringLiteral("Polynomial"));
    emit fitFunction->activated(fitFunction->currentIndex());
    QCOMPARE(fit->modelKind, 1);
    QVERIFY(!child<QLineEdit>("param3")->isVisibleTo(window));
    fitFunction->setCurrentText(QStringLiteral("Exponential"));
    emit fitFunction->activated(fitFunction->currentIndex());
    QVERIFY(child<QLineEdit>("param3")->isVisibleTo(window));

    type("param0", QStringLiteral("0"));
    type("param2", QStringLiteral("1"));
    type("param3", QStringLiteral("1"));
    auto* x0 = window->findChildren<QCheckBox*>().at(1);
    QCOMPARE(x0->text(), QStringLiteral("x0"));
    x0->click();  // held
    QCOMPARE(fit->freeFlags[1], 0);
    auto* method = child<QComboBox>("fitMethod");
    method->setCurrentIndex(1);
    emit method->activated(1);
    QCOMPARE(fit->method, kMethodLevenbergMarquardt);

    // The event loop keeps running while the fit iterates.
    int ticks = 0;
    QTimer other;
    connect(&other, &QTimer::timeout, [&ticks] { ++ticks; });
    other.start(5);
    auto* iterate = child<QPushButton>("iterate");
    iterate->click();
    QCOMPARE(iterate->text(), QStringLiteral("Stop Iterating"));
    QVERIFY(frame->fitTimerActive());
    QTRY_VERIFY_WITH_TIMEOUT(std::fabs(fit->params[3] - 2.0) < 1e-6 && fit->iterationCount > 5, 20000);
    QVERIFY(ticks > 0);
    QCOMPARE(child<QLineEdit>("iterations")->text().toInt(), fit->iterationCount);
    QVERIFY(!child<QLineEdit>("chiSquared")->text().isEmpty());

    iterate->click();
    QCOMPARE(iterate->text(), QStringLiteral("Iterate"));
    QVERIFY(!fit->iterating);
    QTRY_VERIFY(!frame->fitTimerActive());
    // The standard errors show once the fit has stopped.
    bool errorShown = false;
    for (QLabel* label : window->findChildren<QLabel*>())
      if (label->text().startsWith(QStringLiteral("± "))) errorShown = true;
    QVERIFY(errorShown);

    // OK hides the window; Refit Last Edited Fit shows the same one again.
    child<QPushButton>("ok")->click();
    QVERIFY(!window->isVisible());
    frame->runCommand(Cmd::RefitLastEditedFit);
    QCOMPARE(frame->ui().fitDialogWindow(), window);
    QVERIFY(window->isVisible());
  }

  void guessFillsTheFreeRowsAndKeepsTheHeldOnes() {
    frame->runCommand(Cmd::Fit);
    FitDialog* window = frame->ui().fitDialogWindow();
    Fit* fit = doc().lastEditedFit;
    QVERIFY(fit != nullptr);
    type("param1", QStringLiteral("0"));
    window->findChildren<QCheckBox*>().at(1)->click();  // x0 held at 0
    type("param2", QStringLiteral("7"));
    child<QPushButton>("guess")->click();
    QCOMPARE(fit->params[1], 0.0);
    QVERIFY(std::fabs(fit->params[0] - 0.5) < 0.02);
    QVERIFY(std::fabs(fit->params[2] - 3) < 0.05);
    QVERIFY(std::fabs(fit->params[3] - 2) < 0.05);
    // The rows show the new start values.
    QVERIFY(std::fabs(child<QLineEdit>("param3")->text().toDouble() - fit->params[3]) < 1e-3);
    QCOMPARE(fit->iterationCount, 0);
  }

  void deletingTheIteratingFitHidesTheWindow() {
    frame->runCommand(Cmd::Fit);
    FitDialog* window = frame->ui().fitDialogWindow();
    child<QPushButton>("iterate")->click();
    QVERIFY(frame->fitTimerActive());
    frame->runCommand(Cmd::DeleteAllFits);  // Delete All Fits: the only set, no question
    QVERIFY(!window->isVisible());
    QVERIFY(FitDialogOf(doc()).fit() == nullptr);
    QTRY_VERIFY(!frame->fitTimerActive());
    // Its buttons do nothing harmful now.
    child<QPushButton>("iterate")->click();
    type("param0", QStringLiteral("4"));
  }

  // The decay's time is 2: kept at most 1.5 the fit ends on that bound,
  // and the row says so beside its error.
  void boundFieldsKeepAParameterInsideAndMarkTheResult() {
    frame->runCommand(Cmd::Fit);
    FitDialog* window = frame->ui().fitDialogWindow();
    Fit* fit = doc().lastEditedFit;
    QVERIFY(child<QLineEdit>("upper3")->isVisibleTo(window));
    QVERIFY(!child<QLineEdit>("upper4")->isVisibleTo(window));
    type("param0", QStringLiteral("0"));
    type("param2", QStringLiteral("1"));
    type("param3", QStringLiteral("5"));
    type("upper3", QStringLiteral("1.5"));
    QCOMPARE(fit->upperBounds[3], 1.5);
    QCOMPARE(fit->params[3], 1.5);  // moved inside
    QCOMPARE(child<QLineEdit>("param3")->text(), QStringLiteral("1.5"));
    QVERIFY(std::isinf(fit->lowerBounds[3]));
    window->findChildren<QCheckBox*>().at(1)->click();  // x0 held
    auto* method = child<QComboBox>("fitMethod");
    method->setCurrentIndex(1);
    emit method->activated(1);
    auto* iterate = child<QPushButton>("iterate");
    iterate->click();
    QTRY_VERIFY_WITH_TIMEOUT(fit->iterationCount > 40, 20000);
    iterate->click();
    QCOMPARE(fit->params[3], 1.5);
    bool marked = false;
    for (QLabel* label : window->findChildren<QLabel*>())
      marked = marked || label->text().contains(QStringLiteral("at upper bound"));
    QVERIFY(marked);
  }

  // The weighting list keeps its first four choices where they were and
  // offers Poisson likelihood after them.
  void poissonLikelihoodIsTheLastWeighting() {
    frame->runCommand(Cmd::Fit);
    FitDialog* window = frame->ui().fitDialogWindow();
    Fit* fit = doc().lastEditedFit;
    QStringList names;
    for (QRadioButton* radio : window->findChildren<QRadioButton*>())
      if (radio->objectName().isEmpty()) names << radio->text();
    QCOMPARE(names, QStringList({"Equal", "1/Y", "1/Sigma^2", "1/Sqrt(Y)", "Poisson likelihood"}));
    for (QRadioButton* radio : window->findChildren<QRadioButton*>()) {
      if (radio->text() != QStringLiteral("Poisson likelihood")) continue;
      radio->click();
      QCOMPARE(fit->weighting, static_cast<int>(kWeightPoisson));
    }
    for (QRadioButton* radio : window->findChildren<QRadioButton*>()) {
      if (radio->text() != QStringLiteral("1/Y")) continue;
      radio->click();
      QCOMPARE(fit->weighting, static_cast<int>(kWeightInverseY));
    }
  }

  // The shift row belongs to a convolved fit: it appears with the response
  // and its value and check box go into the fit.
  void shiftRowShowsWhileConvolving() {
    frame->runCommand(Cmd::Fit);  // before the response exists: no question which set
    auto response = std::make_unique<Data_Set>();
    response->name = "response";
    for (int i = 0; i < 9; ++i) {
      response->SetValue(0, i, i * 0.0005);
      response->SetValue(1, i, i == 2 ? 1.0 : 0.0);
    }
    const Data_Set* source = response.get();
    doc().AppendSet(std::move(response));
    FitDialog* window = frame->ui().fitDialogWindow();
    Fit* fit = doc().lastEditedFit;
    QVERIFY(fit != nullptr);
    auto* shift = child<QLineEdit>("shift");
    auto* shiftFree = child<QCheckBox>("shiftFree");
    QVERIFY(shift != nullptr && shiftFree != nullptr);
    QVERIFY(!shift->isVisibleTo(window));
    fit->setConvolutionSource(source);
    FitDialogOf(doc()).refreshDisplay();
    QVERIFY(shift->isVisibleTo(window));
    QVERIFY(!shiftFree->isChecked());
    type("shift", QStringLiteral("0.00125"));
    QCOMPARE(fit->shift, 0.00125);
    QCOMPARE(fit->shiftFree, 0);
    shiftFree->click();
    QCOMPARE(fit->shiftFree, 1);
    // An infinite shift is not taken.
    type("shift", QStringLiteral("inf"));
    QCOMPARE(fit->shift, 0.00125);
    QCOMPARE(shift->text(), QStringLiteral("0.00125"));
    fit->setConvolutionSource(nullptr);
    FitDialogOf(doc()).refreshDisplay();
    QVERIFY(!shift->isVisibleTo(window));
  }
};

QTEST_MAIN(FitDialogTest)
#include "fit_dialog_test.moc"
