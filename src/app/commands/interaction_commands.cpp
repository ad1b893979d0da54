#include "app/commands/interaction_commands.h"

#include <cstdio>

#include "app/commands/bindings.h"
#include "app/dialogs/axis_ranges_dialog.h"
#include "app/dialogs/view_dialogs.h"
#include "app/ui.h"
#include "fit/fit_parameters.h"
#include "model/document.h"
#include "model/fit.h"
#include "numeric/c_format.h"

namespace zentrel {

CommandOutcome OnBoxArea(CZentrelDoc& doc, Ui& ui) {
  FormDialogModel form = MakeBoxAreaDialog(doc);
  if (!ui.runDialog(form)) return {};
  // Stored as typed, not ordered, and not redrawn: a redraw would reset it
  // before the next command could use it.
  doc.selectionX1 = form.number(0);
  doc.selectionY1 = form.number(1);
  doc.selectionX2 = form.number(2);
  doc.selectionY2 = form.number(3);
  return {};
}

CommandOutcome OnAxisRanges(CZentrelDoc& doc, Ui& ui) {
  AxisRangesDialogModel dialog(doc.graph);
  if (!ui.runDialog(dialog)) return {};
  // Front ends validate on OK; a range that still cannot be shown is refused here too.
  if (const auto problem = dialog.validate()) {
    ui.messageBox(*problem);
    return {};
  }
  Graph& g = doc.graph;
  g.logX = dialog.logX ? 1 : 0;
  g.logY = dialog.logY ? 1 : 0;
  // Through SetRange, so Unzoom goes back as after a zoom; switching only
  // the log axes leaves no step to go back through.
  if (dialog.range() != g.GetRange()) g.SetRange(dialog.range());
  return Outcome::Redraw();
}

CommandOutcome OnTranslate(CZentrelDoc& doc, Ui&) {
  Graph& g = doc.graph;
  if (!g.translating) {
    g.translating = 1;
    g.translateAnchorX = doc.cursorX;
    g.translateAnchorY = doc.cursorY;
    return Outcome::Status("Translating, select Translate when done");
  }
  g.translating = 0;
  const double dy = doc.cursorY - g.translateAnchorY;
  const double dx = doc.cursorX - g.translateAnchorX;
  for (const auto& set : doc.sets) {
    if (!set || !set->active) continue;
    set->ApplyOperation(1, dx, 1, dy);
    for (const auto& fit : set->fits) {
      SetParameter(*fit, 0, GetParameter(*fit, 0) + dy, fit->freeFlags[0]);
      SetParameter(*fit, 1, GetParameter(*fit, 1) + dx, fit->freeFlags[1]);
      fit->fitStart += dx;
      fit->fitEnd += dx;
    }
  }
  return Outcome::Status(CFormat("Translated %g %g", dx, dy)).Modified().Redraw();
}

CommandOutcome OnRotatePolarOrigin(CZentrelDoc& doc, Ui& ui) {
  FormDialogModel form = MakePolarOriginDialog();
  if (!ui.runDialog(form)) return {};
  doc.graph.SetPolarOrigin(form.number(0));
  return Outcome::Redraw();
}

CommandOutcome OnLabels(CZentrelDoc& doc, Ui& ui) {
  FormDialogModel form = MakeLabelsDialog(doc);
  if (!ui.runDialog(form)) return {};
  doc.graph.title = form.text(0);
  doc.graph.xLabel = form.text(1);
  doc.graph.yLabel = form.text(2);
  return Outcome::Modified().Redraw();
}

CommandOutcome OnPrintSize(CZentrelDoc& doc, Ui& ui) {
  FormDialogModel form = MakePrintSizeDialog(doc);
  if (!ui.runDialog(form)) return {};
  doc.printXMin = form.number(0);
  doc.printXMax = form.number(1);
  doc.printYMin = form.number(2);
  doc.printYMax = form.number(3);
  return {};
}

std::span<const CommandBinding> InteractionCommandBindings() {
  static const CommandBinding bindings[] = {
      {Cmd::BoxArea, &OnBoxArea},
      {Cmd::AxisRanges, &OnAxisRanges},
      {Cmd::Translate, &OnTranslate},
      {Cmd::RotatePolarOrigin, &OnRotatePolarOrigin},
      {Cmd::Labels, &OnLabels},
      {Cmd::PrintSize, &OnPrintSize},
  };
  return bindings;
}

}  // namespace zentrel
