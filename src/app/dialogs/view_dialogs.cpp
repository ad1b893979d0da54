#include "app/dialogs/view_dialogs.h"

#include "model/document.h"
#include "view/nice_numbers.h"

namespace zentrel {

FormDialogModel MakeBoxAreaDialog(const CZentrelDoc& doc) {
  const Graph& g = doc.graph;
  FormDialogModel form("Enter Selection Rectangle");
  form.addNumber(1002, "Xmin", NiceFloor(g.xMin));
  form.addNumber(1061, "Ymin", NiceFloor(g.yMin));
  form.addNumber(1062, "Xmax", NiceCeil(g.xMax));
  form.addNumber(1060, "Ymax", NiceCeil(g.yMax));
  return form;
}

FormDialogModel MakePolarOriginDialog() {
  FormDialogModel form("Input Polar Origin");
  form.addNumber(1059, "Polar Origin", 0.0);
  return form;
}

FormDialogModel MakeLabelsDialog(const CZentrelDoc& doc) {
  FormDialogModel form("Labels");
  form.addText(1011, "Title", doc.graph.title);
  form.addText(1060, "XAxis", doc.graph.xLabel);
  form.addText(1061, "YAxis", doc.graph.yLabel);
  return form;
}

FormDialogModel MakePrintSizeDialog(const CZentrelDoc& doc) {
  FormDialogModel form("Print Size");
  form.addBoundedNumber(1002, "Xmin", doc.printXMin, 0.0, kMaxPrintInches);
  form.addBoundedNumber(1060, "Xmax", doc.printXMax, 0.0, kMaxPrintInches);
  form.addBoundedNumber(1061, "Ymin", doc.printYMin, 0.0, kMaxPrintInches);
  form.addBoundedNumber(1062, "Ymax", doc.printYMax, 0.0, kMaxPrintInches);
  return form;
}

}  // namespace zentrel
