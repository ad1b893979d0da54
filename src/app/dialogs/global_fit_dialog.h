#pragma once
// The "Global Fit" dialog: fits several sets together with one model
// family and order, chosen parameters shared by all of them. It shows the
// sets to fit (the active ones at first), the family and order, and one
// row per parameter with a "shared" and a "free" check box and a value per
// set (shared rows hold one value). Iterate makes (or reuses) one fit per
// set, links them (app/global_fit_links.h) and runs the joint engine one
// trial per step; it stops by itself once the joint fit has converged,
// and the standard errors of the joint problem are shown then.
//
// The model holds texts the way the controls show them; the window and the
// `global-fit` script line only bind to it.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "fit/global_fit.h"
#include "model/document.h"

namespace zentrel {

class Ui;

class GlobalFitDialogModel {
 public:
  explicit GlobalFitDialogModel(CZentrelDoc& doc) : doc_(doc) {}

  struct Row {
    std::string caption;              // the parameter's name
    bool shared = false;
    bool free = true;
    std::vector<std::string> values;  // one per chosen set; a shared row shows the first in every one
    std::vector<std::string> errors;  // standard errors once the fit stopped, else empty
  };

  // Lists the document's sets with the active ones chosen. When fits of
  // those sets were fitted together before, the dialog shows that global
  // fit (its sets, family, order, sharing and values) to refit it.
  void open();
  // Brings the list of sets up to the document's, keeping the choice.
  void listSets();
  // Chooses the sets (indices into the document's list); the value columns follow.
  void chooseSets(const std::vector<int>& indices);
  // Reads modelName and orderText: the rows are remade, sharing kept by
  // index, the values taken from each set's fit of that family and order
  // (the linked one, else its last such fit), else from the first set's.
  // False when the name is not a model of the catalogue.
  bool applyModel();
  // "Guess": start values from each set's data for every free row; a
  // shared row takes the first set's guess. False, with the reason shown,
  // when a set's data give none.
  bool guess(Ui& ui);
  // "Iterate" / "Stop": starting reads the rows, makes or reuses one fit
  // per set and links them; false, with the reason shown, when they cannot
  // be fitted together. Stopping computes the standard errors.
  bool toggleIterate(Ui& ui);
  // One trial of the joint fit while iterating; false once iteration has
  // ended (converged, failed with the reason shown, or a fit was deleted).
  bool step(Ui& ui);
  bool iterating() const { return iterating_; }
  // The fits of the current global fit (one per chosen set), by serial;
  // empty before the first Iterate.
  const std::vector<std::uint64_t>& fitSerials() const { return serials_; }

  // What the controls show.
  std::vector<std::string> setNames;  // every set of the document
  std::vector<bool> setChosen;
  std::vector<int> columns;           // the chosen sets' indices, in order: one value column each
  std::string modelName = "Exponential";
  std::string orderText = "1";
  std::vector<Row> rows;
  std::string iterationsText;
  std::string chiSquareText;
  std::string reducedChiSquareText;  // once the fit stopped with errors
  std::string stateText;             // "converged (gradient)", "stopped", the failure
  std::string iterateCaption = "Iterate";

  std::function<void()> changed;
  void notifyChanged() const {
    if (changed) changed();
  }
  CZentrelDoc& document() const { return doc_; }

 private:
  // The fit of the set the global fit uses: the linked one, else null.
  Fit* linkedFitOf(const Data_Set& set) const;
  // False (after dropping columns of sets that are gone) when the
  // document's list of sets is no longer the one shown.
  bool keepColumnsValid();
  void showValuesFrom(const std::vector<const Fit*>& fits);
  void showFits();
  void showErrors();
  void stop(const std::string& state);
  SharedFlags sharedFlags() const;

  CZentrelDoc& doc_;
  std::vector<std::uint64_t> serials_;
  bool iterating_ = false;
};

// The document's Global Fit dialog, made on first use.
GlobalFitDialogModel& GlobalFitDialogOf(CZentrelDoc& doc);

}  // namespace zentrel
