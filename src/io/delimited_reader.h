#pragma once
// The options import's reader, fed block by block so a large file is read in
// place (ReadDelimitedFile) and any block boundary reads the same sets
// (the fuzz target checks that). The rules are in io/import_options.h and
// docs/data_files.md.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/delimited_fields.h"
#include "io/import_options.h"
#include "io/text_reader.h"

namespace zentrel {

class Data_Set;

class DelimitedReader {
 public:
  // `options` must have passed ValidateImportOptions; `fileName` names the sets.
  DelimitedReader(const ImportOptions& options, std::string_view fileName);
  ~DelimitedReader();
  DelimitedReader(const DelimitedReader&) = delete;
  DelimitedReader& operator=(const DelimitedReader&) = delete;

  // Reads every complete record in [data, data + size) and returns the
  // bytes used; the caller presents the unused tail again, followed by more
  // bytes. When nothing is used of a full buffer, the next buffer must be
  // larger (a record longer than the buffer, or the first 64 KiB that decide
  // whether this is text at all). With atEnd everything is used.
  std::size_t consume(const char* data, std::size_t size, bool atEnd);

  // True once the text was found to be binary or the sets too large; the
  // reader then takes whatever it is given.
  bool stopped() const { return binary_ != BinarySign::None || tooLarge_; }

  // Moves the sets that hold points to the end of `sets`. Returns kIoOk,
  // kIoBinary, kIoTooLarge or kIoNoPoints (nothing is moved then).
  int finish(std::vector<std::unique_ptr<Data_Set>>& sets);

  const DelimitedReadInfo& info() const { return info_; }
  BinarySign binary() const { return binary_; }

 private:
  const char* skipLines(const char* p, const char* end, bool atEnd);
  const char* commentLine(const char* p, const char* end, bool atEnd);
  void record(const char* first, const char* last, bool quotes);
  void headerRecord(const char* first, const char* last, bool quotes);
  void dataRecord(const char* first, const char* last, bool quotes);

  ImportOptions options_;
  FieldRules rules_;
  std::string fileName_;
  std::vector<std::unique_ptr<Data_Set>> sets_;  // one per y column, in order
  std::vector<int> points_;                      // how many each holds
  // For each column up to the highest chosen one, its slot in values_, or -1.
  std::vector<int> slotOfColumn_;
  std::vector<std::optional<double>> values_;
  int xSlot_ = -1, yErrorSlot_ = -1, xErrorSlot_ = -1;
  std::vector<int> ySlots_;
  std::string comment_;
  bool started_ = false;
  bool sniffed_ = false;
  int linesToSkip_ = 0;
  bool headerPending_ = false;
  bool tooLarge_ = false;
  BinarySign binary_ = BinarySign::None;
  DelimitedReadInfo info_;
};

}  // namespace zentrel
