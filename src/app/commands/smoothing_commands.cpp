// The Smooth command: one set, or a copy of it, through the Smoothing
// dialog.

#include <memory>
#include <new>

#include "analysis/smoothing.h"
#include "app/commands/bindings.h"
#include "app/dialogs/set_picker.h"
#include "app/dialogs/smoothing_dialog.h"
#include "app/ui.h"
#include "model/document.h"

namespace zentrel {

namespace {

CommandOutcome OnSmooth(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select a Set to Smooth", true);
  if (!picked) return Outcome::Redraw();
  SmoothingDialogModel dialog;
  if (!ui.runDialog(dialog) || !dialog.hasFormula()) return {};
  Data_Set* target = picked.set;
  std::unique_ptr<Data_Set> copy;
  if (dialog.copySet) {
    try {
      copy = std::make_unique<Data_Set>(*picked.set);
    } catch (const std::bad_alloc&) {
      return Outcome::Status("Couldn't allocate new dataset");
    }
    copy->name = "Smoothed " + picked.set->name;
    target = copy.get();
  }
  // A failure leaves the set as it was; a copy that could not be smoothed
  // is not added.
  SmoothOutcome smoothed;
  {
    ProgressScope progress(ui, "Smoothing " + picked.set->name + "...");
    smoothed = smoothSet(*target, dialog.method, dialog.formula(), progress.callback());
  }
  if (smoothed.cancelled) return Outcome::Status("Smoothing cancelled").Redraw();
  if (!smoothed.ok) return Outcome::Status("Set not smoothed: " + smoothed.message).Redraw();
  return Outcome::AddSet(std::move(copy)).Status("Set smoothed").Modified().Redraw();
}

}  // namespace

std::span<const CommandBinding> SmoothingCommandBindings() {
  static const CommandBinding bindings[] = {
      {Cmd::Smooth, &OnSmooth},
  };
  return bindings;
}

}  // namespace zentrel
