#include "util/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace zentrel {

std::string WriteFileAtomically(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return "cannot write " + path + ": " + std::strerror(errno);
    out << text;
    out.flush();
    if (!out) {
      out.close();
      std::remove(temporary.c_str());
      return "cannot write " + path;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    const std::string reason = std::strerror(errno);
    std::remove(temporary.c_str());
    return "cannot replace " + path + ": " + reason;
  }
  return {};
}

}  // namespace zentrel
