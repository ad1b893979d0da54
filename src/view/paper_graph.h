#pragma once
// The paper style: the same document drawn for print. Round ticks with
// exact labels, measured text that never overlaps, a rotated y label, a
// legend in the quietest corner, smooth fit curves, residuals in a panel
// of their own, widths in points and a palette for sets left in the
// default colour. Reads the document only.

#include <optional>
#include <string>

#include "view/draw_graph.h"
#include "view/surface.h"
#include "view/viewport.h"

namespace zentrel {

class CZentrelDoc;

struct PaperDrawing {
  Viewport viewport;                   // the main plot: what the mouse maps through
  std::optional<Viewport> residuals;  // the residual panel, when drawn
  std::optional<DeviceRect> legend;   // the legend's box, when drawn
  // Said once in the status text by whoever shows the drawing; empty when
  // there is nothing to say.
  std::string note;
};

// The colour a set is drawn in: its own, or for the default colour (black)
// the palette's colour for its place in the list.
Colour PaperSetColour(Colour stored, std::size_t index);

// The status note when points with values <= 0 were left off a
// logarithmic axis.
inline constexpr const char* kNonPositiveNote = "Values ≤ 0 are not drawn on a logarithmic axis";

PaperDrawing DrawPaperGraph(Surface& surface, const CZentrelDoc& doc, const DeviceRect& page,
                            const DrawOptions& options = {});

}  // namespace zentrel
