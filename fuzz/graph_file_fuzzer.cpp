// Graph files may be damaged or hostile: any bytes must load or fail
// without a crash, a read past the end or an allocation the file cannot
// back. What loads must save, load again and save to the same bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "model/document.h"
#include "io/graph_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zentrel::CZentrelDoc doc;
  const zentrel::GraphLoadResult result = zentrel::LoadGraph(std::span<const std::uint8_t>(data, size), doc);
  if (!result.ok) {
    if (result.problem.empty() || result.offset > size) std::abort();
    return 0;
  }
  const std::vector<std::uint8_t> saved = zentrel::GraphFileBytes(doc);
  zentrel::CZentrelDoc again;
  if (!zentrel::LoadGraph(saved, again).ok) std::abort();
  if (again.SetCount() != doc.SetCount()) std::abort();
  if (zentrel::GraphFileBytes(again) != saved) std::abort();
  return 0;
}
