#pragma once
// What a command handler leaves for the dispatcher to finish: new sets,
// autoscaling, the modified flag, the status text and the redraw. Handlers
// return one instead of writing the common ending themselves, so the order
// of these steps is the same for every command (ApplyOutcome).
//
//   return Outcome::Status("Set smoothed").Modified().Redraw();
//   return {};  // nothing left to do

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/data_set.h"

namespace zentrel {

struct CommandOutcome {
  std::vector<std::unique_ptr<Data_Set>> addSets;  // appended in this order
  bool autoscale = false;             // after the sets are added
  std::optional<std::string> status;  // replaces the status text; none keeps it
  bool modified = false;              // marks the document modified; never clears it
  bool redraw = false;                // last, so the picture shows all of the above
  // The command did not do what was asked. The handler has shown why (a
  // message box or the status text); this is the same text, for a script
  // to stop at. A window just carries on.
  std::optional<std::string> failure;

  // A null set adds nothing.
  CommandOutcome AddSet(std::unique_ptr<Data_Set> set) && {
    if (set) addSets.push_back(std::move(set));
    return std::move(*this);
  }
  CommandOutcome Autoscale() && {
    autoscale = true;
    return std::move(*this);
  }
  CommandOutcome Status(std::string text) && {
    status = std::move(text);
    return std::move(*this);
  }
  CommandOutcome Modified() && {
    modified = true;
    return std::move(*this);
  }
  CommandOutcome Redraw() && {
    redraw = true;
    return std::move(*this);
  }
  CommandOutcome Failed(std::string why) && {
    failure = std::move(why);
    return std::move(*this);
  }
};

// Starting points for the chains above.
namespace Outcome {
inline CommandOutcome AddSet(std::unique_ptr<Data_Set> set) { return CommandOutcome{}.AddSet(std::move(set)); }
inline CommandOutcome Autoscale() { return CommandOutcome{}.Autoscale(); }
inline CommandOutcome Status(std::string text) { return CommandOutcome{}.Status(std::move(text)); }
inline CommandOutcome Modified() { return CommandOutcome{}.Modified(); }
inline CommandOutcome Redraw() { return CommandOutcome{}.Redraw(); }
inline CommandOutcome Failed(std::string why) { return CommandOutcome{}.Failed(std::move(why)); }
}  // namespace Outcome

}  // namespace zentrel
