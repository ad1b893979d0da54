// Dialogs and long-operation progress of the desktop program, driven through
// QtUi as a person would: typing into the edits and pressing the buttons.

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "gui_test_support.h"
#include "app/dialogs/custom_equations_dialog.h"
#include "main_frame.h"
#include "model/document.h"
#include "zentrel_view.h"

using namespace zentrel;
using namespace zentrel::testing;

namespace {

void Type(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->setText(text);
  emit edit->editingFinished();
}

QPushButton* Button(QWidget* dialog, const QString& text) {
  for (auto* button : dialog->findChildren<QPushButton*>())
    if (button->text() == text) return button;
  return nullptr;
}

}  // namespace

class DialogsTest : public QObject, private FrameFixture {
  Q_OBJECT

 private slots:
  void init() { openFrame(); }
  void cleanup() { closeFrame(); }

  void createDataSetRoundTrip() {
    bool seen = false;
    WhenDialogOpens([&seen](QWidget* dialog) {
      seen = true;
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Create a Data Set"));
      const auto edits = dialog->findChildren<QLineEdit*>();
      QCOMPARE(edits.size(), 4);  // XStart, XEnd, XStep, Equation in that order
      Type(edits[0], QStringLiteral("0"));
      Type(edits[1], QStringLiteral("2"));
      Type(edits[2], QStringLiteral("1"));
      Type(edits[3], QStringLiteral("X*2+1"));
      dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    frame->runCommand(Cmd::CreateDataSet);
    QVERIFY(seen);
    QCOMPARE(doc().SetCount(), 1);
    const Data_Set& set = *doc().sets[0];
    QCOMPARE(set.PointCount(1), 3);
    QCOMPARE(set.GetValue(1, 0), 1.0);
    QCOMPARE(set.GetValue(1, 2), 5.0);
  }

  void createDataSetCancelAddsNothing() {
    WhenDialogOpens([](QWidget* dialog) {
      dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    });
    frame->runCommand(Cmd::CreateDataSet);
    QCOMPARE(doc().SetCount(), 0);
  }

  void customEquationsPickAndAdd() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("CustomEq.txt"));
    {
      QFile out(file);
      QVERIFY(out.open(QIODevice::WriteOnly));
      out.write("b*x\na0+a1*x");
    }
    std::string fileName = file.toStdString();
    WhenDialogOpens([](QWidget* dialog) {
      auto* list = dialog->findChild<QListWidget*>();
      QVERIFY(list != nullptr);
      QCOMPARE(list->count(), 2);
      QCOMPARE(list->item(0)->text(), QStringLiteral("a0+a1*x"));  // sorted
      QCOMPARE(list->currentRow(), -1);
      list->setCurrentRow(1);
      dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    QCOMPARE(EditCustomEquations(frame->ui(), fileName).value_or("cancelled"), std::string("b*x"));

    // ADD puts the typed equation in order and hands it back.
    WhenDialogOpens([](QWidget* dialog) {
      auto* list = dialog->findChild<QListWidget*>();
      QLineEdit* edit = nullptr;
      for (auto* candidate : dialog->findChildren<QLineEdit*>())
        if (!candidate->isReadOnly()) edit = candidate;
      QVERIFY(edit != nullptr);
      edit->setText(QStringLiteral("a0*exp(-x)"));
      QPushButton* add = Button(dialog, QStringLiteral("ADD"));
      QVERIFY(add != nullptr);
      add->click();
      QCOMPARE(list->count(), 3);
      QCOMPARE(list->item(0)->text(), QStringLiteral("a0*exp(-x)"));
      dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    QCOMPARE(EditCustomEquations(frame->ui(), fileName).value_or("cancelled"), std::string("a0*exp(-x)"));
  }

  // The whole round a person makes with keyboard and mouse: import a text
  // file through the real file dialog, rename and recolour the set, copy and
  // paste it, undo, and quit past the save prompt.
  void walkThroughWithKeyboardAndDialogs() {
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("decay.txt"));
    {
      QFile out(data);
      QVERIFY(out.open(QIODevice::WriteOnly));
      out.write("0 10\n1 6\n2 3.5\n3 2\n");
    }
    CZentrelView* view = frame->view();
    WhenDialogOpens([data](QWidget* chooser) {
      QPushButton* ascii = Button(chooser, QStringLiteral("ASCII"));
      QVERIFY(ascii != nullptr);
      WhenDialogOpens([data](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        QVERIFY(files != nullptr);
        files->selectFile(data);
        static_cast<QDialog*>(files)->accept();  // as the Open button does
      });
      ascii->click();
    });
    QTest::keyClick(view, Qt::Key_I);
    QCOMPARE(doc().SetCount(), 1);
    QCOMPARE(doc().sets[0]->PointCount(1), 4);
    QCOMPARE(doc().statusText, std::string("File Opened: 4 points, 2 columns"));

    WhenDialogOpens([](QWidget* dialog) {
      auto* edit = dialog->findChild<QLineEdit*>();
      QVERIFY(edit != nullptr);
      edit->setText(QStringLiteral("Decay A"));
      dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    frame->action(Cmd::RenameDataset)->trigger();
    QCOMPARE(doc().sets[0]->name, std::string("Decay A"));

    WhenDialogOpens([](QWidget* dialog) {
      auto* colours = qobject_cast<QColorDialog*>(dialog);
      QVERIFY(colours != nullptr);
      colours->setCurrentColor(QColor(255, 0, 0));
      colours->accept();
    });
    QTest::keyClick(view, Qt::Key_C, Qt::AltModifier);
    QCOMPARE(doc().sets[0]->color, 0x0000FFu);

    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(doc().SetCount(), 2);
    QCOMPARE(doc().sets[1]->PointCount(1), 4);
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(doc().SetCount(), 1);

    // Quitting asks first; Cancel keeps the window, No lets it go.
    QVERIFY(doc().IsModified());
    WhenDialogOpens([](QWidget* dialog) {
      auto* box = qobject_cast<QMessageBox*>(dialog);
      QVERIFY(box != nullptr);
      QCOMPARE(box->text(), QStringLiteral("Save changes to Untitled?"));
      box->button(QMessageBox::Cancel)->click();
    });
    QVERIFY(!frame->close());
    QVERIFY(frame->isVisible());
    WhenDialogOpens([](QWidget* dialog) { qobject_cast<QMessageBox*>(dialog)->button(QMessageBox::No)->click(); });
    QVERIFY(frame->close());
  }

  void progressShowsAfterAWhileAndCancelStops() {
    QtUi& ui = frame->ui();
    const ProgressCallback progress = ui.beginProgress("Importing big.txt...");
    QVERIFY(progress);
    QVERIFY(ui.progressDialog() != nullptr);
    QVERIFY(progress(0.01));
    QVERIFY(!ui.progressDialog()->isVisible());  // quick work shows nothing
    QTest::qWait(250);
    QVERIFY(progress(0.02));
    QVERIFY(ui.progressDialog()->isVisible());
    QCOMPARE(ui.progressDialog()->labelText(), QStringLiteral("Importing big.txt..."));
    // While it shows, the main window takes no input.
    QVERIFY(ui.progressDialog()->windowModality() != Qt::NonModal);
    ui.progressDialog()->cancel();
    QVERIFY(!progress(0.5));
    ui.endProgress();
    QVERIFY(ui.progressDialog() == nullptr);
  }

  void printOnWritesAPage() {
    QTemporaryDir dir;
    auto set = std::make_unique<Data_Set>();
    for (int i = 0; i < 10; ++i) {
      set->SetValue(0, i, i);
      set->SetValue(1, i, i * i);
    }
    doc().AppendSet(std::move(set));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("graph.pdf")));
    frame->printOn(printer);
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
    QFile pdf(dir.filePath(QStringLiteral("graph.pdf")));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
    QVERIFY(pdf.size() > 1000);
  }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
