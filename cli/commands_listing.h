#pragma once

#include <nlohmann/json.hpp>

namespace zentrel {

// Every command of the table with its id, caption, script name, keys,
// prompts, menu state, snapshot flag and whether it can run.
nlohmann::ordered_json CommandsToJson();

}  // namespace zentrel
