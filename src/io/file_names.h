#pragma once

#include <string>
#include <string_view>

namespace zentrel {

// The file name without its folder: the text after the last '/' or '\\'
// ("Unnamed" when nothing is left). Imported sets are named this way.
std::string BareFileName(std::string_view path);

}  // namespace zentrel
