// Commands built on the expression engine: data sets from equations.

#include <memory>

#include "app/commands/bindings.h"
#include "app/dialogs/create_dataset_dialog.h"
#include "app/ui.h"
#include "model/data_set.h"
#include "model/document.h"
#include "model/autoscale.h"

namespace zentrel {

namespace {

void OnCreateDataSet(CZentrelDoc& doc, Ui& ui) {
  auto set = std::make_unique<Data_Set>();
  bool created = false;
  {
    // The dialog (and its evaluator) goes before the set is handed on.
    CreateDataSetDialogModel dialog(*set);
    created = ui.runDialog(dialog);
  }
  if (created) {
    doc.AppendSet(std::move(set));
    Autoscale(doc);
    doc.statusText = "Data set created";
    doc.SetModifiedFlag();
  }
  ui.redraw();
}

}  // namespace

std::span<const CommandBinding> ExpressionCommandBindings() {
  static const CommandBinding bindings[] = {
      {32773, &OnCreateDataSet},
  };
  return bindings;
}

}  // namespace zentrel
