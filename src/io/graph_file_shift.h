#pragma once
// The trailing block (io/graph_file_trailing.h) that holds the response
// shift of convolved fits (fit/response_shift.h, docs/graph_file.md). It is
// written only when some fit uses the shift (free, or not 0), so every
// other file stays byte for byte as it was.

#include <string_view>

namespace zentrel {

class ArchiveReader;
class ArchiveWriter;
class CZentrelDoc;

inline constexpr std::string_view kShiftBlockMarker = "FITSHIFT";
inline constexpr int kShiftBlockVersion = 1;

// Appends the block when a fit of the document uses the shift; writes
// nothing otherwise.
void WriteShiftBlock(ArchiveWriter& out, const CZentrelDoc& doc);

// Reads the block after its marker: it must be whole and consistent with
// the sets already read, else the reader fails with the reason.
void ReadShiftBlockContent(ArchiveReader& in, CZentrelDoc& doc);

}  // namespace zentrel
