#pragma once
// Icons of our own for the toolbar buttons a desktop theme may not provide
// (no icon theme is set under a bare X server or on the offscreen platform).

#include <QIcon>

namespace zentrel {

enum class ToolbarGlyph { Cut, Copy, Paste, Print };

// The theme's icon `themeName` when there is one, else ours.
QIcon ToolbarIcon(const char* themeName, ToolbarGlyph fallback);

}  // namespace zentrel
