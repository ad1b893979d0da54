// FSdata headers may lie about everything: any bytes must read without a
// crash or reading past the end, and what was read must write and read back
// with the same points and y values.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "io/byte_source.h"
#include "io/fsdata.h"
#include "io/io_status.h"
#include "model/data_set.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const zentrel::MemorySource source({data, size});
  zentrel::Data_Set set;
  zentrel::FsdataReadInfo info;
  if (zentrel::ReadFsdata(set, source, &info) != zentrel::kIoOk) return 0;
  if (info.pointsRead > info.declaredPoints || set.PointCount(0) != info.pointsRead) std::abort();
  if (set.PointCount(1) != info.pointsRead) std::abort();

  const std::string bytes = zentrel::FsdataBytes(set);
  const zentrel::MemorySource written({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  zentrel::Data_Set back;
  const int status = zentrel::ReadFsdata(back, written);
  // Integer-form files may hold more points than the float form can.
  if (info.pointsRead > 5359) return 0;
  if (info.pointsRead == 0) {
    if (status != zentrel::kIoNoPoints) std::abort();
    return 0;
  }
  if (status != zentrel::kIoOk || back.PointCount(1) != set.PointCount(1)) std::abort();
  for (int i = 0; i < set.PointCount(1); ++i) {
    const float y = static_cast<float>(set.GetValue(1, i));
    const float again = static_cast<float>(back.GetValue(1, i));
    if (!(y == again || (std::isnan(y) && std::isnan(again)))) std::abort();
  }
  return 0;
}
