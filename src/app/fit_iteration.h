#pragma once
// Fit iteration in passes: every iterating fit advances by one step per
// pass, so several fits iterate at once while the person keeps working.
//
// A pass has three parts. PrepareFitSteps (on the document's thread) copies
// what each step reads: the fit, its set's columns and the set it is
// convolved with. RunFitStep advances one copy and touches nothing else, so
// it may run on any thread, several at once. ApplyFitSteps (on the
// document's thread again) writes each result back in document order, and
// drops a result whose fit was deleted, edited or restarted, or whose
// columns changed, meanwhile. Scripts run the three in a row
// (IterateFitsOnce); the desktop program runs the steps on worker threads.

#include <cstddef>
#include <memory>
#include <vector>

namespace zentrel {

class CZentrelDoc;
class Ui;
struct FitStepJob;

// One pass's steps, in document order. Move-only; the jobs live on the heap
// so a worker may hold a pointer to one while the list is moved.
class FitStepBatch {
 public:
  FitStepBatch();
  FitStepBatch(FitStepBatch&&) noexcept;
  FitStepBatch& operator=(FitStepBatch&&) noexcept;
  ~FitStepBatch();

  bool empty() const { return jobs_.empty(); }
  std::size_t size() const { return jobs_.size(); }
  // Advances job i's copy by one step; safe to call for different i on
  // different threads at once.
  void runStep(std::size_t i);
  void runAll();

 private:
  friend FitStepBatch PrepareFitSteps(CZentrelDoc& doc);
  friend bool ApplyFitSteps(CZentrelDoc& doc, Ui& ui, FitStepBatch& batch);
  std::vector<std::unique_ptr<FitStepJob>> jobs_;
};

// The steps of every iterating fit, on copies; marks the document modified
// when there is any. The fits' engine workspaces move into the jobs.
FitStepBatch PrepareFitSteps(CZentrelDoc& doc);

// Writes back the results that still belong to their fits, shows the
// failures (a failed step ends that fit's iteration) and keeps the Fitting
// dialog and the graph up to date. True while some fit still iterates.
bool ApplyFitSteps(CZentrelDoc& doc, Ui& ui, FitStepBatch& batch);

// One whole pass on the calling thread, in document order.
// True while some fit still iterates (the caller should call again).
bool IterateFitsOnce(CZentrelDoc& doc, Ui& ui);

// Whether any fit of the document iterates.
bool AnyFitIterating(const CZentrelDoc& doc);

}  // namespace zentrel
