#pragma once
// The caps, num and scroll lock states for the status bar's indicators.

namespace zentrel {

struct LockKeyStates {
  bool caps = false;
  bool num = false;
  bool scroll = false;
};

// The keyboard's lock indicators, where the window system tells them (X11,
// also under XWayland); all off elsewhere.
LockKeyStates ReadLockKeys();

}  // namespace zentrel
