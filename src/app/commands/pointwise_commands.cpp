// Commands that change sets point by point, and the statistics and calculus
// of one set: Operate, Normalize, Shift Peak, Baseline Correction, Delete
// Points, Linear Interpolation, Sort, Reverse, Invert, Integral, Mean,
// Standard Dev, Integrate and Differentiate dataset, Properties.

#include <algorithm>

#include "analysis/calculus.h"
#include "analysis/pointwise.h"
#include "analysis/region_stats.h"
#include "app/commands/bindings.h"
#include "app/dialogs/operate_dialog.h"
#include "app/dialogs/properties_dialog.h"
#include "app/dialogs/set_picker.h"
#include "app/ui.h"
#include "model/document.h"
#include "numeric/c_format.h"

namespace zentrel {

namespace {

struct Region {
  double xLo, xHi, yLo, yHi;
};

// Normalize and Shift Peak: the visible range, narrowed to each extent the
// selection has.
Region PeakRegion(const CZentrelDoc& doc) {
  const DataRange range = doc.graph.GetRange();
  Region region{range.xMin, range.xMax, range.yMin, range.yMax};
  if (doc.selectionX1 != doc.selectionX2)
    region.xLo = std::min(doc.selectionX1, doc.selectionX2), region.xHi = std::max(doc.selectionX1, doc.selectionX2);
  if (doc.selectionY1 != doc.selectionY2)
    region.yLo = std::min(doc.selectionY1, doc.selectionY2), region.yHi = std::max(doc.selectionY1, doc.selectionY2);
  return region;
}

// Integral, Mean and Standard Dev: the selection as stored when it has an x
// extent, else the visible range.
Region StatisticsRegion(const CZentrelDoc& doc) {
  if (doc.selectionX1 != doc.selectionX2)
    return {doc.selectionX1, doc.selectionX2, doc.selectionY1, doc.selectionY2};
  const DataRange range = doc.graph.GetRange();
  return {range.xMin, range.xMax, range.yMin, range.yMax};
}

template <typename Action>
void ForEachActiveSet(CZentrelDoc& doc, Action action) {
  for (auto& set : doc.sets)
    if (set && set->active) action(*set);
}

CommandOutcome OnOperate(CZentrelDoc& doc, Ui& ui) {
  CommandOutcome outcome = Outcome::Redraw();
  OperateDialogModel dialog;
  if (ui.runDialog(dialog)) {
    // The arithmetic first, then the function: "*" 2 with Ln(Y) is ln(2y).
    auto operate = [&](Data_Set& set) {
      set.ApplyOperation(dialog.xCode(), dialog.xValue(), dialog.yCode(), dialog.yValue());
      ApplyFunction(set, dialog.function);
      outcome.modified = true;
    };
    if (dialog.oneSet) {
      if (PickedSet picked = PickSet(doc, ui, "Select a Set to Operate upon.", true)) operate(*picked.set);
    } else {
      ForEachActiveSet(doc, operate);
    }
  }
  return outcome;
}

CommandOutcome OnNormalize(CZentrelDoc& doc, Ui&) {
  const Region region = PeakRegion(doc);
  ForEachActiveSet(doc, [&](Data_Set& set) {
    const Peak peak = FindPeak(set, region.xLo, region.yLo, region.xHi, region.yHi);
    if (peak.y != 0.0) set.ApplyOperation(kOpNone, 0.0, kOpDivide, peak.y);
  });
  return Outcome::Modified().Autoscale().Redraw();
}

CommandOutcome OnShiftPeak(CZentrelDoc& doc, Ui&) {
  CommandOutcome outcome = Outcome::Modified().Autoscale().Redraw();
  const Region region = PeakRegion(doc);
  ForEachActiveSet(doc, [&](Data_Set& set) {
    const double peakX = FindPeak(set, region.xLo, region.yLo, region.xHi, region.yHi).x;
    if (peakX != 0.0) set.ApplyOperation(kOpSubtract, peakX, kOpNone, 0.0);
    outcome.status = CFormat("Peak Shifted:%lg\n", peakX);
  });
  return outcome;
}

CommandOutcome OnBaselineCorrection(CZentrelDoc& doc, Ui&) {
  CommandOutcome outcome = Outcome::Modified().Redraw();
  // Without an x extent only the points at x = 0 count.
  double xLo = 0.0, xHi = 0.0;
  if (doc.selectionX1 != doc.selectionX2)
    xLo = std::min(doc.selectionX1, doc.selectionX2), xHi = std::max(doc.selectionX1, doc.selectionX2);
  const double yLo = std::min(doc.selectionY1, doc.selectionY2), yHi = std::max(doc.selectionY1, doc.selectionY2);
  ForEachActiveSet(doc, [&](Data_Set& set) {
    const double mean = MeanInRegion(set, xLo, yLo, xHi, yHi).mean;
    if (mean != 0.0) set.ApplyOperation(kOpNone, 0.0, kOpSubtract, mean);
    outcome.status = CFormat("Baseline Subtracted:%lg\n", mean);
  });
  return outcome;
}

CommandOutcome OnDeletePoints(CZentrelDoc& doc, Ui&) {
  ForEachActiveSet(doc, [&](Data_Set& set) {
    if (set.ColumnCount() > 1) DeleteInRegion(set, doc.selectionX1, doc.selectionY1, doc.selectionX2, doc.selectionY2);
  });
  return Outcome::Status("Deleting selected points").Modified().Redraw();
}

CommandOutcome OnLinearInterpolation(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select a Set to Interpolate", true);
  if (!picked) return {};
  Interpolate(*picked.set);
  return Outcome::Status("Set linearly interpolated").Modified().Redraw();
}

CommandOutcome OnSortSet(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select a Set to Sort", true);
  if (!picked) return {};
  picked.set->SortByX();
  return Outcome::Status("Set sorted").Redraw();
}

CommandOutcome OnReverseDataset(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select the set to reverse", true);
  if (!picked) return Outcome::Status("No DataSet selected");
  // Mirrored at x = 0, and back in ascending x order.
  picked.set->ApplyOperation(kOpMultiply, -1.0, kOpNone, 0.0);
  picked.set->SortByX();
  return Outcome::Autoscale().Modified().Redraw();
}

CommandOutcome OnInvertDataset(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select the set to invert", true);
  if (!picked) return Outcome::Status("No DataSet selected");
  picked.set->ApplyOperation(kOpNone, 0.0, kOpMultiply, -1.0);
  return Outcome::Autoscale().Modified().Redraw();
}

CommandOutcome OnIntegral(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select a Set to Integrate Over.", true);
  if (!picked) return {};
  const Region r = StatisticsRegion(doc);
  return Outcome::Status(CFormat("Integral:%lg", RegionIntegral(*picked.set, r.xLo, r.xHi, r.yLo, r.yHi)));
}

CommandOutcome OnMean(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select a Set to Calculate Mean", true);
  if (!picked) return {};
  const Region r = StatisticsRegion(doc);
  return Outcome::Status(CFormat("Mean:%lg", RegionMean(*picked.set, r.xLo, r.xHi, r.yLo, r.yHi)));
}

CommandOutcome OnStandardDev(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select a Set to Calculate Standard Deviation", true);
  if (!picked) return {};
  const Region r = StatisticsRegion(doc);
  return Outcome::Status(CFormat("Std dev:%lg", RegionStdDev(*picked.set, r.xLo, r.xHi, r.yLo, r.yHi)));
}

CommandOutcome OnIntegrateDataset(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select a Set to Integrate", true);
  if (!picked) return {};
  RunningIntegral(*picked.set);
  return Outcome::Status("Integral done!").Redraw();
}

CommandOutcome OnDifferentiateDataset(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select a Set to differentiate", true);
  if (!picked) return {};
  Differentiate(*picked.set);
  return Outcome::Status("Differentiation done!").Redraw();
}

CommandOutcome OnProperties(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select set to view properties", true);
  if (!picked) return Outcome::Status("No DataSet selected");
  PropertiesDialogModel dialog(*picked.set);
  ui.runDialog(dialog);
  return {};
}

}  // namespace

std::span<const CommandBinding> PointwiseCommandBindings() {
  static const CommandBinding bindings[] = {
      {Cmd::Operate, &OnOperate},
      {Cmd::Normalize, &OnNormalize},
      {Cmd::ShiftPeak, &OnShiftPeak},
      {Cmd::BaselineCorrection, &OnBaselineCorrection},
      {Cmd::DeletePoints, &OnDeletePoints},
      {Cmd::LinearInterpolation, &OnLinearInterpolation},
      {Cmd::SortSet, &OnSortSet},
      {Cmd::ReverseDataset, &OnReverseDataset},
      {Cmd::InvertDataset, &OnInvertDataset},
      {Cmd::Integral, &OnIntegral},
      {Cmd::Mean, &OnMean},
      {Cmd::StandardDev, &OnStandardDev},
      {Cmd::IntegrateDataset, &OnIntegrateDataset},
      {Cmd::DifferentiateDataset, &OnDifferentiateDataset},
      {Cmd::Properties, &OnProperties},
  };
  return bindings;
}

}  // namespace zentrel
