#pragma once
// The desktop program's fit passes: each pass's steps run on worker threads
// while the window goes on handling events, and their results are written
// back between events, in document order. A slow step (a large set, a
// convolved model) never holds up the window.

#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <memory>

namespace zentrel {

class CZentrelDoc;
class Ui;
class FitStepBatch;

class FitStepper : public QObject {
  Q_OBJECT
 public:
  FitStepper(CZentrelDoc& doc, Ui& ui, QObject* parent = nullptr);
  // Waits for the steps in flight; their results are dropped.
  ~FitStepper() override;

  // Starts passes, unless they run already; they go on while a fit iterates.
  void start();
  // No pass after the one in flight.
  void stop();
  // Whether a pass is due, running or being written back.
  bool active() const;

 signals:
  // A pass was written back; `more`: some fit still iterates.
  void passDone(bool more);

 private:
  void beginPass();
  void finishPass();

  CZentrelDoc& doc_;
  Ui& ui_;
  QTimer due_;
  QThreadPool pool_;
  std::shared_ptr<FitStepBatch> inFlight_;
  bool applying_ = false;
  bool stopped_ = true;
};

}  // namespace zentrel
