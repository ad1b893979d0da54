#include "autosave.h"

#include <QStandardPaths>

#include "app/recovery/recovery_snapshot.h"
#include "model/document.h"

namespace zentrel {

QString Autosaver::DefaultFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/recovery");
}

Autosaver::Autosaver(CZentrelDoc& doc, std::function<PageLayout()> drawnLayout, const QString& folder,
                     QObject* parent)
    : QObject(parent), doc_(doc), drawnLayout_(std::move(drawnLayout)), folder_(folder.toStdString()),
      writer_(folder_) {
  connect(&timer_, &QTimer::timeout, this, &Autosaver::writeNow);
}

Autosaver::~Autosaver() {
  // The writer removes the copy once the last write has landed.
  if (worker_.joinable()) worker_.join();
}

void Autosaver::setInterval(std::chrono::milliseconds interval) {
  interval_ = interval;
  timer_.stop();
  if (interval_.count() > 0) timer_.setInterval(interval_);
  documentChanged();
}

void Autosaver::documentChanged() {
  if (!doc_.IsModified()) {
    timer_.stop();
    pending_ = false;
    // A write in flight is followed by the removal (collectWrite).
    if (!inFlight_ && writer_.hasCopy()) writer_.Remove();
    return;
  }
  if (interval_.count() > 0 && !timer_.isActive()) timer_.start();
}

void Autosaver::writeNow() {
  if (!doc_.IsModified() || interval_.count() <= 0) return;
  if (inFlight_) {
    pending_ = true;
    return;
  }
  startWrite();
}

void Autosaver::startWrite() {
  // A plain copy of the columns: the window may change the document the
  // moment this returns.
  std::shared_ptr<const CZentrelDoc> snapshot = SnapshotForRecovery(doc_);
  const PageLayout drawn = drawnLayout_ ? drawnLayout_() : PageLayout{};
  inFlight_ = true;
  const int number = ++writeNumber_;
  if (worker_.joinable()) worker_.join();
  worker_ = std::jthread([this, snapshot, drawn, number] {
    workerError_ = WriteRecoveryCopy(writer_, *snapshot, drawn);
    // Collected here unless waitForWrites did it already and a newer
    // write is the one in flight now.
    QMetaObject::invokeMethod(
        this, [this, number] { if (number == writeNumber_) collectWrite(); }, Qt::QueuedConnection);
  });
}

void Autosaver::collectWrite() {
  if (!inFlight_) return;  // collected already (waitForWrites)
  worker_.join();
  inFlight_ = false;
  const bool newFailure = !workerError_.empty() && workerError_ != lastError_;
  lastError_ = workerError_;
  if (lastError_.empty()) emit copyWritten();
  if (newFailure) emit writeFailed(QString::fromStdString(lastError_));
  if (!doc_.IsModified()) {
    pending_ = false;
    writer_.Remove();
  } else if (pending_) {
    pending_ = false;
    startWrite();
  }
}

void Autosaver::waitForWrites() {
  while (inFlight_) collectWrite();
}

RecoveryOfferResult Autosaver::offerRecoveredCopies(Ui& ui) {
  waitForWrites();
  const RecoveryOfferResult result = OfferRecoveredCopies(doc_, ui, writer_, folder_);
  documentChanged();
  return result;
}

}  // namespace zentrel
