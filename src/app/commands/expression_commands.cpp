// Commands built on the expression engine: data sets from equations.

#include <memory>

#include "app/commands/bindings.h"
#include "app/dialogs/create_dataset_dialog.h"
#include "app/ui.h"
#include "model/data_set.h"
#include "model/document.h"

namespace zentrel {

namespace {

CommandOutcome OnCreateDataSet(CZentrelDoc&, Ui& ui) {
  auto set = std::make_unique<Data_Set>();
  bool created = false;
  {
    // The dialog (and its evaluator) goes before the set is handed on.
    CreateDataSetDialogModel dialog(*set);
    created = ui.runDialog(dialog);
  }
  if (created) return Outcome::AddSet(std::move(set)).Autoscale().Status("Data set created").Modified().Redraw();
  return Outcome::Redraw();
}

}  // namespace

std::span<const CommandBinding> ExpressionCommandBindings() {
  static const CommandBinding bindings[] = {
      {Cmd::CreateDataSet, &OnCreateDataSet},
  };
  return bindings;
}

}  // namespace zentrel
