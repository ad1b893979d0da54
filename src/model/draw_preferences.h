#pragma once
// How the graph is drawn: a setting of the window, of an export or of a
// script run, never of the graph file. The document carries it so that
// menus and scripts can switch it, but neither saving nor New touches it.

namespace zentrel {

enum class DrawStyle {
  Classic,  // the program's long-standing drawing
  Paper,    // round ticks, measured text, legend, smooth fits: for print
};

struct DrawPreferences {
  DrawStyle style = DrawStyle::Classic;
  bool showLegend = true;  // paper style only
};

// "classic" or "paper"; the parser accepts any case and answers false for
// anything else.
const char* DrawStyleName(DrawStyle style);
bool ParseDrawStyle(const char* text, DrawStyle& style);

}  // namespace zentrel
