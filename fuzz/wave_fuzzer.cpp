// WAV files may carry any chunks with any sizes and any format fields:
// parsing must never crash, read past the end or allocate more than the
// file holds, and every channel fills a set of one point per frame.

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
  const int frames = wave->frames();
  if (frames <= 0 || wave->samples.size() > size || wave->sampleRate == 0 || wave->channels <= 0 ||
      static_cast<std::size_t>(frames) * static_cast<std::size_t>(wave->channels) *
              static_cast<std::size_t>(wave->bytesPerSample) != wave->samples.size())
    std::abort();
  for (int channel = 0; channel < wave->channels; ++channel) {
    zentrel::Data_Set set;
    zentrel::FillFromWave(set, *wave, channel);
    if (set.PointCount(0) != frames || set.PointCount(1) != frames) std::abort();
  }
  return 0;
}
