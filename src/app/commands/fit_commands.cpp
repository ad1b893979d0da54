// Fit commands: Fit, Refit, Refit Last Edited Fit, the deletion and hiding
// of fits, Residual Autocorrelation and Create DataSet From Fit.

#include "app/commands/fit_commands.h"

#include <memory>
#include <utility>
#include <vector>

#include "analysis/autocorrelation.h"
#include "app/commands/bindings.h"
#include "app/commands/transform_commands.h"
#include "app/dialogs/fit_dialog.h"
#include "app/dialogs/set_picker.h"
#include "app/dialogs/xrange_dialog.h"
#include "app/ui.h"
#include "fit/fit_sampling.h"
#include "model/document.h"
#include "model/fit.h"
#include "numeric/c_format.h"
#include "view/autoscale.h"

namespace zentrel {

namespace {

// The document's last edited fit when it still exists. The commands that
// destroy fits clear the reference; looking it up keeps a miss harmless.
Fit* LastEditedFit(const CZentrelDoc& doc) {
  if (doc.lastEditedFit == nullptr) return nullptr;
  for (const auto& set : doc.sets)
    for (const auto& fit : set->fits)
      if (fit.get() == doc.lastEditedFit) return fit.get();
  return nullptr;
}

// A drawn selection (non-zero width and height) becomes the fit's range.
bool ApplySelectionRange(const CZentrelDoc& doc, Fit& fit) {
  if (doc.selectionX1 == doc.selectionX2 || doc.selectionY1 == doc.selectionY2) return false;
  fit.setRange(doc.selectionX1, doc.selectionX2);
  return true;
}

void OpenInDialog(CZentrelDoc& doc, Ui& ui, Fit& fit) {
  FitDialogModel& dialog = FitDialogOf(doc);
  dialog.openFit(fit);
  dialog.showDialog(ui);
}

// Removes fits[index] of a set, dropping every reference to it.
void DestroyFit(CZentrelDoc& doc, Data_Set& set, size_t index) {
  if (doc.lastEditedFit == set.fits[index].get()) doc.lastEditedFit = nullptr;
  set.fits.erase(set.fits.begin() + static_cast<std::ptrdiff_t>(index));
  if (FitDialogModel* dialog = ExistingFitDialog(doc)) dialog->releaseIfGone();
}

size_t IndexOfFit(const Data_Set& set, const Fit* fit) {
  for (size_t i = 0; i < set.fits.size(); ++i)
    if (set.fits[i].get() == fit) return i;
  return set.fits.size();
}

// The fit's residuals (model - y) over its range, the set sorted by x
// first. Points where the model raises a math error are left out.
std::unique_ptr<Data_Set> ResidualSet(Data_Set& set, Fit& fit) {
  set.SortByX();
  auto residuals = ResidualsAtDataX(set, fit);
  residuals->name = CFormat("%s%c%s", fit.name.c_str(), '-', set.name.c_str());
  return residuals;
}

}  // namespace

Fit* PickFit(Data_Set& set, Ui& ui, const std::string& prompt, bool autoPickSingle) {
  if (set.fits.empty()) return nullptr;
  if (set.fits.size() == 1 && autoPickSingle) return set.fits.front().get();
  std::vector<std::string> names;
  for (const auto& fit : set.fits) names.push_back(fit->name);
  SetPickerModel picker(prompt, names, names);
  picker.picksFit = true;
  if (!ui.pickFromList(picker)) return nullptr;
  if (picker.selected < 0 || picker.selected >= static_cast<int>(set.fits.size())) return nullptr;
  return set.fits[static_cast<size_t>(picker.selected)].get();
}

void OnFit(CZentrelDoc& doc, Ui& ui) {
  const PickedSet picked = PickSet(doc, ui, "Select a Set to Fit", true);
  if (!picked) return;
  FitDialogModel& dialog = FitDialogOf(doc);
  dialog.ensureCreated();
  Data_Set& set = *picked.set;
  if (set.ColumnCount() >= 2) {
    auto owned = std::make_unique<Fit>();
    Fit& fit = *owned;
    // A new fit has no range yet (start == end): attaching gives it the set's.
    fit.attach(set.ColumnData(0), set.DrawablePointCount());
    // Data stored with x falling would leave start above end: no point
    // would ever be inside the range.
    if (fit.fitStart > fit.fitEnd) fit.setRange(fit.fitStart, fit.fitEnd);
    // In the list first: the dialog finds its fit in the document.
    set.fits.push_back(std::move(owned));
    doc.lastEditedFit = &fit;
    OpenInDialog(doc, ui, fit);
    doc.SetModifiedFlag();
  }
  ui.redraw();
}

void OnRefitSet(CZentrelDoc& doc, Ui& ui) {
  FitDialogOf(doc).ensureCreated();
  const PickedSet picked = PickSet(doc, ui, "Select a Set to Refit", true);
  if (!picked) {
    doc.statusText = "No Data Set Selected";
    return;
  }
  Fit* fit = PickFit(*picked.set, ui, "Select a fit to refit", true);
  if (fit == nullptr) {
    doc.statusText = "No fit Selected";
    return;
  }
  if (fit->hidden) doc.SetModifiedFlag();
  fit->hidden = 0;
  if (ApplySelectionRange(doc, *fit)) doc.SetModifiedFlag();
  if (picked.set->ColumnCount() >= 2) {
    doc.lastEditedFit = fit;
    OpenInDialog(doc, ui, *fit);
  }
  ui.redraw();
}

void OnRefitLastEditedFit(CZentrelDoc& doc, Ui& ui) {
  Fit* fit = LastEditedFit(doc);
  if (fit == nullptr) {
    OnRefitSet(doc, ui);
    return;
  }
  if (ApplySelectionRange(doc, *fit)) doc.SetModifiedFlag();
  OpenInDialog(doc, ui, *fit);
}

void OnDeleteFit(CZentrelDoc& doc, Ui& ui) {
  const PickedSet picked = PickSet(doc, ui, "Select a Set to Delete fit", true);
  if (!picked) return;
  Fit* fit = PickFit(*picked.set, ui, "Select a fit to Delete", false);
  if (fit == nullptr) return;
  DestroyFit(doc, *picked.set, IndexOfFit(*picked.set, fit));
  doc.statusText = "Fit Deleted";
  doc.SetModifiedFlag();
  ui.redraw();
}

void OnDeleteAllFits(CZentrelDoc& doc, Ui& ui) {
  const PickedSet picked = PickSet(doc, ui, "Select a Set to delete all fits", true);
  if (!picked) return;
  Data_Set& set = *picked.set;
  while (!set.fits.empty()) DestroyFit(doc, set, set.fits.size() - 1);
  doc.statusText = "Fits Deleted";
  doc.SetModifiedFlag();
  ui.redraw();
}

void OnHideShowFit(CZentrelDoc& doc, Ui& ui) {
  const PickedSet picked = PickSet(doc, ui, "Select a Set to hide/show fit", true);
  if (!picked) return;
  Fit* fit = PickFit(*picked.set, ui, "Select a fit to hide/show", false);
  if (fit == nullptr) return;
  fit->hidden = !fit->hidden;
  doc.SetModifiedFlag();
  ui.redraw();
}

void OnHideAllFits(CZentrelDoc& doc, Ui& ui) {
  const PickedSet picked = PickSet(doc, ui, "Select a Set to hide all fits", true);
  if (!picked) return;
  for (auto& fit : picked.set->fits) fit->hidden = 1;
  doc.SetModifiedFlag();
  ui.redraw();
}

void OnResidualAutocorrelation(CZentrelDoc& doc, Ui& ui) {
  const PickedSet picked = PickSet(doc, ui, "Select a Set with the desired fit", true);
  if (!picked) return;
  Fit* fit = PickFit(*picked.set, ui, "Select a fit to autocorrelate residuals", true);
  if (fit == nullptr) return;
  std::unique_ptr<Data_Set> residuals = ResidualSet(*picked.set, *fit);
  std::unique_ptr<Data_Set> correlated = autocorrelate(*residuals);
  residuals.reset();
  FinishAutocorrelation(doc, ui, std::move(correlated));
}

void OnCreateDataSetFromFit(CZentrelDoc& doc, Ui& ui) {
  const PickedSet picked = PickSet(doc, ui, "Select the set containing the Fit", true);
  if (!picked) {
    doc.statusText = "No DataSet selected";
    return;
  }
  Fit* fit = PickFit(*picked.set, ui, "Select Fit to Make Dataset", true);
  if (fit == nullptr) {
    doc.statusText = "No fit selected";
    return;
  }
  XrangeDialogModel range;
  range.setXMin(picked.set->ColumnMin(0));
  range.setXMax(picked.set->ColumnMax(0));
  range.setGridCount(200);
  if (!ui.runDialog(range)) return;
  std::unique_ptr<Data_Set> sampled;
  if (range.useDataX) {
    sampled = sampleAtDataX(*picked.set, *fit);
  } else {
    GridSample grid = sampleGrid(fit, *picked.set, range.xMin, range.xMax, range.signedStep());
    if (grid.tooManyPoints) doc.statusText = CFormat("Too many points: at most %d", kMaxSampledPoints);
    sampled = std::move(grid.set);
  }
  if (sampled) {
    doc.AppendSet(std::move(sampled));
    doc.SetModifiedFlag();
    doc.statusText = "new Set Created";
  }
  ui.redraw();
}

std::span<const CommandBinding> FitCommandBindings() {
  static const CommandBinding bindings[] = {
      {32789, &OnFit},
      {32790, &OnRefitSet},
      {32850, &OnRefitLastEditedFit},
      {32795, &OnDeleteFit},
      {32870, &OnDeleteAllFits},
      {32803, &OnHideShowFit},
      {32869, &OnHideAllFits},
      {32834, &OnResidualAutocorrelation},
      {32807, &OnCreateDataSetFromFit},
  };
  return bindings;
}

}  // namespace zentrel
