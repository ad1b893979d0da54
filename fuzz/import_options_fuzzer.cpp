// The options import takes any bytes with any options: the first eight
// bytes choose the options, the rest is the file. Besides not crashing or
// hanging: the same bytes fed in small uneven blocks read the same sets,
// every set's x and y have one value per point, the row number counts data
// lines, and what detection and the preview make of the text is usable.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "io/delimited_reader.h"
#include "io/import_options.h"
#include "io/io_status.h"
#include "model/data_set.h"

namespace {

using zentrel::Data_Set;
using Sets = std::vector<std::unique_ptr<Data_Set>>;

constexpr std::size_t kOptionBytes = 8;

zentrel::ImportOptions OptionsFrom(const std::uint8_t* b) {
  zentrel::ImportOptions options;
  options.delimiter = static_cast<zentrel::FieldDelimiter>(b[0] % 5);
  options.header = (b[0] & 0x80) != 0;
  options.decimal = (b[1] & 1) != 0 ? zentrel::DecimalMark::Comma : zentrel::DecimalMark::Point;
  options.skipLines = (b[1] >> 1) % 4;
  static constexpr char kComments[] = {0, '%', '#', ';', ',', '"', '1'};
  options.comment = kComments[b[2] % sizeof kComments];
  options.xColumn = b[3] % 5;
  options.yColumns.clear();
  for (int c = 0; c < 6; ++c)
    if ((b[4] >> c) & 1) options.yColumns.push_back(c + 1);
  if ((b[4] & 0x40) != 0) options.yColumns.push_back(300);  // far past any field of a short input
  options.yErrorColumn = b[5] % 6;
  options.xErrorColumn = b[6] % 6;
  return options;
}

bool SameSets(const Sets& a, const Sets& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t k = 0; k < a.size(); ++k) {
    const Data_Set& x = *a[k];
    const Data_Set& y = *b[k];
    if (x.name != y.name || x.comment != y.comment || !x.SameColumns(y)) return false;
  }
  return true;
}

// The reader fed `step` bytes at a time through a buffer that grows only
// when a record does not fit.
int ReadInBlocks(Sets& sets, std::string_view text, const zentrel::ImportOptions& options, std::size_t step) {
  zentrel::DelimitedReader reader(options, "fuzz");
  std::vector<char> buffer(64 + step);
  std::size_t filled = 0, offset = 0;
  while (!reader.stopped()) {
    if (filled == buffer.size()) buffer.resize(buffer.size() * 2);
    const std::size_t n = std::min({step, buffer.size() - filled, text.size() - offset});
    if (n > 0) std::memcpy(buffer.data() + filled, text.data() + offset, n);
    filled += n;
    offset += n;
    const bool atEnd = offset == text.size();
    const std::size_t used = reader.consume(buffer.data(), filled, atEnd);
    if (atEnd) break;
    std::memmove(buffer.data(), buffer.data() + used, filled - used);
    filled -= used;
  }
  return reader.finish(sets);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kOptionBytes) return 0;
  const zentrel::ImportOptions options = OptionsFrom(data);
  const std::size_t step = 1 + data[7] % 97;
  const std::string_view text(reinterpret_cast<const char*>(data + kOptionBytes), size - kOptionBytes);

  Sets whole;
  zentrel::DelimitedReadInfo info;
  const int status = zentrel::ReadDelimitedText(whole, text, "fuzz", options, &info);
  if (zentrel::ValidateImportOptions(options)) {
    if (status != zentrel::kIoBadFormat || !whole.empty()) std::abort();
  } else {
    Sets pieces;
    if (ReadInBlocks(pieces, text, options, step) != status) std::abort();
    if (status == zentrel::kIoOk && !SameSets(whole, pieces)) std::abort();
    if (status != zentrel::kIoOk && !whole.empty()) std::abort();
    for (const auto& set : whole) {
      const int points = set->PointCount(0);
      if (points == 0 || points > info.dataLines || set->PointCount(1) != points || set->modified) std::abort();
      if (options.xColumn == 0) {
        for (int i = 0; i < points; ++i) {
          const double x = set->GetValue(0, i);
          if (x != std::floor(x) || x < 0 || x >= info.dataLines || (i > 0 && x <= set->GetValue(0, i - 1)))
            std::abort();
        }
      }
    }
  }

  // Whatever detection proposes is valid and reads without harm.
  const zentrel::ImportOptions proposed = zentrel::DetectImportOptions(text);
  if (zentrel::ValidateImportOptions(proposed)) std::abort();
  Sets detected;
  zentrel::ReadDelimitedText(detected, text, "fuzz", proposed);

  const zentrel::ImportPreview preview = zentrel::PreviewImport(text, options, 5);
  if (preview.fields.size() > 5 || preview.fields.size() != preview.values.size()) std::abort();
  for (std::size_t r = 0; r < preview.fields.size(); ++r) {
    if (preview.fields[r].size() != preview.values[r].size()) std::abort();
    if (static_cast<int>(preview.fields[r].size()) > preview.columns) std::abort();
  }
  return 0;
}
