#include "io/graph_file_shift.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fit/response_shift.h"
#include "io/archive_reader.h"
#include "io/archive_writer.h"
#include "io/graph_file_trailing.h"
#include "model/data_set.h"
#include "model/document.h"
#include "model/fit.h"

namespace zentrel {

namespace {

// One entry: DWORD set index, DWORD fit index, the shift, its grid step,
// a byte 1 when it is fitted (0 when held).
constexpr std::uint64_t kEntryBytes = 4 + 4 + 8 + 8 + 1;

}  // namespace

void WriteShiftBlock(ArchiveWriter& out, const CZentrelDoc& doc) {
  const std::vector<std::pair<int, int>> shifted = FitsUsing(doc, [](const Fit& fit) { return ShiftInUse(fit); });
  if (shifted.empty()) return;
  WriteTrailingMarker(out, kShiftBlockMarker);
  WritePerFitHeader(out, kShiftBlockVersion, shifted);
  for (const auto& [s, f] : shifted) {
    const Fit& fit = *doc.sets[static_cast<size_t>(s)]->fits[static_cast<size_t>(f)];
    out.Dword(s);
    out.Dword(f);
    out.Double(fit.shift);
    out.Double(fit.shiftStep);
    out.Byte(fit.shiftFree != 0 ? 1 : 0);
  }
}

void ReadShiftBlockContent(ArchiveReader& in, CZentrelDoc& doc) {
  const std::int32_t count = ReadPerFitHeader(in, kShiftBlockVersion, kEntryBytes, "shift");
  std::pair<std::int64_t, std::int64_t> previous{-1, -1};
  for (std::int32_t k = 0; k < count; ++k) {
    Fit* fit = ReadPerFitKey(in, doc, previous, "shift");
    if (!fit) return;
    const double shift = in.Double();
    const double step = in.Double();
    const int free = in.Byte();
    if (!in.ok()) return;
    const std::string where = "fit " + std::to_string(previous.second) + " of set " + std::to_string(previous.first);
    if (!std::isfinite(shift) || !std::isfinite(step)) {
      in.Fail("the shift of " + where + " is not a finite number");
      return;
    }
    if (free != 0 && free != 1) {
      in.Fail("the shift's free flag of " + where + " is " + std::to_string(free) + ", not 0 or 1");
      return;
    }
    fit->shift = shift;
    fit->shiftStep = step;
    fit->shiftFree = free;
  }
}

}  // namespace zentrel
