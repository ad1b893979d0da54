#pragma once
// Results of the file readers and writers: 0 success, negative failure.
// Commands turn every read failure into "Couldn't open file NAME: reason"
// (io/data_import.h).

namespace zentrel {

inline constexpr int kIoOk = 0;
// The file cannot be opened for reading (or writing, for the FSdata writer),
// or reading it failed part way.
inline constexpr int kIoCannotOpen = -1;
// FSdata: the length field declares no points; ImportDataFile: the file
// read without error but yields no point at all.
inline constexpr int kIoNoPoints = -2;
// The file is not what it claims to be: shorter than its fixed header.
inline constexpr int kIoBadFormat = -3;
// Loading would need memory far out of proportion to the file (ragged rows
// that leave huge runs of empty cells), or memory ran out.
inline constexpr int kIoTooLarge = -4;
// The person stopped a long read; the set is to be thrown away.
inline constexpr int kIoCancelled = -5;
// Text: the bytes are not text at all (NUL bytes, UTF-16, invalid UTF-8).
inline constexpr int kIoBinary = -6;

// Text writers: the set has no column, or the file cannot be created.
inline constexpr int kIoNothingToWrite = -1;
inline constexpr int kIoCannotCreate = -2;

}  // namespace zentrel
