// Import Data with "Options...": the chooser's button, the real file dialog
// and the Import Options dialog, whose preview table follows the fields as
// a person changes them; OK reads the sets, and the options are proposed
// again in the next run.

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>

#include "app/remembered_import.h"
#include "gui_test_support.h"

using namespace zentrel;
using namespace zentrel::testing;

namespace {

QPushButton* Button(QWidget* dialog, const QString& text) {
  for (auto* button : dialog->findChildren<QPushButton*>())
    if (button->text() == text) return button;
  return nullptr;
}

QString Cell(QTableWidget* table, int row, int column) {
  const QTableWidgetItem* item = table->item(row, column);
  return item ? item->text() : QString();
}

QSettings Settings() { return QSettings(QStringLiteral("Zentrel"), QStringLiteral("Zentrel")); }

QString Title(QTableWidget* table, int column) { return table->horizontalHeaderItem(column)->text(); }

// Presses "Options..." in the chooser and picks `path` in the file dialog;
// `answer` then gets the Import Options dialog.
void ImportWithOptions(const QString& path, std::function<void(QWidget*)> answer) {
  WhenDialogOpens(QStringLiteral("Select a File type"), [path, answer](QWidget* chooser) {
    QPushButton* options = Button(chooser, QStringLiteral("Options..."));
    QVERIFY(options != nullptr);
    WhenDialogOpens([path, answer](QWidget* dialog) {
      auto* files = qobject_cast<QFileDialog*>(dialog);
      QVERIFY(files != nullptr);
      WhenDialogOpens(QStringLiteral("Import Options"), answer);
      files->selectFile(path);
      static_cast<QDialog*>(files)->accept();
    });
    options->click();
  });
}

}  // namespace

class ImportOptionsDialogTest : public QObject, private FrameFixture {
  Q_OBJECT

 private slots:
  void init() {
    Settings().clear();
    openFrame();
  }
  void cleanup() { closeFrame(); }

  void previewFollowsTheFieldsAndOkReadsTheSets() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("semi.csv"));
    {
      QFile out(path);
      QVERIFY(out.open(QIODevice::WriteOnly));
      out.write("t;a;b\n1,5;2,5;3,5\n2,5;4,5;5,5\n");
    }
    bool answered = false;
    ImportWithOptions(path, [&answered](QWidget* dialog) {
      auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("preview"));
      auto* delimiter = dialog->findChild<QComboBox*>(QStringLiteral("delimiter"));
      auto* decimal = dialog->findChild<QComboBox*>(QStringLiteral("decimal"));
      auto* header = dialog->findChild<QCheckBox*>(QStringLiteral("header"));
      auto* yColumns = dialog->findChild<QLineEdit*>(QStringLiteral("yColumns"));
      auto* message = dialog->findChild<QLabel*>(QStringLiteral("message"));
      QVERIFY(table && delimiter && decimal && header && yColumns && message);

      // Detection's proposal: semicolons, decimal commas, a line of names.
      QCOMPARE(delimiter->currentText(), QStringLiteral("Semicolon"));
      QCOMPARE(decimal->currentIndex(), 1);
      QVERIFY(header->isChecked());
      QCOMPARE(table->rowCount(), 2);
      QCOMPARE(table->columnCount(), 3);
      QCOMPARE(Cell(table, 0, 0), QStringLiteral("1.5"));
      QCOMPARE(Cell(table, 1, 2), QStringLiteral("5.5"));
      QVERIFY(Title(table, 1).startsWith(QStringLiteral("2: a")));
      QVERIFY(Title(table, 1).contains(QStringLiteral("(y)")));

      // A decimal point leaves "1,5" as text.
      decimal->setCurrentIndex(0);
      QCOMPARE(Cell(table, 0, 0), QStringLiteral("1,5"));
      decimal->setCurrentIndex(1);
      QCOMPARE(Cell(table, 0, 0), QStringLiteral("1.5"));

      // Commas part the fields: "1", "5;2", "5;3", "5".
      delimiter->setCurrentText(QStringLiteral("Comma"));
      QCOMPARE(table->columnCount(), 4);
      QCOMPARE(Cell(table, 0, 1), QStringLiteral("5;2"));
      delimiter->setCurrentText(QStringLiteral("Semicolon"));

      // Without the header the names are a row of their own and the
      // titles are bare numbers.
      header->setChecked(false);
      QVERIFY(!Title(table, 0).contains(QLatin1Char('t')));
      QCOMPARE(Cell(table, 0, 1), QStringLiteral("a"));
      header->setChecked(true);
      QVERIFY(Title(table, 2).startsWith(QStringLiteral("3: b")));

      // A y list that is no list refuses OK and says why.
      QPushButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
      yColumns->setText(QStringLiteral("2,,"));
      QVERIFY(!ok->isEnabled());
      QVERIFY(message->text().contains(QStringLiteral("Y column")));
      yColumns->setText(QStringLiteral("9"));
      QVERIFY(!ok->isEnabled());
      QVERIFY(message->text().contains(QStringLiteral("column 9")));
      yColumns->setText(QStringLiteral("2, 3"));
      QVERIFY(ok->isEnabled());
      QVERIFY(message->text().isEmpty());
      QVERIFY(Title(table, 2).contains(QStringLiteral("(y)")));
      answered = true;
      ok->click();
    });
    frame->runCommand(Cmd::ImportData);
    QVERIFY(answered);
    QCOMPARE(doc().SetCount(), 2);
    QCOMPARE(doc().sets[0]->name, std::string("semi.csv: a"));
    QCOMPARE(doc().sets[1]->name, std::string("semi.csv: b"));
    QCOMPARE(doc().sets[1]->GetValue(0, 1), 2.5);
    QCOMPARE(doc().sets[1]->GetValue(1, 1), 5.5);
    QCOMPARE(doc().statusText, std::string("File Opened: 2 points, 3 columns; 2 sets"));

    // The next run proposes the same columns.
    const QString kept = Settings().value(QStringLiteral("Settings/ImportOptions")).toString();
    QVERIFY(kept.contains(QStringLiteral("y-column=2,3")));
    closeFrame();
    openFrame();
    const auto remembered = RememberedImportOptions(doc());
    QVERIFY(remembered.has_value());
    QVERIFY(remembered->yColumns == (std::vector<int>{2, 3}));
  }

  void cancelReadsNothing() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plain.txt"));
    {
      QFile out(path);
      QVERIFY(out.open(QIODevice::WriteOnly));
      out.write("1 2\n3 4\n");
    }
    ImportWithOptions(path, [](QWidget* dialog) {
      dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    });
    frame->runCommand(Cmd::ImportData);
    QCOMPARE(doc().SetCount(), 0);
    QVERIFY(!RememberedImportOptions(doc()).has_value());
  }
};

QTEST_MAIN(ImportOptionsDialogTest)
#include "import_options_dialog_test.moc"
