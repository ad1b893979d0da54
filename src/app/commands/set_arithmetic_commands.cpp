// Set arithmetic: Set Operate, Combine sets, the overlaps and the scaled
// subtraction with its arrow-key companions.

#include <algorithm>
#include <memory>
#include <string>

#include "analysis/set_arithmetic.h"
#include "app/commands/bindings.h"
#include "app/commands/set_arithmetic_commands.h"
#include "app/dialogs/set_operations_dialog.h"
#include "app/dialogs/set_picker.h"
#include "app/ui.h"
#include "model/document.h"
#include "model/fit.h"
#include "numeric/c_format.h"

namespace zentrel {

namespace {

constexpr const char* kOperateFailed = "Set operation failed";

std::string ScaleFactorText(double factor) { return CFormat("Scale factor:%g", factor); }

// "N points left out (division by zero, no value)": what the status adds
// when points of the common range got no value; empty when none.
std::string LeftOutText(const SetOperateCounts& counts) {
  if (counts.total() == 0) return {};
  std::string reasons;
  if (counts.divisionsByZero > 0) reasons = "division by zero";
  if (counts.mathErrors > 0) reasons += std::string(reasons.empty() ? "" : ", ") + "no value";
  const int n = counts.total();
  return std::to_string(n) + (n == 1 ? " point" : " points") + " left out (" + reasons + ")";
}

// The operand a list item stands for; nothing when the item names no set or
// fit of the document.
std::optional<Operand> OperandOf(CZentrelDoc& doc, const SetOperationsDialogModel& dialog, int item) {
  if (item < 0 || item >= static_cast<int>(dialog.items().size())) return std::nullopt;
  const auto target = SetOperationsDialogModel::ParseItem(dialog.items()[static_cast<size_t>(item)]);
  if (!target) return std::nullopt;
  Data_Set* set = doc.SetAt(target->set);
  if (set == nullptr) return std::nullopt;
  if (target->fit < 0) return Operand{set, nullptr};
  if (target->fit >= static_cast<int>(set->fits.size())) return std::nullopt;
  return Operand{set, set->fits[static_cast<size_t>(target->fit)].get()};
}

}  // namespace

CommandOutcome OnSetOperate(CZentrelDoc& doc, Ui& ui) {
  if (doc.SetCount() == 0) return Outcome::Status("No Data Sets!");
  SetOperationsDialogModel dialog(doc);
  if (!ui.runDialog(dialog)) return {};
  const auto first = OperandOf(doc, dialog, dialog.set1);
  const auto second = OperandOf(doc, dialog, dialog.set2);
  auto result = std::make_unique<Data_Set>();
  SetOperateCounts leftOut;
  const bool done = first && second && SetOperate(*result, *first, *second, dialog.operation, doc.sets, &leftOut) == 0;
  const std::string note = LeftOutText(leftOut);
  if (done) {
    return Outcome::AddSet(std::move(result))
        .Modified()
        .Status(note.empty() ? "new Set Created" : "new Set Created; " + note)
        .Redraw();
  }
  return Outcome::Status(note.empty() ? kOperateFailed : std::string(kOperateFailed) + ": " + note).Redraw();
}

CommandOutcome OnCombineSets(CZentrelDoc& doc, Ui&) {
  std::unique_ptr<Data_Set> combined;
  for (auto& set : doc.sets) {
    if (!set->active) continue;
    if (!combined) combined = std::make_unique<Data_Set>(*set);
    else MergeInto(*combined, *set);
  }
  if (!combined) return {};
  return Outcome::AddSet(std::move(combined)).Modified().Status("Sets successfully combined").Redraw();
}

namespace {

CommandOutcome Overlap(CZentrelDoc& doc, int mode) {
  double low = doc.graph.xMin, high = doc.graph.xMax;
  if (doc.selectionX1 != doc.selectionX2) {
    low = std::min(doc.selectionX1, doc.selectionX2);
    high = std::max(doc.selectionX1, doc.selectionX2);
  }
  OverlapSets(doc.sets, low, high, mode);
  return Outcome::Modified().Redraw();
}

}  // namespace

CommandOutcome OnOverlapSets(CZentrelDoc& doc, Ui&) { return Overlap(doc, kOverlapPlain); }
CommandOutcome OnOverlapContInt(CZentrelDoc& doc, Ui&) { return Overlap(doc, kOverlapContinuousIntegral); }

CommandOutcome OnOverlapScalingX(CZentrelDoc& doc, Ui&) {
  const Graph& g = doc.graph;
  double low = g.yMin, high = g.yMax;
  if (doc.selectionY1 != doc.selectionY2) {
    low = std::min(doc.selectionY1, doc.selectionY2);
    high = std::max(doc.selectionY1, doc.selectionY2);
  }
  OverlapScalingX(doc.sets, g.xMin, g.yMin, g.xMax, g.yMax, low, high);
  return Outcome::Modified().Redraw();
}

CommandOutcome OnScaledSubtr(CZentrelDoc& doc, Ui& ui) {
  doc.StopScaledSubtraction();
  PickedSet first = PickSet(doc, ui, "Select the 1st set", true);
  PickedSet second = first ? PickSet(doc, ui, "Select the 2nd set", true) : PickedSet{};
  if (!first || !second) return Outcome::Status("No DataSet selected");
  Data_Set difference;
  if (SetOperate(difference, Operand{first.set}, Operand{second.set}, kOpSubtract, doc.sets) != 0)
    return Outcome::Status(kOperateFailed);
  doc.scaleFactor = 1.0;
  doc.scaleStep = 0.1;
  doc.scaledFirst = first.set;
  doc.scaledSecond = second.set;
  doc.scaledPreview.Clear();
  doc.scaledPreview.fits.clear();
  doc.scaledPreview.CopyFrom(difference);
  doc.scaledPreviewActive = 1;
  return Outcome::Status(ScaleFactorText(doc.scaleFactor)).Redraw();
}

namespace {

bool ScaledSubtractionRunning(const CZentrelDoc& doc) {
  return doc.scaledPreviewActive && doc.scaledFirst != nullptr && doc.scaledSecond != nullptr;
}

CommandOutcome ChangeScaleFactor(CZentrelDoc& doc, double change) {
  if (!ScaledSubtractionRunning(doc)) return {};
  const double factor = doc.scaleFactor + change;
  // The first set can no longer be resampled: keep the preview as it was.
  if (!RefillScaledPreview(doc.scaledPreview, *doc.scaledFirst, *doc.scaledSecond, factor))
    return Outcome::Status(kOperateFailed);
  doc.scaleFactor = factor;
  return Outcome::Status(ScaleFactorText(doc.scaleFactor)).Redraw();
}

}  // namespace

CommandOutcome OnScaleIncrease(CZentrelDoc& doc, Ui&) { return ChangeScaleFactor(doc, doc.scaleStep); }
CommandOutcome OnScaleDecrease(CZentrelDoc& doc, Ui&) { return ChangeScaleFactor(doc, -doc.scaleStep); }

CommandOutcome OnScaleUp(CZentrelDoc& doc, Ui&) {
  if (ScaledSubtractionRunning(doc)) doc.scaleStep *= 10;
  return {};
}

CommandOutcome OnScaleDown(CZentrelDoc& doc, Ui&) {
  if (ScaledSubtractionRunning(doc)) doc.scaleStep *= 0.1;
  return {};
}

CommandOutcome OnSaveScaledSub(CZentrelDoc& doc, Ui&) {
  if (!doc.scaledPreviewActive) return {};
  doc.StopScaledSubtraction();
  return Outcome::AddSet(std::make_unique<Data_Set>(doc.scaledPreview))
      .Modified()
      .Status(CFormat("Scaled subtraction with factor:%g\n", doc.scaleFactor))
      .Redraw();
}

std::span<const CommandBinding> SetArithmeticCommandBindings() {
  static const CommandBinding bindings[] = {
    {Cmd::SetOperate, &OnSetOperate},    {Cmd::CombineSets, &OnCombineSets},   {Cmd::OverlapSets, &OnOverlapSets},
    {Cmd::OverlapContInt, &OnOverlapContInt}, {Cmd::OverlapScalingX, &OnOverlapScalingX}, {Cmd::ScaledSubtr, &OnScaledSubtr},
    {Cmd::ScaleUp, &OnScaleUp},       {Cmd::ScaleDown, &OnScaleDown},     {Cmd::ScaleIncrease, &OnScaleIncrease},
    {Cmd::ScaleDecrease, &OnScaleDecrease}, {Cmd::SaveScaledSub, &OnSaveScaledSub},
  };
  return bindings;
}

}  // namespace zentrel
