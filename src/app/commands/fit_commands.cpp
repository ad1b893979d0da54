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
#include "app/fit_report.h"
#include "app/ui.h"
#include "fit/fit_sampling.h"
#include "model/document.h"
#include "model/fit.h"
#include "numeric/c_format.h"

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

CommandOutcome OnFit(CZentrelDoc& doc, Ui& ui) {
  const PickedSet picked = PickSet(doc, ui, "Select a Set to Fit", true);
  if (!picked) return {};
  FitDialogModel& dialog = FitDialogOf(doc);
  dialog.ensureCreated();
  Data_Set& set = *picked.set;
  if (set.ColumnCount() >= 2) {
    auto owned = std::make_unique<Fit>();
    Fit& fit = *owned;
    // A new fit has no range yet (start == end): attaching gives it the set's.
    fit.attach(set.ColumnData(0), set.DrawablePointCount());
    // In the list first: the dialog finds its fit in the document.
    set.fits.push_back(std::move(owned));
    doc.lastEditedFit = &fit;
    OpenInDialog(doc, ui, fit);
    return Outcome::Modified().Redraw();
  }
  return Outcome::Redraw();
}

CommandOutcome OnRefitSet(CZentrelDoc& doc, Ui& ui) {
  FitDialogOf(doc).ensureCreated();
  const PickedSet picked = PickSet(doc, ui, "Select a Set to Refit", true);
  if (!picked) return Outcome::Status("No Data Set Selected");
  Fit* fit = PickFit(*picked.set, ui, "Select a fit to refit", true);
  if (fit == nullptr) return Outcome::Status("No fit Selected");
  CommandOutcome outcome = Outcome::Redraw();
  if (fit->hidden) outcome.modified = true;
  fit->hidden = 0;
  if (ApplySelectionRange(doc, *fit)) outcome.modified = true;
  if (picked.set->ColumnCount() >= 2) {
    doc.lastEditedFit = fit;
    OpenInDialog(doc, ui, *fit);
  }
  return outcome;
}

CommandOutcome OnRefitLastEditedFit(CZentrelDoc& doc, Ui& ui) {
  Fit* fit = LastEditedFit(doc);
  if (fit == nullptr) return OnRefitSet(doc, ui);
  CommandOutcome outcome;
  outcome.modified = ApplySelectionRange(doc, *fit);
  OpenInDialog(doc, ui, *fit);
  return outcome;
}

CommandOutcome OnDeleteFit(CZentrelDoc& doc, Ui& ui) {
  const PickedSet picked = PickSet(doc, ui, "Select a Set to Delete fit", true);
  if (!picked) return {};
  Fit* fit = PickFit(*picked.set, ui, "Select a fit to Delete", false);
  if (fit == nullptr) return {};
  DestroyFit(doc, *picked.set, IndexOfFit(*picked.set, fit));
  return Outcome::Status("Fit Deleted").Modified().Redraw();
}

CommandOutcome OnDeleteAllFits(CZentrelDoc& doc, Ui& ui) {
  const PickedSet picked = PickSet(doc, ui, "Select a Set to delete all fits", true);
  if (!picked) return {};
  Data_Set& set = *picked.set;
  while (!set.fits.empty()) DestroyFit(doc, set, set.fits.size() - 1);
  return Outcome::Status("Fits Deleted").Modified().Redraw();
}

CommandOutcome OnHideShowFit(CZentrelDoc& doc, Ui& ui) {
  const PickedSet picked = PickSet(doc, ui, "Select a Set to hide/show fit", true);
  if (!picked) return {};
  Fit* fit = PickFit(*picked.set, ui, "Select a fit to hide/show", false);
  if (fit == nullptr) return {};
  fit->hidden = !fit->hidden;
  return Outcome::Modified().Redraw();
}

CommandOutcome OnHideAllFits(CZentrelDoc& doc, Ui& ui) {
  const PickedSet picked = PickSet(doc, ui, "Select a Set to hide all fits", true);
  if (!picked) return {};
  for (auto& fit : picked.set->fits) fit->hidden = 1;
  return Outcome::Modified().Redraw();
}

CommandOutcome OnResidualAutocorrelation(CZentrelDoc& doc, Ui& ui) {
  const PickedSet picked = PickSet(doc, ui, "Select a Set with the desired fit", true);
  if (!picked) return {};
  Fit* fit = PickFit(*picked.set, ui, "Select a fit to autocorrelate residuals", true);
  if (fit == nullptr) return {};
  std::unique_ptr<Data_Set> residuals = ResidualSet(*picked.set, *fit);
  AutocorrelationResult correlated = AutocorrelateWithProgress(ui, *residuals, "the residuals of " + picked.set->name);
  residuals.reset();
  return FinishAutocorrelation(std::move(correlated));
}

CommandOutcome OnCreateDataSetFromFit(CZentrelDoc& doc, Ui& ui) {
  const PickedSet picked = PickSet(doc, ui, "Select the set containing the Fit", true);
  if (!picked) return Outcome::Status("No DataSet selected");
  Fit* fit = PickFit(*picked.set, ui, "Select Fit to Make Dataset", true);
  if (fit == nullptr) return Outcome::Status("No fit selected");
  XrangeDialogModel range;
  range.setXMin(picked.set->ColumnMin(0));
  range.setXMax(picked.set->ColumnMax(0));
  range.setGridCount(200);
  if (!ui.runDialog(range)) return {};
  CommandOutcome outcome = Outcome::Redraw();
  std::unique_ptr<Data_Set> sampled;
  if (range.useDataX) {
    sampled = sampleAtDataX(*picked.set, *fit);
  } else {
    GridSample grid = sampleGrid(fit, *picked.set, range.xMin, range.xMax, range.signedStep());
    if (grid.tooManyPoints) outcome.status = CFormat("Too many points: at most %d", kMaxSampledPoints);
    sampled = std::move(grid.set);
  }
  if (sampled) outcome = std::move(outcome).AddSet(std::move(sampled)).Modified().Status("new Set Created");
  return outcome;
}

CommandOutcome OnExportFitReport(CZentrelDoc& doc, Ui& ui) {
  const PickedSet picked = PickSet(doc, ui, "Select the set containing the Fit", true);
  if (!picked) return {};
  Fit* fit = PickFit(*picked.set, ui, "Select a fit to report", true);
  if (fit == nullptr) return {};
  FileDialogRequest request;
  request.title = "Export Fit Report";
  request.filter = "Markdown Report (*.md);;JSON Report (*.json)";
  request.defaultExtension = "md";
  request.initialName = "fit report.md";
  request.overwritePrompt = true;
  const std::optional<std::string> path = ui.saveFileName(request);
  if (!path) return {};
  FitReport report = ReportOfFit(*fit, *picked.set);
  // Intervals the Fitting dialog profiled for this fit as it stands now.
  if (FitDialogModel* dialog = ExistingFitDialog(doc); dialog != nullptr && dialog->fit() == fit)
    report.confidence = dialog->confidence;
  const std::unique_ptr<CZentrelDoc> picture = ReportPictureDocument(*picked.set, *fit, &doc.graph);
  const ReportWrite written = WriteFitReport(*path, report, *picture, [&ui](const CZentrelDoc& drawn, const std::string& file) {
    return ui.drawImage(drawn, file);
  });
  if (!written.error.empty()) {
    const std::string message = "Couldn't write the fit report " + written.error;
    ui.messageBox(message);
    return Outcome::Status(message).Failed(message);
  }
  if (!written.pictureNote.empty()) ui.messageBox("The fit report was written without its plot. " + written.pictureNote);
  return Outcome::Status("Fit report written to " + *path);
}

std::span<const CommandBinding> FitCommandBindings() {
  static const CommandBinding bindings[] = {
      {Cmd::Fit, &OnFit},
      {Cmd::RefitSet, &OnRefitSet},
      {Cmd::RefitLastEditedFit, &OnRefitLastEditedFit},
      {Cmd::DeleteFit, &OnDeleteFit},
      {Cmd::DeleteAllFits, &OnDeleteAllFits},
      {Cmd::HideShowFit, &OnHideShowFit},
      {Cmd::HideAllFits, &OnHideAllFits},
      {Cmd::ResidualAutocorrelation, &OnResidualAutocorrelation},
      {Cmd::CreateDataSetFromFit, &OnCreateDataSetFromFit},
      {Cmd::ExportFitReport, &OnExportFitReport},
      {Cmd::GlobalFit, &OnGlobalFit},
  };
  return bindings;
}

}  // namespace zentrel
