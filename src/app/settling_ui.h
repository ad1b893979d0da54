#pragma once
// Redraws the program asks for settle the document afterwards
// (CZentrelDoc::SettleAfterRedraw); drawing itself never changes it.
// Dispatch hands every command a SettlingUi, so a command that redraws
// settles the document whichever front end runs it; the few redraws
// outside commands call RedrawAndSettle.

#include "app/forwarding_ui.h"

namespace zentrel {

class CZentrelDoc;

// Asks the front end to redraw, then settles the document.
void RedrawAndSettle(CZentrelDoc& doc, Ui& ui);

// Forwards everything to another Ui; redraw() also settles the document
// right after the front end has redrawn, as a paint once did.
class SettlingUi : public ForwardingUi {
 public:
  SettlingUi(CZentrelDoc& doc, Ui& inner) : ForwardingUi(inner), doc_(doc) {}

  void redraw() override;

 private:
  CZentrelDoc& doc_;
};

}  // namespace zentrel
