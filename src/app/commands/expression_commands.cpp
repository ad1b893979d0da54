// Commands built on the expression engine: data sets from equations.

#include "app/commands/bindings.h"

namespace zentrel {

std::span<const CommandBinding> ExpressionCommandBindings() { return {}; }

}  // namespace zentrel
