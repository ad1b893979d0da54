#include "app/settling_ui.h"

#include "model/document.h"

namespace zentrel {

void RedrawAndSettle(CZentrelDoc& doc, Ui& ui) {
  ui.redraw();
  doc.SettleAfterRedraw();
}

void SettlingUi::redraw() { RedrawAndSettle(doc_, inner()); }

}  // namespace zentrel
