// Progress of long operations: a QProgressDialog that appears only when the
// work takes long enough to notice, and whose Cancel stops it.

#include <QCoreApplication>

#include "qt_ui.h"

namespace zentrel {

namespace {
constexpr int kSteps = 1000;
constexpr int kShowAfterMs = 100;
}  // namespace

ProgressCallback QtUi::beginProgress(const std::string& label) {
  progress_ = std::make_unique<QProgressDialog>(ToQString(label), QObject::tr("Cancel"), 0, kSteps, parent_);
  QProgressDialog* dialog = progress_.get();
  dialog->setWindowTitle(QString::fromUtf8(kProgramName));
  // Window-modal: while it shows, the events it lets through cannot start
  // another command on the document being worked on.
  dialog->setWindowModality(Qt::WindowModal);
  dialog->setMinimumDuration(kShowAfterMs);
  dialog->setAutoClose(false);
  dialog->setAutoReset(false);
  dialog->setValue(0);  // starts the clock that decides when it shows
  return [dialog](double fraction) {
    const int value = static_cast<int>(fraction * kSteps);
    if (value > dialog->value()) dialog->setValue(value < kSteps ? value : kSteps - 1);
    // Once shown, setValue lets the event loop run (repaints, Cancel).
    return !dialog->wasCanceled();
  };
}

void QtUi::endProgress() { progress_.reset(); }

}  // namespace zentrel
