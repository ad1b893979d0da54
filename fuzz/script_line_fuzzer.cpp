// Script lines come from users' files: parsing must never crash or hang.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/script/script_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zentrel::ScriptLine line;
  if (!zentrel::ParseScriptLine(std::string_view(reinterpret_cast<const char*>(data), size), line)) {
    line.positional();
    line.unusedKeys();
  }
  return 0;
}
