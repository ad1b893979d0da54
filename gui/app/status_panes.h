#pragma once
// The status bar's panes, left to right after the message pane. The
// numbers are part of the panes' object names ("Pane103").

namespace zentrel {

enum class StatusPane : int {
  Message = 0,        // the menu prompt or the idle text
  Status = 103,       // the document's status text
  CursorFirst = 101,  // "X:..." or, in a polar plot, "R:..."
  CursorSecond = 102, // "Y:..." or "Th:..."
  CapsLock = 1,
  NumLock = 2,
  ScrollLock = 3,
};

}  // namespace zentrel
