// The Zentrel desktop program. A graph file named on the command line is
// opened; a file that cannot be opened ends the program after its message.
// Copies of graphs left by windows that did not close normally are offered
// once the window is up.

#include <QApplication>
#include <QCommandLineParser>
#include <QPrinter>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>

#include "app_icon.h"
#include "app/script/script_runner.h"
#include "main_frame.h"
#include "zentrel_view.h"

namespace {

std::optional<zentrel::RecoveryChoice> RecoveryChoiceNamed(const QString& name) {
  if (name == QLatin1String("restore")) return zentrel::RecoveryChoice::Restore;
  if (name == QLatin1String("discard")) return zentrel::RecoveryChoice::Discard;
  if (name == QLatin1String("later")) return zentrel::RecoveryChoice::Later;
  return std::nullopt;
}

// Runs a command script on the window's graph, as zentrel-cli runs one;
// false (with the reason on stderr) when a line failed.
bool RunStartScript(zentrel::CMainFrame& frame, const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "zentrel: cannot read script %s\n", qPrintable(path));
    return false;
  }
  zentrel::ScriptRunner runner(frame.document(), std::cout, path.toStdString());
  const bool ran = runner.run(in);
  std::cout.flush();
  frame.redrawGraph();
  frame.refresh();
  if (!ran) std::fprintf(stderr, "zentrel: %s\n", runner.error().c_str());
  return ran;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Zentrel"));
  QApplication::setApplicationName(QStringLiteral("Zentrel"));
  QApplication::setApplicationVersion(QStringLiteral("1.2"));
  QApplication::setWindowIcon(zentrel::AppIcon());

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Fits and transforms 2-D measurement data."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A graph file (.ztl) to open."));
  const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                      QStringLiteral("Save a PNG of the main window once shown, then quit."),
                                      QStringLiteral("png"));
  parser.addOption(screenshot);
  // Printing from the command line: the file named is printed, then the
  // program ends.
  const QCommandLineOption print(QStringLiteral("print"),
                                 QStringLiteral("Print the graph file on the default printer, then quit."));
  const QCommandLineOption printTo(QStringLiteral("print-to"),
                                   QStringLiteral("Print the graph file on the named printer, then quit."),
                                   QStringLiteral("printer"));
  parser.addOption(print);
  parser.addOption(printTo);
  // For scripted starts (and the tests): the recovery question answered
  // beforehand, commands run once the window is up, a shorter autosave.
  const QCommandLineOption recovered(
      QStringLiteral("recovered-copies"),
      QStringLiteral("Answer the question about copies left by windows that did not close normally: "
                     "restore, discard or later."),
      QStringLiteral("answer"));
  const QCommandLineOption runScript(QStringLiteral("run-script"),
                                     QStringLiteral("Run a command script on the graph once the window is up."),
                                     QStringLiteral("script"));
  const QCommandLineOption autosaveSeconds(
      QStringLiteral("autosave-seconds"),
      QStringLiteral("Write recovery copies every N seconds for this run (0: none), whatever File > Autosave Interval says."),
      QStringLiteral("N"));
  parser.addOption(recovered);
  parser.addOption(runScript);
  parser.addOption(autosaveSeconds);
  parser.process(app);
  std::optional<zentrel::RecoveryChoice> recoveryAnswer;
  if (parser.isSet(recovered)) {
    recoveryAnswer = RecoveryChoiceNamed(parser.value(recovered));
    if (!recoveryAnswer) {
      std::fprintf(stderr, "zentrel: --recovered-copies takes restore, discard or later\n");
      return 2;
    }
  }
  std::optional<int> autosaveEvery;
  if (parser.isSet(autosaveSeconds)) {
    bool ok = false;
    autosaveEvery = parser.value(autosaveSeconds).toInt(&ok);
    if (!ok || *autosaveEvery < 0) {
      std::fprintf(stderr, "zentrel: --autosave-seconds takes a whole number of seconds\n");
      return 2;
    }
  }

  zentrel::CMainFrame frame;
  const QStringList files = parser.positionalArguments();
  if (parser.isSet(print) || parser.isSet(printTo)) {
    if (files.isEmpty()) parser.showHelp(2);
    if (!frame.openFile(files.front())) return 1;
    QPrinter printer(QPrinter::HighResolution);
    if (parser.isSet(printTo)) printer.setPrinterName(parser.value(printTo));
    if (!printer.isValid()) {
      if (parser.isSet(printTo))
        std::fprintf(stderr, "zentrel: no printer named \"%s\"\n", qPrintable(parser.value(printTo)));
      else
        std::fprintf(stderr, "zentrel: no default printer\n");
      return 1;
    }
    frame.printOn(printer);
    return 0;
  }
  if (autosaveEvery) frame.autosave().setInterval(std::chrono::seconds(*autosaveEvery));
  frame.show();
  if (!files.isEmpty() && !frame.openFile(files.front())) return 1;
  frame.redrawGraph();
  frame.offerRecoveredCopies(recoveryAnswer);
  if (parser.isSet(runScript) && !RunStartScript(frame, parser.value(runScript))) return 1;
  if (parser.isSet(screenshot)) {
    const QString target = parser.value(screenshot);
    // Once the event loop has laid the window out and painted it.
    QTimer::singleShot(500, &frame, [&frame, target] {
      const bool saved = frame.grab().save(target, "PNG");
      QApplication::exit(saved ? 0 : 1);
    });
  }
  return QApplication::exec();
}
