#include "help_window.h"

#include <QFile>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/help_text.h"
#include "app_icon.h"

namespace zentrel {

namespace {

QTextBrowser* Page(const QString& markdown, QWidget* parent) {
  auto* page = new QTextBrowser(parent);
  page->setOpenExternalLinks(true);
  page->setMarkdown(markdown);
  return page;
}

QString Resource(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("(%1 is missing from this build.)").arg(path);
  return QString::fromUtf8(file.readAll());
}

}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("Zentrel Help"));
  setWindowIcon(AppIcon());
  tabs_ = new QTabWidget(this);
  tabs_->addTab(Page(Resource(QStringLiteral(":/help/introduction.md")), tabs_), QStringLiteral("Introduction"));
  tabs_->addTab(Page(QString::fromStdString(CommandReferenceMarkdown()), tabs_), QStringLiteral("Commands"));
  tabs_->addTab(Page(Resource(QStringLiteral(":/help/scripting.md")), tabs_), QStringLiteral("Scripting"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(tabs_);
  resize(820, 640);
}

}  // namespace zentrel
