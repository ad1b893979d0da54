#pragma once
// The names of a document's sets, in order: what many tests compare after
// a command adds, removes or renames sets.

#include <string>
#include <vector>

#include "model/document.h"

namespace zentrel::testing {

inline std::vector<std::string> SetNames(const CZentrelDoc& doc) {
  std::vector<std::string> names;
  for (const auto& set : doc.sets) names.push_back(set->name);
  return names;
}

}  // namespace zentrel::testing
