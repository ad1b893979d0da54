// WAV files may carry any chunks with any sizes: parsing must never crash,
// read past the end or allocate more than the file holds.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "io/byte_source.h"
#include "io/wave.h"
#include "model/data_set.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const zentrel::MemorySource source({data, size});
  const auto wave = zentrel::ParseWave(source);
  if (!wave) return 0;
  if (wave->samples.empty() || wave->samples.size() > size || wave->sampleRate == 0) std::abort();
  zentrel::Data_Set set;
  zentrel::FillFromWave(set, *wave);
  if (set.PointCount(0) != static_cast<int>(wave->samples.size())) std::abort();
  return 0;
}
