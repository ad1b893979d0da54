#pragma once
// Handlers and menu states, bound to command ids by the subsystem that
// implements them. The command table joins these lists to its rows.

#include <span>

#include "app/commands/command_outcome.h"
#include "app/commands/command_table.h"

namespace zentrel {

struct CommandBinding {
  Cmd id;
  CommandHandler handler;
  StatePredicate stateOf = nullptr;
};

std::span<const CommandBinding> SetCommandBindings();         // set_commands.cpp
std::span<const CommandBinding> ViewCommandBindings();        // view_commands.cpp
std::span<const CommandBinding> IoCommandBindings();          // io_commands.cpp
std::span<const CommandBinding> ExpressionCommandBindings();  // expression_commands.cpp
std::span<const CommandBinding> FileCommandBindings();        // file_commands.cpp
std::span<const CommandBinding> InteractionCommandBindings();  // interaction_commands.cpp
std::span<const CommandBinding> TransformCommandBindings();   // transform_commands.cpp
std::span<const CommandBinding> SetArithmeticCommandBindings();  // set_arithmetic_commands.cpp
std::span<const CommandBinding> FitCommandBindings();          // fit_commands.cpp
std::span<const CommandBinding> PointwiseCommandBindings();    // pointwise_commands.cpp
std::span<const CommandBinding> SmoothingCommandBindings();    // smoothing_commands.cpp

// All of the lists above, as the command table joins them.
using BindingList = std::span<const CommandBinding> (*)();
std::span<const BindingList> BindingLists();

}  // namespace zentrel
