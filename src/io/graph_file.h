#pragma once
// The graph file (.ztl): every set with its fits, the graph's axis and
// display state and the abbreviation switch, written as a framework archive
// (no header: the first bytes are the set count). docs/graph_file.md gives
// the byte layout.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/graph.h"
#include "util/progress.h"

namespace zentrel {

class CZentrelDoc;

// What the program shows when a graph file cannot be used.
inline constexpr std::string_view kUnexpectedFileFormat = "Unexpected file format.";
inline constexpr std::string_view kFailedToOpenDocument = "Failed to open document.";
inline constexpr std::string_view kFailedToSaveDocument = "Failed to save document.";
// The message for a file that does not exist, naming it.
std::string CannotFindFileMessage(const std::string& path);
// kFailedToOpenDocument, then the file's name and why on a line of its own.
std::string FailedToOpenMessage(const std::string& path, const std::string& reason);

// The bytes Save writes for the document. Set names are written as bare
// file names; the document itself is left as it is. The file records the
// page and plot rectangles of the last drawing the front end showed
// (Ui::drawingLayout); nothing reads them back, so they are not part of
// the document, and a program that never drew writes zeros.
std::vector<std::uint8_t> GraphFileBytes(const CZentrelDoc& doc, const PageLayout& drawn = {});
// What a successful store does to the sets: each name becomes its bare
// file name (the part after the last '\\' or '/', "Unnamed" when nothing is
// left) and each set's modified flag is cleared.
void MarkSetsStored(CZentrelDoc& doc);
// Both of the above: the document as stored, and its bytes.
std::vector<std::uint8_t> StoreGraph(CZentrelDoc& doc);

struct GraphLoadResult {
  bool ok = false;
  // What was wrong and at which byte, for diagnostics; the user is shown
  // kUnexpectedFileFormat.
  std::string problem;
  std::size_t offset = 0;
  // Sets read completely; on failure they stay in the document.
  int setsRead = 0;
  // Custom functions that did not compile: the messages to show.
  std::vector<std::string> messages;
  // How the file ended: after the sets, after the graph block, or complete.
  bool hasGraphBlock = false;
  bool hasAbbreviationSwitch = false;
};

// Resets the document as New does, then reads a graph file into it. On
// failure the document holds the sets read completely before the problem,
// each fit's convolution source resolved only when it names one of them.
GraphLoadResult LoadGraph(std::span<const std::uint8_t> bytes, CZentrelDoc& doc);

// The file layer. Only regular files are read, and at most this many bytes
// (far more than any graph the program can show).
inline constexpr std::uint64_t kMaxGraphFileBytes = std::uint64_t{1} << 30;
enum class FileReadStatus { Ok, NotFound, Failed, Cancelled };
struct FileReadResult {
  FileReadStatus status = FileReadStatus::Failed;
  // Why a Failed file could not be read ("not a regular file", "Permission
  // denied", …), for the message.
  std::string reason;
};
FileReadResult ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                             const ProgressCallback& progress = {});

// Text in graph files is 8-bit: this program writes UTF-8. Bytes that are
// not valid UTF-8 (files from older tools) are read as Latin-1.
bool IsValidUtf8(std::string_view bytes);
std::string Latin1ToUtf8(std::string_view bytes);
std::string StoredTextToUtf8(std::string_view bytes);

}  // namespace zentrel
