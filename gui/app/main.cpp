// The Zentrel desktop program. A graph file named on the command line is
// opened; a file that cannot be opened ends the program after its message.

#include <QApplication>
#include <QCommandLineParser>
#include <QPrinter>
#include <cstdio>
#include <QTimer>

#include "app_icon.h"
#include "main_frame.h"
#include "zentrel_view.h"

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
  parser.process(app);

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
  frame.show();
  if (!files.isEmpty() && !frame.openFile(files.front())) return 1;
  frame.redrawGraph();
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
