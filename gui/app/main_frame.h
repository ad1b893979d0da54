#pragma once
// The main window: menus, keys, toolbar and status bar built from the
// command table, the view, printing, the recent-file list and the idle
// iteration of fits. It turns what the person does into command ids.

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <memory>

#include "autosave.h"
#include "fit_stepper.h"
#include "help_window.h"
#include "key_map.h"
#include "app/commands/command_ids.h"
#include "model/document.h"
#include "qt_ui.h"
#include "status_panes.h"

class QLabel;
class QPrinter;

namespace zentrel {

class CZentrelView;
struct ExportOptions;

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  CMainFrame();
  ~CMainFrame() override;

  CZentrelDoc& document() { return doc_; }
  QtUi& ui() { return ui_; }
  CZentrelView* view() const { return view_; }

  // Runs a command as its menu item, key or button would.
  void runCommand(int id);
  void runCommand(Cmd id) { runCommand(CommandNumber(id)); }
  // Opens a graph file without the file dialog (command line, recent
  // files). False when it could not be read (the reason was shown).
  bool openFile(const QString& path);
  // Prints the graph on `target` without asking, as the command line's
  // print switches do.
  void printOn(QPrinter& target);

  // The menu action of a command; null for key-only commands.
  QAction* action(Cmd id) const { return actions_.value(id); }
  QLabel* pane(StatusPane id) const { return panes_.value(id); }
  const KeyMap& keyMap() const { return keys_; }
  QStringList recentFiles() const;
  // Graph and data files as a drop would bring them, in this order; the
  // same questions as Open and Import Data.
  void dropFiles(const QStringList& paths) { openDroppedFiles(paths); }
  // Whether fit passes are due or running.
  bool fitTimerActive() const { return fitSteps_.active(); }
  HelpWindow* helpWindow() const { return help_; }
  Autosaver& autosave() { return autosave_; }
  // Asks about the recovery copies of windows that did not close normally;
  // `answer` answers for the person when given (the command line's).
  void offerRecoveredCopies(std::optional<RecoveryChoice> answer = std::nullopt);

  // Brings menu checks, enables, panes and caption up to date.
  void refresh();
  // Redraws the view and settles the document, as a command's redraw does.
  void redrawGraph();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Data and graph files dropped on the window are imported or opened.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void loadDrawPreferences();
  void saveDrawPreferences();
  void loadImportOptions();
  void loadAutosaveInterval();
  void chooseAutosaveInterval();
  void saveImportOptions();
  bool servesItself(Cmd id) const;
  bool runFrameCommand(Cmd id);
  void buildMenus();
  void buildToolbar();
  void buildStatusBar();
  void updateCommandStates();
  void updatePanes();
  void updateLockPanes();
  void fillRecentFiles(QMenu* fileMenu);
  void rememberFile(const QString& path);
  void fitPassDone(bool more);
  void noteFitsIterating();
  QPrinter& printer();
  void paintPages(QPrinter* printer);
  void print();
  void printPreview();
  void printSetup();
  // How Export Image and Copy Graph draw: the window's style.
  ExportOptions exportOptions() const;
  void exportImage();
  void copyGraph();
  void openDroppedFiles(const QStringList& paths);
  void showHelp();
  void showAbout();

  CZentrelDoc doc_;
  CZentrelView* view_;
  QtUi ui_;
  KeyMap keys_;
  QHash<Cmd, QAction*> actions_;
  QHash<StatusPane, QLabel*> panes_;
  QList<QAction*> recentActions_;
  QToolBar* toolbar_ = nullptr;
  FitStepper fitSteps_;
  Autosaver autosave_;
  int iteratingFits_ = 0;  // at the last pass written back
  std::unique_ptr<QPrinter> printer_;
  QPointer<HelpWindow> help_;
  std::string rememberedPath_;
  std::string shownNote_;  // the drawing note last put in the status text
  std::string savedImportOptions_;  // as the settings hold them
};

}  // namespace zentrel
