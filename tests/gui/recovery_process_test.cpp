// The desktop program as separate processes: one is killed while editing
// and the next start restores its graph; two running windows keep copies
// of their own that a third start neither offers nor deletes. Every run
// has its own home and data folders, so the user's are never touched.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

constexpr int kPatienceMs = 60000;

// A running desktop program, killed when the test is done with it.
class Program {
 public:
  Program(const QTemporaryDir& home, const QStringList& arguments) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), home.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    process_.setProcessEnvironment(env);
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
    process_.start(QStringLiteral(ZENTREL_DESKTOP_BINARY), arguments);
  }
  ~Program() { kill(); }
  bool started() { return process_.waitForStarted(kPatienceMs); }
  qint64 pid() const { return process_.processId(); }
  bool running() const { return process_.state() != QProcess::NotRunning; }
  // SIGKILL: no clean-up of any kind runs.
  void kill() {
    if (!running()) return;
    process_.kill();
    process_.waitForFinished(kPatienceMs);
  }

 private:
  QProcess process_;
};

// Polls until `done` holds or the patience runs out.
template <typename Condition>
bool WaitFor(Condition done) {
  QDeadlineTimer deadline(kPatienceMs);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QTest::qWait(50);
  }
  return true;
}

}  // namespace

class RecoveryProcessTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> home_;  // a fresh one for every test

  QString path(const QString& name) const { return home_->filePath(name); }

  // Every recovery copy under the data folder, by the pid its name starts with.
  QMap<qint64, QString> copies() const {
    QMap<qint64, QString> found;
    QDirIterator it(path(QStringLiteral("data")), {QStringLiteral("*.ztl")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString file = it.next();
      const QString name = QFileInfo(file).fileName();
      // Written beside its note, which comes last: a copy counts once both are there.
      if (!QFile::exists(file.left(file.size() - 4) + QStringLiteral(".json"))) continue;
      found.insert(name.section(QLatin1Char('-'), 0, 0).toLongLong(), file);
    }
    return found;
  }

  QString writeScript(const QString& name, const QString& text) {
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write(text.toUtf8());
    return file.fileName();
  }

  // Opens the bundled example and changes it: a set from another folder, a
  // running integral, a set closed, a display switch; then the document as
  // JSON.
  QString editScript(const QString& dumpName) {
    return writeScript(dumpName + QStringLiteral(".zts"),
                       QStringLiteral("open file=\"%1/examples/demo.ztl\"\n"
                                      "new-set name=\"/elsewhere/extra run.txt\" x=0,1,2,3 y=4,3,5,1\n"
                                      "new-set name=\"closed soon\" x=0,1 y=1,2\n"
                                      "integrate-dataset set=1\n"
                                      "close-data set=3\n"
                                      "show-zero-lines\n"
                                      "dump \"%2\"\n")
                           .arg(QStringLiteral(ZENTREL_SOURCE_DIR), path(dumpName)));
  }

  QString dumpScript(const QString& dumpName) {
    return writeScript(dumpName + QStringLiteral(".zts"), QStringLiteral("dump \"%1\"\n").arg(path(dumpName)));
  }

  // The dump as the test compares it: the status line is the window's last
  // message (the integral's, before the kill), not part of the graph.
  static QJsonObject Graph(const QString& dump) {
    QFile file(dump);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QJsonObject json = QJsonDocument::fromJson(file.readAll()).object();
    json.remove(QStringLiteral("status"));
    return json;
  }

 private slots:
  void init() {
    home_ = std::make_unique<QTemporaryDir>();
    QVERIFY(home_->isValid());
  }

  void killedWhileEditingRestoresTheSameGraph() {
    Program editing(*home_, {QStringLiteral("--autosave-seconds"), QStringLiteral("1"), QStringLiteral("--run-script"),
                            editScript(QStringLiteral("before.json"))});
    QVERIFY(editing.started());
    QVERIFY(WaitFor([&] { return QFile::exists(path(QStringLiteral("before.json"))); }));
    QVERIFY(WaitFor([&] { return copies().contains(editing.pid()); }));
    editing.kill();

    Program restarted(*home_, {QStringLiteral("--recovered-copies"), QStringLiteral("restore"),
                              QStringLiteral("--run-script"), dumpScript(QStringLiteral("after.json"))});
    QVERIFY(restarted.started());
    QVERIFY(WaitFor([&] { return QFile::exists(path(QStringLiteral("after.json"))); }));

    const QJsonObject before = Graph(path(QStringLiteral("before.json")));
    const QJsonObject after = Graph(path(QStringLiteral("after.json")));
    QVERIFY(!before.isEmpty());
    QCOMPARE(before.value(QStringLiteral("sets")).toArray().size(), 3);
    QCOMPARE(after, before);
    // The restored graph is the new window's copy; the killed one's is gone.
    QVERIFY(WaitFor([&] { return copies().keys() == QList<qint64>{restarted.pid()}; }));
  }

  void twoWindowsKeepTheirOwnCopies() {
    Program first(*home_, {QStringLiteral("--autosave-seconds"), QStringLiteral("1"), QStringLiteral("--run-script"),
                          editScript(QStringLiteral("first.json"))});
    Program second(*home_, {QStringLiteral("--autosave-seconds"), QStringLiteral("1"), QStringLiteral("--run-script"),
                           editScript(QStringLiteral("second.json"))});
    QVERIFY(first.started());
    QVERIFY(second.started());
    QVERIFY(WaitFor([&] { return copies().contains(first.pid()) && copies().contains(second.pid()); }));
    const QMap<qint64, QString> both = copies();
    QCOMPARE(both.size(), 2);
    QVERIFY(both.value(first.pid()) != both.value(second.pid()));

    // A third start told to discard whatever it is offered: both live
    // windows' copies stay, and nothing of theirs is restored.
    Program third(*home_, {QStringLiteral("--recovered-copies"), QStringLiteral("discard"),
                          QStringLiteral("--run-script"), dumpScript(QStringLiteral("third.json"))});
    QVERIFY(third.started());
    QVERIFY(WaitFor([&] { return QFile::exists(path(QStringLiteral("third.json"))); }));
    QCOMPARE(Graph(path(QStringLiteral("third.json"))).value(QStringLiteral("sets")).toArray().size(), 0);
    QVERIFY(QFile::exists(both.value(first.pid())));
    QVERIFY(QFile::exists(both.value(second.pid())));

    // Once the first has died, a fourth start may take its copy, and only it.
    first.kill();
    Program fourth(*home_, {QStringLiteral("--recovered-copies"), QStringLiteral("discard"),
                           QStringLiteral("--run-script"), dumpScript(QStringLiteral("fourth.json"))});
    QVERIFY(fourth.started());
    QVERIFY(WaitFor([&] { return QFile::exists(path(QStringLiteral("fourth.json"))); }));
    QVERIFY(!QFile::exists(both.value(first.pid())));
    QVERIFY(QFile::exists(both.value(second.pid())));
  }
};

QTEST_GUILESS_MAIN(RecoveryProcessTest)
#include "recovery_process_test.moc"
