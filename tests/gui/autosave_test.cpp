// The window's recovery copy: written while the document has unsaved
// changes (on the clock, and when a fit stops), one write at a time, the
// bytes Save writes; gone once the document is saved or the window closes.

#include <QFile>
#include <QSignalSpy>
#include <QtTest>
#include <chrono>
#include <cmath>

#include "app/commands/file_commands.h"
#include "app/recovery/recovery_names.h"
#include "app/recovery/recovery_sidecar.h"
#include "gui_test_support.h"
#include "io/graph_file.h"
#include "model/fit.h"

using namespace zentrel;
using namespace zentrel::testing;
using namespace std::chrono_literals;

namespace {

constexpr int kPatienceMs = 30000;

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray SaveBytes(CMainFrame& frame) {
  const std::vector<std::uint8_t> bytes =
      GraphFileBytes(frame.document(), frame.ui().drawingLayout().value_or(PageLayout{}));
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

class AutosaveTest : public QObject, public FrameFixture {
  Q_OBJECT

 private slots:
  void init() { openFrame(); }
  void cleanup() { closeFrame(); }

  void copyFollowsUnsavedChangesUntilSaved() {
    Autosaver& autosave = frame->autosave();
    QSignalSpy written(&autosave, &Autosaver::copyWritten);
    autosave.setInterval(20ms);
    addSet("a", {1, 2, 3}, {4, 5, 6});
    frame->refresh();
    QTest::qWait(100);
    QCOMPARE(written.count(), 0);  // nothing changed yet: nothing to keep
    QVERIFY(!QFile::exists(autosave.copyPath()));

    doc().SetModifiedFlag();
    frame->refresh();
    QVERIFY(written.wait(kPatienceMs));
    autosave.setInterval(0ms);  // hold still while the copy is compared
    autosave.waitForWrites();
    QCOMPARE(FileBytes(autosave.copyPath()), SaveBytes(*frame));

    QTemporaryDir dir;
    QVERIFY(SaveDocumentTo(doc(), frame->ui(), dir.filePath(QStringLiteral("saved.ztl")).toStdString()));
    frame->refresh();
    QVERIFY(!QFile::exists(autosave.copyPath()));
    QCOMPARE(FileBytes(dir.filePath(QStringLiteral("saved.ztl"))).size(), SaveBytes(*frame).size());
  }

  void aWriteAskedForDuringOneFollowsIt() {
    Autosaver& autosave = frame->autosave();
    autosave.setInterval(std::chrono::hours(1));
    QSignalSpy written(&autosave, &Autosaver::copyWritten);
    std::vector<double> x, y;
    for (int i = 0; i < 200'000; ++i) x.push_back(i), y.push_back(std::sin(i * 1e-3));
    addSet("large", x, y);
    doc().SetModifiedFlag();
    frame->refresh();
    autosave.writeNow();
    // Changed while the first write may still run: the second copy has it.
    doc().graph.title = "changed meanwhile";
    autosave.writeNow();
    autosave.writeNow();  // overtaken requests collapse into one
    autosave.waitForWrites();
    QCOMPARE(written.count(), 2);
    QCOMPARE(FileBytes(autosave.copyPath()), SaveBytes(*frame));
  }

  void aFitThatStopsIsKeptAtOnce() {
    Autosaver& autosave = frame->autosave();
    autosave.setInterval(std::chrono::hours(1));
    QSignalSpy written(&autosave, &Autosaver::copyWritten);
    std::vector<double> x, y;
    for (int i = 0; i < 500; ++i) {
      x.push_back(i * 0.01);
      y.push_back(3 * std::exp(-x.back() / 2) + 1.5 * std::exp(-x.back() / 0.2) + 0.5);
    }
    Data_Set& set = addSet("decay", x, y);
    auto made = std::make_unique<Fit>();
    made->order = 2;
    made->method = kMethodLevenbergMarquardt;
    made->params = {0, 0, 1, 1, 1, 0.1};
    made->freeFlags[1] = 0;
    made->attach(set.ColumnData(0), set.DrawablePointCount());
    set.fits.push_back(std::move(made));
    Fit& fit = *set.fits.back();
    doc().SetModifiedFlag();
    fit.iterating = 1;
    frame->refresh();
    QTRY_VERIFY_WITH_TIMEOUT(fit.iterationCount >= 2 || !fit.iterating, kPatienceMs);
    if (fit.iterating) {
      QCOMPARE(written.count(), 0);  // the clock alone would wait an hour
      fit.iterating = 0;             // the person stops it
      frame->refresh();
    }
    QVERIFY(written.count() > 0 || written.wait(kPatienceMs));
    QTRY_VERIFY_WITH_TIMEOUT(!frame->fitTimerActive(), kPatienceMs);
    autosave.waitForWrites();
    QVERIFY(QFile::exists(autosave.copyPath()));
  }

  void offWritesNothing() {
    Autosaver& autosave = frame->autosave();
    autosave.setInterval(0ms);
    addSet("a", {1, 2, 3}, {4, 5, 6});
    doc().SetModifiedFlag();
    frame->refresh();
    autosave.writeNow();
    autosave.waitForWrites();
    QVERIFY(!QFile::exists(autosave.copyPath()));
  }

  void aRestoredGraphIsNamedInTheCaption() {
    CZentrelDoc crashed;
    AddSet(crashed, "a", {1, 2, 3}, {4, 5, 6});
    crashed.pathName = "/home/u/graph.ztl";
    const std::vector<std::uint8_t> bytes = GraphFileBytes(crashed);
    const std::filesystem::path folder = Autosaver::DefaultFolder().toStdString();
    std::filesystem::create_directories(folder);
    const RecoveryPaths left = RecoveryPathsFor(folder, "4242-00000000deadbeef");
    QFile copy(QString::fromStdString(left.copy.string()));
    QVERIFY(copy.open(QIODevice::WriteOnly));
    copy.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    copy.close();
    QFile note(QString::fromStdString(left.sidecar.string()));
    QVERIFY(note.open(QIODevice::WriteOnly));
    note.write(QByteArray::fromStdString(SidecarText(SidecarFor(crashed, bytes))));
    note.close();

    frame->offerRecoveredCopies(RecoveryChoice::Restore);
    QCOMPARE(frame->windowTitle(), QStringLiteral("graph.ztl (recovered)* - Zentrel"));
    QCOMPARE(doc().SetCount(), 1);
    QVERIFY(!copy.exists());
    QVERIFY(frame->autosave().hasCopy());  // the window's own copy now
  }

  void closingTheWindowRemovesTheCopy() {
    Autosaver& autosave = frame->autosave();
    autosave.setInterval(std::chrono::hours(1));
    addSet("a", {1, 2, 3}, {4, 5, 6});
    doc().SetModifiedFlag();
    frame->refresh();
    autosave.writeNow();
    autosave.waitForWrites();
    const QString copy = autosave.copyPath();
    QVERIFY(QFile::exists(copy));
    frame.reset();  // the person answered No to saving: a clean exit all the same
    QVERIFY(!QFile::exists(copy));
    openFrame();
  }
};

QTEST_MAIN(AutosaveTest)
#include "autosave_test.moc"
