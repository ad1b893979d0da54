#include "io/graph_file_trailing.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "io/archive_reader.h"
#include "io/archive_writer.h"
#include "io/graph_file_bounds.h"
#include "io/graph_file_poisson.h"
#include "io/graph_file_shift.h"

namespace zentrel {

namespace {

// In the order they are written. A new block goes at the end, so that a
// reader that knows only the earlier ones still reads those.
constexpr std::array kTrailingBlocks{
    TrailingBlock{kBoundsBlockMarker, WriteBoundsBlock, ReadBoundsBlockContent},
    TrailingBlock{kPoissonBlockMarker, WritePoissonBlock, ReadPoissonBlockContent},
    TrailingBlock{kShiftBlockMarker, WriteShiftBlock, ReadShiftBlockContent},
};

bool StartsWith(std::string_view marker, std::span<const std::uint8_t> head) {
  return std::equal(head.begin(), head.end(), marker.begin(),
                    [](std::uint8_t byte, char c) { return byte == static_cast<std::uint8_t>(c); });
}

}  // namespace

void WriteTrailingMarker(ArchiveWriter& out, std::string_view marker) {
  for (char c : marker) out.Byte(static_cast<std::uint8_t>(c));
}

void WriteTrailingBlocks(ArchiveWriter& out, const CZentrelDoc& doc) {
  for (const TrailingBlock& block : kTrailingBlocks) block.write(out, doc);
}

void ReadTrailingBlocks(ArchiveReader& in, CZentrelDoc& doc) {
  size_t next = 0;
  while (in.ok() && !in.AtEnd()) {
    const std::span<const std::uint8_t> head = in.Peek(kTrailingMarkerBytes);
    const auto* found = std::find_if(kTrailingBlocks.begin() + static_cast<long>(next), kTrailingBlocks.end(),
                                     [&](const TrailingBlock& block) { return StartsWith(block.marker, head); });
    if (found == kTrailingBlocks.end()) return;  // not ours: ignored
    if (head.size() < kTrailingMarkerBytes) {
      in.Fail("the file ends inside the marker of a " + std::string(found->marker) + " block");
      return;
    }
    for (size_t k = 0; k < kTrailingMarkerBytes; ++k) in.Byte();
    found->readContent(in, doc);
    next = static_cast<size_t>(found - kTrailingBlocks.begin()) + 1;
  }
}

}  // namespace zentrel
