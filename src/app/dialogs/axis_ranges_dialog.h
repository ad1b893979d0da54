#pragma once
// "Axis Ranges": the visible x and y range typed as numbers, and whether
// each axis is logarithmic. It starts at what the graph shows; OK is
// refused for a field that is not a number, a minimum not below its
// maximum, or a logarithmic axis whose minimum is not above 0.

#include <optional>
#include <string>
#include <vector>

#include "app/dialogs/dialog_model.h"
#include "model/graph.h"

namespace zentrel {

class AxisRangesDialogModel : public DialogModel {
 public:
  explicit AxisRangesDialogModel(const Graph& graph);

  std::string title() const override { return "Axis Ranges"; }
  // xmin=, xmax=, ymin=, ymax= as typed; log-x= and log-y= take yes|no.
  std::vector<DialogField> scriptFields() override;
  // The edits, in the order the dialog checks them.
  enum class Edit { XMin, XMax, YMin, YMax };
  struct Refusal {
    Edit edit;  // where the person has to correct it
    std::string message;
  };
  // The first problem, in edit order; nothing when the range can be shown.
  std::optional<Refusal> check() const;
  std::optional<std::string> validate() override;

  // The typed range; only meaningful once validate() accepted it.
  DataRange range() const;

  // The edits' texts, in the order xmin, xmax, ymin, ymax.
  std::string xMinText, xMaxText, yMinText, yMaxText;
  bool logX = false;
  bool logY = false;
};

}  // namespace zentrel
