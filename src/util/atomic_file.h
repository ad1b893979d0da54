#pragma once

#include <string>

namespace zentrel {

// Writes text to a file through a temporary beside it, renamed over the
// target, so a failed write never leaves a partial or truncated file.
// Returns an error message, empty on success.
std::string WriteFileAtomically(const std::string& path, const std::string& text);

}  // namespace zentrel
