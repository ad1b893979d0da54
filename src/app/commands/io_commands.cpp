// Import and export commands: data files, clipboard text, WAV.

#include "app/commands/bindings.h"

namespace zentrel {

std::span<const CommandBinding> IoCommandBindings() { return {}; }

}  // namespace zentrel
