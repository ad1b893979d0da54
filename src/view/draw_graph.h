#pragma once
// Drawing the document's data over the axes: series with markers and
// connecting lines, error bars, zero lines, page texts and the scaled
// subtraction preview. Everything is recomputed from the document on every
// paint.

#include <cstdint>
#include <optional>
#include <string_view>

#include "model/draw_preferences.h"
#include "model/graph.h"
#include "view/surface.h"
#include "view/viewport.h"

namespace zentrel {

class CZentrelDoc;

struct DrawOptions {
  // Draws dense series with fewer back-end calls that leave the same
  // pixels: consecutive points in one device column become one line, and
  // of several markers at one device position only the last is drawn
  // (every earlier one lies exactly under it). Tests switch it off to
  // compare.
  bool compactDenseSeries = true;
  // Which drawing: the classic one or the paper style (paper_graph.h),
  // and whether the paper style draws its legend.
  DrawStyle style = DrawStyle::Classic;
  bool showLegend = true;
  std::optional<LegendPlace> legendAt = std::nullopt;  // a legend moved by the person
};

// The options a window, export or script run draws with.
inline DrawOptions OptionsFor(const DrawPreferences& preferences) {
  DrawOptions options;
  options.style = preferences.style;
  options.showLegend = preferences.showLegend;
  options.legendAt = preferences.legendAt;
  return options;
}

// What a series needs besides its data: where to draw, the mapping, the
// graph's switches, and the cursor that translate mode follows (data units).
struct DrawContext {
  Surface& surface;
  const Graph& graph;
  const Viewport& viewport;
  double cursorX = 0.0;
  double cursorY = 0.0;
  DrawOptions options;
};

enum class ErrorDirection { Vertical, Horizontal };

// n points of x and y: markers (shape = marker number modulo 8, none for 0
// and below) then connecting lines, in one colour. A point that lands where
// the previous one did draws no second marker and no empty line.
void DrawSeries(const DrawContext& context, const double* x, const double* y, int n, double symbolSize,
                std::int64_t marker, bool connect, Colour colour);

// Error bars with caps 4 * symbolSize to each side. errors holds
// errorCount values; points beyond it, and errors <= 0, get no bar.
void DrawErrorBars(const DrawContext& context, const double* x, const double* y, const double* errors, int errorCount,
                   int n, double symbolSize, Colour colour, ErrorDirection direction);

// A black line between two data points, drawn only when both ends fall
// inside the plot; no clipping, translation or polar mapping.
void DrawDataLine(Surface& surface, const Viewport& viewport, double x1, double y1, double x2, double y2);

// Text placed from the middle of the page's top edge.
void DrawPageText(Surface& surface, const Viewport& viewport, std::int32_t dx, std::int32_t dy,
                  std::string_view text);

// One fit's equation text at page line `line` (moved down 15 per text line
// drawn). A custom function's text is its name, a blank and the equation:
// the name goes on a line of its own.
void DrawEquationText(Surface& surface, const Viewport& viewport, std::string_view text, bool customFunction,
                      std::int32_t& line);

// Everything after the axes: the active sets in list order, the zero lines
// and the preview. Reads the document only.
void DrawGraph(Surface& surface, const CZentrelDoc& doc, const Viewport& viewport, const DrawOptions& options = {});

}  // namespace zentrel
