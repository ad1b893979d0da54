#pragma once
// The trailing block (io/graph_file_trailing.h) that holds the parameter
// bounds of fits (docs/graph_file.md). It is written only when some fit has
// bounds.

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

// Reads the block after its marker: it must be whole and consistent with
// the sets already read, else the reader fails with the reason.
void ReadBoundsBlockContent(ArchiveReader& in, CZentrelDoc& doc);

}  // namespace zentrel
