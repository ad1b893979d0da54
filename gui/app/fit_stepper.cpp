#include "fit_stepper.h"

#include <QThread>
#include <algorithm>
#include <atomic>

#include "app/fit_iteration.h"

#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace zentrel {

namespace {

// Fit steps yield to the window: a worker thread runs at a lower priority
// than the thread that handles events, so a busy machine delays the fit,
// not the person. (Linux gives each thread its own nice value.)
void LowerThisThreadsPriority() {
#ifdef __linux__
  thread_local bool lowered = false;
  if (lowered) return;
  lowered = true;
  setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
#endif
}

}  // namespace

FitStepper::FitStepper(CZentrelDoc& doc, Ui& ui, QObject* parent) : QObject(parent), doc_(doc), ui_(ui) {
  // One core stays with the window.
  pool_.setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
  due_.setSingleShot(true);
  due_.setInterval(0);
  connect(&due_, &QTimer::timeout, this, &FitStepper::beginPass);
}

FitStepper::~FitStepper() {
  due_.stop();
  // A finished step posts its completion to this object: none may be
  // running once it is gone (posted completions go with it).
  pool_.waitForDone();
}

void FitStepper::start() {
  stopped_ = false;
  if (!active()) due_.start();
}

void FitStepper::stop() {
  stopped_ = true;
  due_.stop();
}

bool FitStepper::active() const { return due_.isActive() || inFlight_ != nullptr || applying_; }

void FitStepper::beginPass() {
  if (inFlight_ != nullptr || applying_) return;
  auto batch = std::make_shared<FitStepBatch>(PrepareFitSteps(doc_));
  if (batch->empty()) {
    emit passDone(false);
    return;
  }
  inFlight_ = batch;
  auto remaining = std::make_shared<std::atomic<std::size_t>>(batch->size());
  for (std::size_t i = 0; i < batch->size(); ++i) {
    pool_.start([this, batch, remaining, i] {
      LowerThisThreadsPriority();
      batch->runStep(i);
      // The last step of the pass hands the results to the window's thread.
      if (remaining->fetch_sub(1) == 1) QMetaObject::invokeMethod(this, &FitStepper::finishPass, Qt::QueuedConnection);
    });
  }
}

void FitStepper::finishPass() {
  const std::shared_ptr<FitStepBatch> batch = std::move(inFlight_);
  inFlight_.reset();
  if (batch == nullptr) return;
  // A failure's message box runs an event loop; no pass begins meanwhile.
  applying_ = true;
  const bool more = ApplyFitSteps(doc_, ui_, *batch);
  applying_ = false;
  if (more && !stopped_) due_.start();
  emit passDone(more);
}

}  // namespace zentrel
