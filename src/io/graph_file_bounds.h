#pragma once
// The block after a graph file's abbreviation switch that holds the
// parameter bounds of fits (docs/graph_file.md). It is written only when
// some fit has bounds, so a graph without them is stored byte for byte as
// before; readers that stop at the switch skip it.

#include <string_view>

namespace zentrel {

class ArchiveReader;
class ArchiveWriter;
class CZentrelDoc;

inline constexpr std::string_view kBoundsBlockMarker = "FITBOUND";
inline constexpr int kBoundsBlockVersion = 1;

// Appends the block when a fit of the document has a finite bound;
// writes nothing otherwise.
void WriteBoundsBlock(ArchiveWriter& out, const CZentrelDoc& doc);

// Reads what follows the switch. Bytes that do not start with the marker
// are ignored, as they always were; a block that starts with it (or with
// the first bytes of it, cut short) must be whole and consistent with the
// sets already read, else the reader fails with the reason. Bytes after a
// good block are ignored.
void ReadBoundsBlock(ArchiveReader& in, CZentrelDoc& doc);

}  // namespace zentrel
