#pragma once
// One data file read into a new set by the reader of its format, with what a
// person is told afterwards: why it failed, or what was read. The import
// commands and zentrel-cli share it, so both say the same.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "io/fsdata.h"
#include "io/io_status.h"
#include "util/progress.h"

namespace zentrel {

class Data_Set;

enum class DataFormat { Text, Fsdata, Wave };

// By the file name's extension (any case): ".dat" FSdata, ".wav" WAV, any
// other text.
DataFormat DataFormatOf(std::string_view path);

struct ImportReport {
  int status = kIoCannotOpen;  // kIoOk, kIoCancelled, or another failure
  std::string reason;          // why it failed, in words; empty on success
  int points = 0;              // the longest column
  int columns = 0;             // text: the most fields of a data line
  int linesSkipped = 0;        // text: lines that were neither data nor comment
  bool twoLineHeader = false;  // text: the first two data lines were a header
  double headerScale = 1.0;    //   and x was multiplied by this
  bool singleColumn = false;   // text: x became the point index
  int channels = 0;            // WAV read by ImportWaveChannels: one set each
  FsdataReadInfo fsdata;
  bool ok() const { return status == kIoOk; }
};

// Reads `path` into an empty set (whose name becomes `path`). A file that
// yields no point at all fails as well: nothing was imported.
ImportReport ImportDataFile(DataFormat format, Data_Set& set, const std::string& path,
                            const ProgressCallback& progress = {});

// Reads every channel of a WAV file into a set of its own, named by
// WaveChannelName(path, ...) (io/wave.h). The report counts the points of
// the longest set and the channels.
ImportReport ImportWaveChannels(std::vector<std::unique_ptr<Data_Set>>& sets, const std::string& path);

// "File Opened: 512 points, 2 columns; two-line header: x × 0.5" or
// "Couldn't open file NAME: permission denied". Not for kIoCancelled.
std::string ImportStatusText(const ImportReport& report, std::string_view fileName);

}  // namespace zentrel
