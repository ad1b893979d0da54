// Text data files come from anywhere: any bytes must read without a crash or
// a hang, and where the blocks of a file happen to end must never change
// what is read.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "io/io_status.h"
#include "io/text_reader.h"
#include "io/text_writer.h"
#include "model/data_set.h"

namespace {

bool SameSets(const zentrel::Data_Set& a, const zentrel::Data_Set& b) {
  if (a.comment != b.comment || a.ColumnCount() != b.ColumnCount()) return false;
  for (int c = 0; c < a.ColumnCount(); ++c) {
    if (a.PointCount(c) != b.PointCount(c)) return false;
    if (a.PointCount(c) > 0 &&
        std::memcmp(a.ColumnData(c), b.ColumnData(c), sizeof(double) * static_cast<size_t>(a.PointCount(c))) != 0)
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  zentrel::Data_Set whole;
  const int status = zentrel::ReadTextData(whole, text);

  // The same bytes fed in small, uneven blocks through a buffer barely
  // larger than one line piece.
  zentrel::Data_Set pieces;
  zentrel::TextDataReader reader(pieces);
  std::vector<char> buffer(zentrel::TextDataReader::kLineBuffer + size % 13);
  const std::size_t step = 1 + (size > 0 ? data[0] % 211 : 0);
  std::size_t filled = 0, offset = 0;
  while (!reader.overLimit()) {
    std::size_t n = step;
    if (n > buffer.size() - filled) n = buffer.size() - filled;
    if (n > size - offset) n = size - offset;
    if (n > 0) std::memcpy(buffer.data() + filled, data + offset, n);
    filled += n;
    offset += n;
    const bool atEnd = offset == size;
    const std::size_t used = reader.consume(buffer.data(), filled, atEnd);
    std::memmove(buffer.data(), buffer.data() + used, filled - used);
    filled -= used;
    if (atEnd) break;
  }
  const int blockStatus = reader.finish();
  if (status != blockStatus) std::abort();
  if (status == zentrel::kIoOk && !SameSets(whole, pieces)) std::abort();

  if (status == zentrel::kIoOk) {
    whole.modified = true;
    const std::string written = zentrel::FormatSetText(whole, zentrel::TextStyle::Csv);
    if (whole.PointCount(0) > 0 && written.empty()) std::abort();
  }
  return 0;
}
