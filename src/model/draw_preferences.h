#pragma once
// How the graph is drawn: a setting of the window, of an export or of a
// script run, never of the graph file. The document carries it so that
// menus and scripts can switch it, but neither saving nor New touches it.

#include <optional>

namespace zentrel {

enum class DrawStyle {
  Classic,  // the program's long-standing drawing
  Paper,    // round ticks, measured text, legend, smooth fits: for print
};

// Where a person put the legend: its top-left corner as fractions of the
// plot's width and height from the plot's top-left corner.
struct LegendPlace {
  double left = 0;
  double top = 0;
  bool operator==(const LegendPlace&) const = default;
};

struct DrawPreferences {
  DrawStyle style = DrawStyle::Classic;
  bool showLegend = true;  // paper style only
  // Dragged there in the window; unset: the corner that hides least.
  std::optional<LegendPlace> legendAt = std::nullopt;
};

// "classic" or "paper"; the parser accepts any case and answers false for
// anything else.
const char* DrawStyleName(DrawStyle style);
bool ParseDrawStyle(const char* text, DrawStyle& style);

}  // namespace zentrel
