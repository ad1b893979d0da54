#include "io/file_names.h"

namespace zentrel {

std::string BareFileName(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  const std::string_view bare = slash == std::string_view::npos ? path : path.substr(slash + 1);
  return bare.empty() ? std::string("Unnamed") : std::string(bare);
}

}  // namespace zentrel
