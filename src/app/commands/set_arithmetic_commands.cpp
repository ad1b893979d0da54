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

void OnSetOperate(CZentrelDoc& doc, Ui& ui) {
  if (doc.SetCount() == 0) {
    doc.statusText = "No Data Sets!";
    return;
  }
  SetOperationsDialogModel dialog(doc);
  if (!ui.runDialog(dialog)) return;
  const auto first = OperandOf(doc, dialog, dialog.set1);
  const auto second = OperandOf(doc, dialog, dialog.set2);
  auto result = std::make_unique<Data_Set>();
  if (first && second && SetOperate(*result, *first, *second, dialog.operation, doc.sets) == 0) {
    doc.AppendSet(std::move(result));
    doc.SetModifiedFlag();
    doc.statusText = "new Set Created";
  } else {
    doc.statusText = kOperateFailed;
  }
  ui.redraw();
}

void OnCombineSets(CZentrelDoc& doc, Ui& ui) {
  std::unique_ptr<Data_Set> combined;
  for (auto& set : doc.sets) {
    if (!set->active) continue;
    if (!combined) combined = std::make_unique<Data_Set>(*set);
    else MergeInto(*combined, *set);
  }
  if (!combined) return;
  doc.SetModifiedFlag();
  doc.AppendSet(std::move(combined));
  ui.redraw();
  doc.statusText = "Sets successfully combined";
}

namespace {

void Overlap(CZentrelDoc& doc, Ui& ui, int mode) {
  double low = doc.graph.xMin, high = doc.graph.xMax;
  if (doc.selectionX1 != doc.selectionX2) {
    low = std::min(doc.selectionX1, doc.selectionX2);
    high = std::max(doc.selectionX1, doc.selectionX2);
  }
  OverlapSets(doc.sets, low, high, mode);
  doc.SetModifiedFlag();
  ui.redraw();
}

}  // namespace

void OnOverlapSets(CZentrelDoc& doc, Ui& ui) { Overlap(doc, ui, kOverlapPlain); }
void OnOverlapContInt(CZentrelDoc& doc, Ui& ui) { Overlap(doc, ui, kOverlapContinuousIntegral); }

void OnOverlapScalingX(CZentrelDoc& doc, Ui& ui) {
  const Graph& g = doc.graph;
  double low = g.yMin, high = g.yMax;
  if (doc.selectionY1 != doc.selectionY2) {
    low = std::min(doc.selectionY1, doc.selectionY2);
    high = std::max(doc.selectionY1, doc.selectionY2);
  }
  OverlapScalingX(doc.sets, g.xMin, g.yMin, g.xMax, g.yMax, low, high);
  doc.SetModifiedFlag();
  ui.redraw();
}

void OnScaledSubtr(CZentrelDoc& doc, Ui& ui) {
  doc.StopScaledSubtraction();
  PickedSet first = PickSet(doc, ui, "Select the 1st set", true);
  PickedSet second = first ? PickSet(doc, ui, "Select the 2nd set", true) : PickedSet{};
  if (!first || !second) {
    doc.statusText = "No DataSet selected";
    return;
  }
  Data_Set difference;
  if (SetOperate(difference, Operand{first.set}, Operand{second.set}, kOpSubtract, doc.sets) != 0) {
    doc.statusText = kOperateFailed;
    return;
  }
  doc.scaleFactor = 1.0;
  doc.scaleStep = 0.1;
  doc.scaledFirst = first.set;
  doc.scaledSecond = second.set;
  doc.scaledPreview.Clear();
  doc.scaledPreview.fits.clear();
  doc.scaledPreview.CopyFrom(difference);
  doc.statusText = ScaleFactorText(doc.scaleFactor);
  doc.scaledPreviewActive = 1;
  ui.redraw();
}

namespace {

bool ScaledSubtractionRunning(const CZentrelDoc& doc) {
  return doc.scaledPreviewActive && doc.scaledFirst != nullptr && doc.scaledSecond != nullptr;
}

void ChangeScaleFactor(CZentrelDoc& doc, Ui& ui, double change) {
  if (!ScaledSubtractionRunning(doc)) return;
  const double factor = doc.scaleFactor + change;
  if (!RefillScaledPreview(doc.scaledPreview, *doc.scaledFirst, *doc.scaledSecond, factor)) {
    // The first set can no longer be resampled: keep the preview as it was.
    doc.statusText = kOperateFailed;
    return;
  }
  doc.scaleFactor = factor;
  doc.statusText = ScaleFactorText(doc.scaleFactor);
  ui.redraw();
}

}  // namespace

void OnScaleIncrease(CZentrelDoc& doc, Ui& ui) { ChangeScaleFactor(doc, ui, doc.scaleStep); }
void OnScaleDecrease(CZentrelDoc& doc, Ui& ui) { ChangeScaleFactor(doc, ui, -doc.scaleStep); }

void OnScaleUp(CZentrelDoc& doc, Ui&) {
  if (ScaledSubtractionRunning(doc)) doc.scaleStep *= 10;
}

void OnScaleDown(CZentrelDoc& doc, Ui&) {
  if (ScaledSubtractionRunning(doc)) doc.scaleStep *= 0.1;
}

void OnSaveScaledSub(CZentrelDoc& doc, Ui& ui) {
  if (!doc.scaledPreviewActive) return;
  doc.StopScaledSubtraction();
  doc.AppendSet(std::make_unique<Data_Set>(doc.scaledPreview));
  doc.SetModifiedFlag();
  doc.statusText = CFormat("Scaled subtraction with factor:%g\n", doc.scaleFactor);
  ui.redraw();
}

std::span<const CommandBinding> SetArithmeticCommandBindings() {
  static const CommandBinding bindings[] = {
    {32808, &OnSetOperate},    {32800, &OnCombineSets},   {32799, &OnOverlapSets},
    {32866, &OnOverlapContInt}, {32872, &OnOverlapScalingX}, {32844, &OnScaledSubtr},
    {32845, &OnScaleUp},       {32846, &OnScaleDown},     {32847, &OnScaleIncrease},
    {32848, &OnScaleDecrease}, {32849, &OnSaveScaledSub},
  };
  return bindings;
}

}  // namespace zentrel
