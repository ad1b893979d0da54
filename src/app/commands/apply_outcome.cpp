#include "app/commands/apply_outcome.h"

#include <utility>

#include "app/ui.h"
#include "model/document.h"
#include "model/autoscale.h"

namespace zentrel {

void ApplyOutcome(CZentrelDoc& doc, Ui& ui, CommandOutcome outcome) {
  for (auto& set : outcome.addSets) doc.AppendSet(std::move(set));
  if (outcome.autoscale) Autoscale(doc);
  if (outcome.status) doc.statusText = std::move(*outcome.status);
  if (outcome.modified) doc.SetModifiedFlag();
  if (outcome.redraw) ui.redraw();
}

}  // namespace zentrel
