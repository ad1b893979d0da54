#include "lock_keys.h"

#include <QGuiApplication>

#ifdef ZENTREL_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace zentrel {

LockKeyStates ReadLockKeys() {
  LockKeyStates states;
#ifdef ZENTREL_HAVE_X11
  auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (x11 == nullptr || x11->display() == nullptr) return states;
  // The indicators by name: their bit positions differ between keymaps.
  Display* display = x11->display();
  const auto lit = [display](const char* name) {
    Bool on = False;
    const Atom atom = XInternAtom(display, name, True);
    if (atom == None) return false;
    XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr);
    return on == True;
  };
  states.caps = lit("Caps Lock");
  states.num = lit("Num Lock");
  states.scroll = lit("Scroll Lock");
#endif
  return states;
}

}  // namespace zentrel
