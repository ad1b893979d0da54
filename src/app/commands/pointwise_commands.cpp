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
#include "model/autoscale.h"

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

void OnOperate(CZentrelDoc& doc, Ui& ui) {
  OperateDialogModel dialog;
  if (ui.runDialog(dialog)) {
    // The arithmetic first, then the function: "*" 2 with Ln(Y) is ln(2y).
    auto operate = [&](Data_Set& set) {
      set.ApplyOperation(dialog.xCode(), dialog.xValue(), dialog.yCode(), dialog.yValue());
      ApplyFunction(set, dialog.function);
      doc.SetModifiedFlag();
    };
    if (dialog.oneSet) {
      if (PickedSet picked = PickSet(doc, ui, "Select a Set to Operate upon.", true)) operate(*picked.set);
    } else {
      ForEachActiveSet(doc, operate);
    }
  }
  ui.redraw();
}

void OnNormalize(CZentrelDoc& doc, Ui& ui) {
  const Region region = PeakRegion(doc);
  ForEachActiveSet(doc, [&](Data_Set& set) {
    const Peak peak = FindPeak(set, region.xLo, region.yLo, region.xHi, region.yHi);
    if (peak.y != 0.0) set.ApplyOperation(kOpNone, 0.0, kOpDivide, peak.y);
  });
  doc.SetModifiedFlag();
  Autoscale(doc);
  ui.redraw();
}

void OnShiftPeak(CZentrelDoc& doc, Ui& ui) {
  const Region region = PeakRegion(doc);
  ForEachActiveSet(doc, [&](Data_Set& set) {
    const double peakX = FindPeak(set, region.xLo, region.yLo, region.xHi, region.yHi).x;
    if (peakX != 0.0) set.ApplyOperation(kOpSubtract, peakX, kOpNone, 0.0);
    doc.statusText = CFormat("Peak Shifted:%lg\n", peakX);
  });
  doc.SetModifiedFlag();
  Autoscale(doc);
  ui.redraw();
}

void OnBaselineCorrection(CZentrelDoc& doc, Ui& ui) {
  // Without an x extent only the points at x = 0 count.
  double xLo = 0.0, xHi = 0.0;
  if (doc.selectionX1 != doc.selectionX2)
    xLo = std::min(doc.selectionX1, doc.selectionX2), xHi = std::max(doc.selectionX1, doc.selectionX2);
  const double yLo = std::min(doc.selectionY1, doc.selectionY2), yHi = std::max(doc.selectionY1, doc.selectionY2);
  ForEachActiveSet(doc, [&](Data_Set& set) {
    const double mean = MeanInRegion(set, xLo, yLo, xHi, yHi).mean;
    if (mean != 0.0) set.ApplyOperation(kOpNone, 0.0, kOpSubtract, mean);
    doc.statusText = CFormat("Baseline Subtracted:%lg\n", mean);
  });
  doc.SetModifiedFlag();
  ui.redraw();
}

void OnDeletePoints(CZentrelDoc& doc, Ui& ui) {
  ForEachActiveSet(doc, [&](Data_Set& set) {
    if (set.ColumnCount() > 1) DeleteInRegion(set, doc.selectionX1, doc.selectionY1, doc.selectionX2, doc.selectionY2);
  });
  doc.statusText = "Deleting selected points";
  doc.SetModifiedFlag();
  ui.redraw();
}

void OnLinearInterpolation(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select a Set to Interpolate", true);
  if (!picked) return;
  Interpolate(*picked.set);
  doc.SetModifiedFlag();
  doc.statusText = "Set linearly interpolated";
  ui.redraw();
}

void OnSortSet(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select a Set to Sort", true);
  if (!picked) return;
  picked.set->SortByX();
  doc.statusText = "Set sorted";
  ui.redraw();
}

void OnReverseDataset(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select the set to reverse", true);
  if (!picked) {
    doc.statusText = "No DataSet selected";
    return;
  }
  // Mirrored at x = 0, and back in ascending x order.
  picked.set->ApplyOperation(kOpMultiply, -1.0, kOpNone, 0.0);
  picked.set->SortByX();
  Autoscale(doc);
  doc.SetModifiedFlag();
  ui.redraw();
}

void OnInvertDataset(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select the set to invert", true);
  if (!picked) {
    doc.statusText = "No DataSet selected";
    return;
  }
  picked.set->ApplyOperation(kOpNone, 0.0, kOpMultiply, -1.0);
  Autoscale(doc);
  doc.SetModifiedFlag();
  ui.redraw();
}

void OnIntegral(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select a Set to Integrate Over.", true);
  if (!picked) return;
  const Region r = StatisticsRegion(doc);
  doc.statusText = CFormat("Integral:%lg", RegionIntegral(*picked.set, r.xLo, r.xHi, r.yLo, r.yHi));
}

void OnMean(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select a Set to Calculate Mean", true);
  if (!picked) return;
  const Region r = StatisticsRegion(doc);
  doc.statusText = CFormat("Mean:%lg", RegionMean(*picked.set, r.xLo, r.xHi, r.yLo, r.yHi));
}

void OnStandardDev(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select a Set to Calculate Standard Deviation", true);
  if (!picked) return;
  const Region r = StatisticsRegion(doc);
  doc.statusText = CFormat("Std dev:%lg", RegionStdDev(*picked.set, r.xLo, r.xHi, r.yLo, r.yHi));
}

void OnIntegrateDataset(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select a Set to Integrate", true);
  if (!picked) return;
  RunningIntegral(*picked.set);
  doc.statusText = "Integral done!";
  ui.redraw();
}

void OnDifferentiateDataset(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select a Set to differentiate", true);
  if (!picked) return;
  Differentiate(*picked.set);
  doc.statusText = "Differentiation done!";
  ui.redraw();
}

void OnProperties(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select set to view properties", true);
  if (!picked) {
    doc.statusText = "No DataSet selected";
    return;
  }
  PropertiesDialogModel dialog(*picked.set);
  ui.runDialog(dialog);
}

}  // namespace

std::span<const CommandBinding> PointwiseCommandBindings() {
  static const CommandBinding bindings[] = {
      {32780, &OnOperate},
      {32783, &OnNormalize},
      {32788, &OnShiftPeak},
      {32786, &OnBaselineCorrection},
      {32779, &OnDeletePoints},
      {32798, &OnLinearInterpolation},
      {32804, &OnSortSet},
      {32840, &OnReverseDataset},
      {32842, &OnInvertDataset},
      {32792, &OnIntegral},
      {32802, &OnMean},
      {32830, &OnStandardDev},
      {32864, &OnIntegrateDataset},
      {32865, &OnDifferentiateDataset},
      {32863, &OnProperties},
  };
  return bindings;
}

}  // namespace zentrel
