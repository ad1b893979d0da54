#pragma once
// The window's recovery copy: while the document has unsaved changes it is
// written every few minutes and whenever a fit stops iterating, and it is
// removed once the document is unmodified again (saved, New, Open) or the
// window ends cleanly. The columns are copied on the window's thread; the
// graph file is made and written on a worker, one write at a time: a write
// asked for while one runs follows it, with the document as it is then.

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "app/recovery/recovery_offer.h"
#include "app/recovery/recovery_store.h"
#include "app/ui.h"
#include "model/graph.h"

namespace zentrel {

class CZentrelDoc;

class Autosaver : public QObject {
  Q_OBJECT
 public:
  // The folder of the copies: the user's application data, "recovery".
  static QString DefaultFolder();

  Autosaver(CZentrelDoc& doc, std::function<PageLayout()> drawnLayout, const QString& folder,
            QObject* parent = nullptr);
  // Waits for the write in flight, then removes this window's copy.
  ~Autosaver() override;

  // Time between copies while the document is modified; zero: no copies.
  void setInterval(std::chrono::milliseconds interval);
  std::chrono::milliseconds interval() const { return interval_; }
  // After every command: starts the clock on the first change, and an
  // unmodified document keeps no copy.
  void documentChanged();
  // A copy now, if the document has unsaved changes (a fit stopped).
  void writeNow();
  // Asks about the copies of windows that ended without closing; a
  // restored one becomes this window's copy.
  RecoveryOfferResult offerRecoveredCopies(Ui& ui);

  // Blocks until no write is in flight or due (tests).
  void waitForWrites();
  bool hasCopy() const { return !inFlight_ && writer_.hasCopy(); }
  QString copyPath() const { return QString::fromStdString(writer_.paths().copy.string()); }
  // Why the last write failed; empty after a good one.
  const std::string& lastError() const { return lastError_; }

 signals:
  void copyWritten();
  // A write failed for a reason other than the last failure's.
  void writeFailed(const QString& reason);

 private:
  void startWrite();
  // On the window's thread once the worker is done.
  void collectWrite();

  CZentrelDoc& doc_;
  std::function<PageLayout()> drawnLayout_;
  std::filesystem::path folder_;
  RecoveryWriter writer_;
  QTimer timer_;
  std::chrono::milliseconds interval_{0};
  std::jthread worker_;
  std::string workerError_;  // written by the worker, read after joining it
  int writeNumber_ = 0;  // of the last write started
  bool inFlight_ = false;
  bool pending_ = false;
  std::string lastError_;
};

}  // namespace zentrel
