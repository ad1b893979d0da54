// Global Fit...: shows the Global Fit dialog over the active sets, or over
// the sets of the global fit their fits belong to.

#include <string>

#include "app/commands/fit_commands.h"
#include "app/dialogs/global_fit_dialog.h"
#include "app/ui.h"
#include "model/document.h"

namespace zentrel {

CommandOutcome OnGlobalFit(CZentrelDoc& doc, Ui& ui) {
  if (doc.SetCount() == 0) {
    const std::string message = "There are no data sets to fit.";
    ui.messageBox(message);
    return Outcome::Failed(message);
  }
  GlobalFitDialogModel& dialog = GlobalFitDialogOf(doc);
  dialog.open();
  ui.showGlobalFitDialog(dialog);
  return {};
}

}  // namespace zentrel
