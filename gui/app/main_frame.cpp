#include "main_frame.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <chrono>

#include "about_dialog.h"
#include "lock_keys.h"
#include "toolbar_icons.h"
#include "app/commands/command_table.h"
#include "app/commands/dispatch.h"
#include "app/commands/file_commands.h"
#include "app/commands/file_drop.h"
#include "app/commands/undo_captions.h"
#include "app/dialogs/fit_dialog.h"
#include "app/dialogs/import_options_dialog.h"
#include "app/fit_iteration.h"
#include "app/forwarding_ui.h"
#include "app/remembered_import.h"
#include "app/settling_ui.h"
#include "app_icon.h"
#include "graph_export.h"
#include "help_window.h"
#include "painter_surface.h"
#include "view/interaction.h"
#include "view/paint_graph.h"
#include "zentrel_view.h"

namespace zentrel {

namespace {

constexpr int kMaxRecentFiles = 4;
const char* const kIdleMessage = "For Help, press F1";

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// A menu item's text: the caption, then after a tab the table's shortcut
// label, exactly (the keys themselves come from the key map).
QString MenuText(const CommandInfo& command, std::string_view caption) {
  QString text = Text(caption);
  if (!command.shortcutLabel.empty()) text += QLatin1Char('\t') + Text(command.shortcutLabel);
  return text;
}

QSettings Settings() { return QSettings(QStringLiteral("Zentrel"), QStringLiteral("Zentrel")); }

constexpr const char* kGeometryKey = "Settings/WindowGeometry";
constexpr const char* kAutosaveKey = "Settings/AutosaveMinutes";
constexpr int kDefaultAutosaveMinutes = 2;
constexpr int kMostAutosaveMinutes = 24 * 60;

// The fits whose runs are going on, to notice one stopping.
int IteratingFits(const CZentrelDoc& doc) {
  int count = 0;
  for (const auto& set : doc.sets)
    if (set)
      for (const auto& fit : set->fits) count += fit->iterating != 0 ? 1 : 0;
  return count;
}

// Answers the recovery question as the command line said, for scripted starts.
class FixedRecoveryAnswer : public ForwardingUi {
 public:
  FixedRecoveryAnswer(Ui& inner, RecoveryChoice answer) : ForwardingUi(inner), answer_(answer) {}
  RecoveryChoice askRestoreRecovery(const std::string&) override { return answer_; }

 private:
  RecoveryChoice answer_;
};

// The local files a drag carries, in its order; empty when it carries
// anything else as well (text, web addresses).
QStringList DroppedFiles(const QMimeData* mime) {
  QStringList paths;
  if (mime == nullptr || !mime->hasUrls()) return paths;
  for (const QUrl& url : mime->urls()) {
    if (!url.isLocalFile()) return {};
    paths << url.toLocalFile();
  }
  return paths;
}

// The button's icon: the desktop theme's, else a drawn or a style one; none
// for commands without a button picture.
QIcon ToolbarIconFor(Cmd id, QStyle* style) {
  switch (id) {
    case Cmd::New: return QIcon::fromTheme(QStringLiteral("document-new"), style->standardIcon(QStyle::SP_FileIcon));
    case Cmd::Open:
      return QIcon::fromTheme(QStringLiteral("document-open"), style->standardIcon(QStyle::SP_DialogOpenButton));
    case Cmd::Save: return QIcon::fromTheme(QStringLiteral("document-save"), style->standardIcon(QStyle::SP_DialogSaveButton));
    case Cmd::Cut: return ToolbarIcon("edit-cut", ToolbarGlyph::Cut);
    case Cmd::Copy: return ToolbarIcon("edit-copy", ToolbarGlyph::Copy);
    case Cmd::Paste: return ToolbarIcon("edit-paste", ToolbarGlyph::Paste);
    case Cmd::Print: return ToolbarIcon("document-print", ToolbarGlyph::Print);
    case Cmd::About:
      return QIcon::fromTheme(QStringLiteral("help-about"), style->standardIcon(QStyle::SP_MessageBoxInformation));
    case Cmd::ContextHelp:
      return QIcon::fromTheme(QStringLiteral("help-contextual"), style->standardIcon(QStyle::SP_TitleBarContextHelpButton));
    default: return {};
  }
}

}  // namespace

CMainFrame::CMainFrame()
    : view_(new CZentrelView(doc_, this)),
      ui_(this, [this] { view_->redrawGraph(); }),
      fitSteps_(doc_, ui_),
      autosave_(doc_, [this] { return ui_.drawingLayout().value_or(PageLayout{}); }, Autosaver::DefaultFolder()) {
  setObjectName(QStringLiteral("MainFrame"));
  setWindowIcon(AppIcon());
  setCentralWidget(view_);
  loadDrawPreferences();
  loadImportOptions();
  loadAutosaveInterval();
  buildMenus();
  buildToolbar();
  buildStatusBar();
  connect(view_, &CZentrelView::cursorMoved, this, &CMainFrame::updatePanes);
  connect(view_, &CZentrelView::rangeChanged, this, &CMainFrame::refresh);
  setAcceptDrops(true);
  // A saved graph file records the window's last drawing.
  ui_.setDrawingLayout([this] { return view_->drawingLayout(); });
  connect(&fitSteps_, &FitStepper::passDone, this, &CMainFrame::fitPassDone);
  connect(&autosave_, &Autosaver::writeFailed, this, [this](const QString& reason) {
    doc_.statusText = "Recovery copy not saved: " + reason.toStdString();
    updatePanes();
  });
  // The Fitting dialog's Iterate button starts the passes.
  ui_.setFitIterationChanged([this] { refresh(); });
  qApp->installEventFilter(this);
  // Where the person left the window last time, else a size that fits a laptop.
  if (!restoreGeometry(Settings().value(kGeometryKey).toByteArray())) resize(900, 680);
  view_->setFocus();
  refresh();
}

CMainFrame::~CMainFrame() {
  qApp->removeEventFilter(this);
  // The document (and the dialog's model with it) goes before the windows.
  ui_.detachFitDialog();
  ui_.detachGlobalFitDialog();
  delete help_;
}

bool CMainFrame::servesItself(Cmd id) const {
  switch (id) {
    case Cmd::PrintSetup:
    case Cmd::Print:
    case Cmd::PrintPreview:
    case Cmd::CopyGraph:
    case Cmd::RecentFile:
    case Cmd::Exit:
    case Cmd::Toolbar:
    case Cmd::StatusBar:
    case Cmd::HelpTopics:
    case Cmd::About:
    case Cmd::Help:
    case Cmd::ContextHelp:
    case Cmd::NextPane:
    case Cmd::PreviousPane: return true;
    default: return false;
  }
}

bool CMainFrame::runFrameCommand(Cmd id) {
  switch (id) {
    case Cmd::PrintSetup: printSetup(); return true;
    case Cmd::Print: print(); return true;
    case Cmd::PrintPreview: printPreview(); return true;
    case Cmd::CopyGraph: copyGraph(); return true;
    case Cmd::Exit: close(); return true;
    case Cmd::Toolbar: toolbar_->setVisible(!toolbar_->isVisible()); return true;
    case Cmd::StatusBar: statusBar()->setVisible(!statusBar()->isVisible()); return true;
    case Cmd::HelpTopics:
    case Cmd::Help:
    case Cmd::ContextHelp: showHelp(); return true;
    case Cmd::About: showAbout(); return true;
    // One view and no split panes: nothing to switch to.
    case Cmd::NextPane:
    case Cmd::PreviousPane:
    case Cmd::RecentFile: return true;
    default: return false;
  }
}

// The drawing style and the legend switch are remembered between runs, as
// the window's other settings are; the graph file never holds them.
void CMainFrame::loadDrawPreferences() {
  QSettings settings = Settings();
  doc_.drawPreferences.style = settings.value(QStringLiteral("Settings/PaperStyle"), false).toBool()
                                   ? DrawStyle::Paper
                                   : DrawStyle::Classic;
  doc_.drawPreferences.showLegend = settings.value(QStringLiteral("Settings/Legend"), true).toBool();
}

void CMainFrame::saveDrawPreferences() {
  QSettings settings = Settings();
  settings.setValue(QStringLiteral("Settings/PaperStyle"), doc_.drawPreferences.style == DrawStyle::Paper);
  settings.setValue(QStringLiteral("Settings/Legend"), doc_.drawPreferences.showLegend);
}

// The last confirmed import options are proposed again in the next run; a
// value that no longer reads (an older program's) is ignored.
void CMainFrame::loadImportOptions() {
  savedImportOptions_ = Settings().value(QStringLiteral("Settings/ImportOptions")).toString().toStdString();
  if (const auto options = ParseImportOptionsText(savedImportOptions_)) RememberImportOptions(doc_, *options);
}

void CMainFrame::saveImportOptions() {
  const auto options = RememberedImportOptions(doc_);
  if (!options) return;
  const std::string text = ImportOptionsText(*options);
  if (text == savedImportOptions_) return;
  Settings().setValue(QStringLiteral("Settings/ImportOptions"), QString::fromStdString(text));
  savedImportOptions_ = text;
}

// Minutes between recovery copies; 0 writes none.
void CMainFrame::loadAutosaveInterval() {
  const int minutes = std::clamp(Settings().value(QString::fromUtf8(kAutosaveKey), kDefaultAutosaveMinutes).toInt(), 0,
                                 kMostAutosaveMinutes);
  autosave_.setInterval(std::chrono::minutes(minutes));
}

void CMainFrame::chooseAutosaveInterval() {
  const int current = static_cast<int>(std::chrono::duration_cast<std::chrono::minutes>(autosave_.interval()).count());
  bool ok = false;
  const int minutes =
      QInputDialog::getInt(this, QStringLiteral("Autosave"),
                           QStringLiteral("Minutes between recovery copies of unsaved changes (0: none):"), current,
                           0, kMostAutosaveMinutes, 1, &ok);
  if (!ok) return;
  Settings().setValue(QString::fromUtf8(kAutosaveKey), minutes);
  autosave_.setInterval(std::chrono::minutes(minutes));
}

void CMainFrame::offerRecoveredCopies(std::optional<RecoveryChoice> answer) {
  if (answer) {
    FixedRecoveryAnswer answering(ui_, *answer);
    SettlingUi settling(doc_, answering);
    autosave_.offerRecoveredCopies(settling);
  } else {
    SettlingUi settling(doc_, ui_);
    autosave_.offerRecoveredCopies(settling);
  }
  refresh();
}

// A fit that stopped iterating (converged, or stopped by the person) has a
// result worth keeping: a recovery copy now rather than at the next tick.
void CMainFrame::noteFitsIterating() {
  autosave_.documentChanged();
  const int iterating = IteratingFits(doc_);
  if (iterating < iteratingFits_) autosave_.writeNow();
  iteratingFits_ = iterating;
}

void CMainFrame::runCommand(int id) {
  if (!runFrameCommand(static_cast<Cmd>(id))) Dispatch(doc_, ui_, id);
  if (id == CommandNumber(Cmd::PaperStyle) || id == CommandNumber(Cmd::ShowLegend)) saveDrawPreferences();
  if (!doc_.pathName.empty() && doc_.pathName != rememberedPath_) rememberFile(QString::fromStdString(doc_.pathName));
  refresh();
}

bool CMainFrame::openFile(const QString& path) {
  SettlingUi settling(doc_, ui_);
  const bool opened = OpenDocumentFile(doc_, settling, path.toStdString());
  if (opened) rememberFile(QString::fromStdString(doc_.pathName.empty() ? path.toStdString() : doc_.pathName));
  refresh();
  return opened;
}

void CMainFrame::refresh() {
  // The drawing's note goes into the status text once, when it first appears.
  if (view_->drawingNote() != shownNote_) {
    shownNote_ = view_->drawingNote();
    if (!shownNote_.empty()) doc_.statusText = shownNote_;
  }
  // Imports by command, key or dropped file all end here.
  saveImportOptions();
  noteFitsIterating();
  setWindowTitle(QString::fromStdString(doc_.Caption()));
  updateCommandStates();
  updatePanes();
  // A command may have destroyed the fit the Fitting dialog shows.
  if (FitDialogModel* dialog = ExistingFitDialog(doc_)) dialog->releaseIfGone();
  if (AnyFitIterating(doc_)) fitSteps_.start();
}

// Menus ---------------------------------------------------------------------

void CMainFrame::buildMenus() {
  QMenu* menu = nullptr;
  for (const MenuEntry& entry : MenuBarLayout()) {
    if (entry.kind == MenuEntry::Menu) {
      menu = menuBar()->addMenu(Text(entry.menuCaption));
      connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
      continue;
    }
    if (menu == nullptr) continue;
    if (entry.kind == MenuEntry::Separator) {
      menu->addSeparator();
      continue;
    }
    const CommandInfo* command = &FindCommand(entry.command);
    auto* action = menu->addAction(MenuText(*command, command->caption));
    action->setStatusTip(Text(command->prompt));
    if (!command->tooltip.empty()) action->setToolTip(Text(command->tooltip));
    const Cmd id = entry.command;
    action->setCheckable(command->state == MenuState::Check || id == Cmd::Toolbar || id == Cmd::StatusBar);
    action->setData(command->id);
    connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
    actions_.insert(id, action);
    if (id == Cmd::RecentFile) connect(menu, &QMenu::aboutToShow, this, [this, menu] { fillRecentFiles(menu); });
    if (id == Cmd::SaveAs) {
      // Beyond the table: the graph as an image or document file.
      auto* exportAction = menu->addAction(QStringLiteral("&Export Image..."));
      exportAction->setObjectName(QStringLiteral("ExportImage"));
      exportAction->setStatusTip(QStringLiteral("Save the graph as a PNG, SVG or PDF file"));
      connect(exportAction, &QAction::triggered, this, &CMainFrame::exportImage);
      auto* autosaveAction = menu->addAction(QStringLiteral("Auto&save Interval..."));
      autosaveAction->setObjectName(QStringLiteral("AutosaveInterval"));
      autosaveAction->setStatusTip(QStringLiteral("How often unsaved changes are copied for recovery after a crash"));
      connect(autosaveAction, &QAction::triggered, this, &CMainFrame::chooseAutosaveInterval);
    }
  }
}

void CMainFrame::updateCommandStates() {
  for (auto it = actions_.begin(); it != actions_.end(); ++it) {
    const Cmd id = it.key();
    QAction* action = it.value();
    if (id == Cmd::Toolbar) {
      action->setChecked(toolbar_ != nullptr && toolbar_->isVisible());
      continue;
    }
    if (id == Cmd::StatusBar) {
      action->setChecked(statusBar()->isVisible());
      continue;
    }
    if (id == Cmd::RecentFile) continue;  // enabled by the list itself
    const CommandInfo& command = FindCommand(id);
    action->setEnabled(servesItself(id) || IsCommandEnabled(doc_, command));
    if (command.state == MenuState::Check) action->setChecked(IsCommandChecked(doc_, command));
    // Undo and Redo name the command they would take back or do again.
    if (id == Cmd::Undo) action->setText(MenuText(command, UndoCaption(doc_)));
    if (id == Cmd::Redo) action->setText(MenuText(command, RedoCaption(doc_)));
  }
  if (QAction* recent = actions_.value(Cmd::RecentFile)) recent->setEnabled(false);
}

QStringList CMainFrame::recentFiles() const {
  QSettings settings = Settings();
  settings.beginGroup(QStringLiteral("Recent File List"));
  QStringList files;
  for (int k = 1; k <= kMaxRecentFiles; ++k) {
    const QString file = settings.value(QStringLiteral("File%1").arg(k)).toString();
    if (!file.isEmpty()) files << file;
  }
  return files;
}

void CMainFrame::rememberFile(const QString& path) {
  rememberedPath_ = path.toStdString();
  const QString absolute = QFileInfo(path).absoluteFilePath();
  QStringList files = recentFiles();
  files.removeAll(absolute);
  files.prepend(absolute);
  while (files.size() > kMaxRecentFiles) files.removeLast();
  QSettings settings = Settings();
  settings.beginGroup(QStringLiteral("Recent File List"));
  for (int k = 1; k <= kMaxRecentFiles; ++k) {
    if (k <= files.size())
      settings.setValue(QStringLiteral("File%1").arg(k), files[k - 1]);
    else
      settings.remove(QStringLiteral("File%1").arg(k));
  }
}

void CMainFrame::fillRecentFiles(QMenu* fileMenu) {
  for (QAction* old : recentActions_) {
    fileMenu->removeAction(old);
    old->deleteLater();
  }
  recentActions_.clear();
  QAction* recentFileItem = actions_.value(Cmd::RecentFile);
  const QStringList files = recentFiles();
  // The disabled "Recent File" item is shown only while the list is empty;
  // the files are listed in its place.
  recentFileItem->setVisible(files.isEmpty());
  for (int k = 0; k < files.size(); ++k) {
    auto* item = new QAction(QStringLiteral("&%1 %2").arg(k + 1).arg(files[k]), fileMenu);
    item->setStatusTip(recentFileItem->statusTip());
    const QString file = files[k];
    connect(item, &QAction::triggered, this, [this, file] { openFile(file); });
    fileMenu->insertAction(recentFileItem, item);
    recentActions_ << item;
  }
}

// Toolbar and status bar ------------------------------------------------------

void CMainFrame::buildToolbar() {
  toolbar_ = addToolBar(QStringLiteral("Toolbar"));
  toolbar_->setObjectName(QStringLiteral("Toolbar"));
  toolbar_->setMovable(true);
  for (const std::optional<Cmd>& button : ToolbarLayout()) {
    if (!button) {
      toolbar_->addSeparator();
      continue;
    }
    const Cmd id = *button;
    const CommandInfo* command = &FindCommand(id);
    QAction* action = actions_.value(id);
    if (action == nullptr) {
      // Context help has no menu item: its button is its own action.
      action = new QAction(this);
      action->setStatusTip(Text(command->prompt));
      action->setToolTip(Text(command->tooltip));
      connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
      actions_.insert(id, action);
    }
    const QIcon icon = ToolbarIconFor(id, style());
    if (!icon.isNull()) action->setIcon(icon);
    // A button without an icon in this desktop's theme shows this word.
    action->setIconText(Text(command->tooltip));
    toolbar_->addAction(action);
    QWidget* widget = toolbar_->widgetForAction(action);
    widget->setToolTip(Text(command->tooltip));
    if (icon.isNull())
      if (auto* tool = qobject_cast<QToolButton*>(widget)) tool->setToolButtonStyle(Qt::ToolButtonTextOnly);
  }
}

void CMainFrame::buildStatusBar() {
  QStatusBar* bar = statusBar();
  auto* message = new QLabel(QString::fromUtf8(kIdleMessage), bar);
  message->setObjectName(QStringLiteral("MessagePane"));
  bar->addWidget(message, 1);
  panes_.insert(StatusPane::Message, message);
  const QFontMetrics metrics(bar->font());
  const auto addPane = [&](StatusPane id, const QString& sizingText) {
    auto* pane = new QLabel(bar);
    pane->setObjectName(QStringLiteral("Pane%1").arg(static_cast<int>(id)));
    pane->setMinimumWidth(metrics.horizontalAdvance(sizingText) + 8);
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addPermanentWidget(pane);
    panes_.insert(id, pane);
    return pane;
  };
  addPane(StatusPane::Status, QStringLiteral("123456789012345678901234567890"));
  addPane(StatusPane::CursorFirst, QStringLiteral("0.000000000"));
  addPane(StatusPane::CursorSecond, QStringLiteral("0.000000000"));
  // The lock-key indicators show their text while the lock is on.
  addPane(StatusPane::CapsLock, QStringLiteral("CAP"));
  addPane(StatusPane::NumLock, QStringLiteral("NUM"));
  addPane(StatusPane::ScrollLock, QStringLiteral("SCRL"));
}

void CMainFrame::updatePanes() {
  const CursorPaneTexts cursor = CursorPanes(doc_);
  panes_.value(StatusPane::CursorFirst)->setText(QString::fromStdString(cursor.first));
  panes_.value(StatusPane::CursorSecond)->setText(QString::fromStdString(cursor.second));
  panes_.value(StatusPane::Status)->setText(QString::fromStdString(doc_.statusText));
  updateLockPanes();
}

void CMainFrame::updateLockPanes() {
  const LockKeyStates locks = ReadLockKeys();
  panes_.value(StatusPane::CapsLock)->setText(locks.caps ? QStringLiteral("CAP") : QString());
  panes_.value(StatusPane::NumLock)->setText(locks.num ? QStringLiteral("NUM") : QString());
  panes_.value(StatusPane::ScrollLock)->setText(locks.scroll ? QStringLiteral("SCRL") : QString());
}

// Keys ------------------------------------------------------------------------

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  // A lock key changes its indicator when released, wherever the focus is.
  if (event->type() == QEvent::KeyRelease || event->type() == QEvent::WindowActivate) {
    if (panes_.contains(StatusPane::CapsLock)) updateLockPanes();
    return false;
  }
  if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  // Only keys typed into this window; dialogs and open menus keep theirs.
  if (widget == nullptr || widget->window() != this) return false;
  const int id = keys_.commandFor(*static_cast<QKeyEvent*>(event));
  if (id == 0) return false;
  if (event->type() == QEvent::ShortcutOverride) {
    // Ours before any menu mnemonic of the same key (Alt+C).
    event->accept();
    return true;
  }
  runCommand(id);
  return true;
}

// Fit iteration ----------------------------------------------------------------

void CMainFrame::fitPassDone(bool more) {
  // The finished fits show at once.
  if (!more) redrawGraph();
  noteFitsIterating();
  setWindowTitle(QString::fromStdString(doc_.Caption()));
  updatePanes();
}

// Printing and export -------------------------------------------------------------

QPrinter& CMainFrame::printer() {
  if (!printer_) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setPageOrientation(QPageLayout::Landscape);
    printer_->setDocName(QString::fromStdString(doc_.Title()));
  }
  return *printer_;
}

void CMainFrame::redrawGraph() { RedrawAndSettle(doc_, ui_); }

// The printer's page has a viewport of its own; the window keeps its.
void CMainFrame::paintPages(QPrinter* target) {
  QPainter painter(target);
  PainterSurface surface(painter);
  // A paper-style print lays its frame out on the printed area.
  PaintPage(surface, doc_, PrintPageRect(doc_), OptionsFor(doc_.drawPreferences));
}

// Printing and exporting are redraws the person asked for: they settle the
// document afterwards as the window's redraws do.
void CMainFrame::print() {
  QPrintDialog dialog(&printer(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  paintPages(&printer());
  doc_.SettleAfterRedraw();
}

void CMainFrame::printOn(QPrinter& target) {
  target.setPageOrientation(QPageLayout::Landscape);
  target.setDocName(QString::fromStdString(doc_.Title()));
  paintPages(&target);
  doc_.SettleAfterRedraw();
}

void CMainFrame::printPreview() {
  QPrintPreviewDialog preview(&printer(), this);
  connect(&preview, &QPrintPreviewDialog::paintRequested, this, &CMainFrame::paintPages);
  // The preview opens with as many pages side by side as it last showed.
  QSettings settings = Settings();
  const QString key = QStringLiteral("Settings/PreviewPages");
  auto* pages = preview.findChild<QPrintPreviewWidget*>();
  if (pages != nullptr && settings.value(key, 1).toInt() == 2) pages->setViewMode(QPrintPreviewWidget::FacingPagesView);
  preview.exec();
  doc_.SettleAfterRedraw();
  if (pages != nullptr)
    settings.setValue(key, pages->viewMode() == QPrintPreviewWidget::FacingPagesView ? 2 : 1);
}

void CMainFrame::printSetup() {
  QPageSetupDialog dialog(&printer(), this);
  dialog.exec();
}

ExportOptions CMainFrame::exportOptions() const {
  ExportOptions options;
  options.draw = OptionsFor(doc_.drawPreferences);
  // A paper-style PNG is the same letter page at print resolution.
  if (doc_.drawPreferences.style == DrawStyle::Paper) options.dpi = 300.0;
  return options;
}

void CMainFrame::exportImage() {
  FileDialogRequest request;
  request.title = "Export Image";
  request.filter = "PNG Images (*.png);;SVG Images (*.svg);;PDF Files (*.pdf)";
  request.defaultExtension = "png";
  request.initialName = QFileInfo(QString::fromStdString(doc_.Title())).completeBaseName().toStdString() + ".png";
  request.overwritePrompt = true;
  const auto path = ui_.saveFileName(request);
  if (!path) return;
  const GraphExport exported = ExportGraphDrawing(doc_, *path, exportOptions());
  if (exported.layout != PageLayout{}) doc_.SettleAfterRedraw();
  if (!exported.error.empty()) ui_.messageBox(exported.error);
}

// The picture as Export Image draws it, as PNG and as SVG: a paste takes
// whichever it can use.
void CMainFrame::copyGraph() {
  const GraphEncoding png = EncodeGraph(doc_, "png", exportOptions());
  const GraphEncoding svg = EncodeGraph(doc_, "svg", exportOptions());
  if (png.layout != PageLayout{} || svg.layout != PageLayout{}) doc_.SettleAfterRedraw();
  if (const std::string& error = png.error.empty() ? svg.error : png.error; !error.empty()) {
    ui_.messageBox(error);
    return;
  }
  auto* mime = new QMimeData;
  mime->setData(QStringLiteral("image/png"), png.bytes);
  mime->setData(QStringLiteral("image/svg+xml"), svg.bytes);
  mime->setImageData(QImage::fromData(png.bytes, "PNG"));
  QGuiApplication::clipboard()->setMimeData(mime);
  doc_.statusText = "Graph copied";
  refresh();
}

// Drag and drop ------------------------------------------------------------------

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CMainFrame::dragMoveEvent(QDragMoveEvent* event) {
  if (!DroppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  const QStringList paths = DroppedFiles(event->mimeData());
  if (paths.isEmpty()) return;
  event->acceptProposedAction();
  // The questions come after the drop has ended: the program the files
  // came from is not kept waiting on them.
  QMetaObject::invokeMethod(this, [this, paths] { openDroppedFiles(paths); }, Qt::QueuedConnection);
}

void CMainFrame::openDroppedFiles(const QStringList& paths) {
  std::vector<std::string> files;
  for (const QString& path : paths) files.push_back(path.toStdString());
  OpenDroppedFiles(doc_, ui_, files);
  if (!doc_.pathName.empty() && doc_.pathName != rememberedPath_) rememberFile(QString::fromStdString(doc_.pathName));
  refresh();
}

// Help ---------------------------------------------------------------------------

void CMainFrame::showHelp() {
  if (!help_) help_ = new HelpWindow;
  help_->show();
  help_->raise();
  help_->activateWindow();
}

void CMainFrame::showAbout() {
  AboutDialog about(this);
  about.exec();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (!SaveModified(doc_, ui_)) {
    event->ignore();
    return;
  }
  fitSteps_.stop();
  if (help_) help_->close();
  Settings().setValue(kGeometryKey, saveGeometry());
  event->accept();
}

}  // namespace zentrel
