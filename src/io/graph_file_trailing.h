#pragma once
// The optional blocks after a graph file's abbreviation switch
// (docs/graph_file.md). Each holds something the fit record of the file's
// schema has no room for and is written only when the document uses it, so
// a graph without any of it is stored byte for byte as before; a reader
// that stops at the switch opens the file without it.
//
// A block is an 8-byte marker and its content. Blocks follow one another in
// the order of the table in graph_file_trailing.cpp, each at most once;
// bytes that do not start with the marker of a later block end the list and
// are ignored, as trailing bytes always were.

#include <cstddef>
#include <string_view>

namespace zentrel {

class ArchiveReader;
class ArchiveWriter;
class CZentrelDoc;

inline constexpr std::size_t kTrailingMarkerBytes = 8;

struct TrailingBlock {
  std::string_view marker;  // kTrailingMarkerBytes characters
  // Writes the marker and the content when the document needs the block;
  // nothing otherwise.
  void (*write)(ArchiveWriter& out, const CZentrelDoc& doc);
  // Reads the content after the marker; a block that is not whole or not
  // consistent with the sets already read fails the reader with the reason.
  void (*readContent)(ArchiveReader& in, CZentrelDoc& doc);
};

void WriteTrailingBlocks(ArchiveWriter& out, const CZentrelDoc& doc);
void ReadTrailingBlocks(ArchiveReader& in, CZentrelDoc& doc);

// Writes a block's marker.
void WriteTrailingMarker(ArchiveWriter& out, std::string_view marker);

}  // namespace zentrel
