#pragma once
// FSdata files (.dat): a fixed 612-byte little-endian header, then the x
// values as 16-bit multiples of a spacing dx and the y values as 32-bit
// floats (or, without the float flag, 16-bit integers). The 16-bit length
// field limits a file to 5359 points.

#include <string>

#include "io/byte_source.h"

namespace zentrel {

class Data_Set;

inline constexpr int kFsdataHeaderSize = 612;
inline constexpr int kFsdataFloatFlag = 0x40;

struct FsdataReadInfo {
  int declaredPoints = 0;  // what the length field promises
  int pointsRead = 0;      // what the file really holds
  OpenError openError = OpenError::None;  // with kIoCannotOpen
  bool truncated() const { return pointsRead < declaredPoints; }
};

// Reads an FSdata image into an empty set: kIoOk, kIoNoPoints (float form
// declaring fewer than one point), or kIoBadFormat (shorter than the header).
// A file shorter than its length field gives only the points it holds in
// full; `info` tells how many were promised.
int ReadFsdata(Data_Set& set, const ByteSource& source, FsdataReadInfo* info = nullptr);

// The same from a file opened read-only; the set's name becomes `path`.
// kIoCannotOpen when the file cannot be opened.
int ReadFsdataFile(Data_Set& set, const std::string& path, FsdataReadInfo* info = nullptr);

// The x spacing written for the first `lastPoint` + 1 points: the smallest
// non-zero distance between neighbouring x values; 1.0 for a single point,
// for no points, or when no two neighbours differ.
double FsdataSpacing(const Data_Set& set, int lastPoint);

// The file image of a set: the points present in both x and y, in float form.
std::string FsdataBytes(const Data_Set& set);

// The most points whose length field still reads back (5360 make it negative).
inline constexpr int kFsdataMaxPoints = 5359;
// Why the file could not hold the set faithfully (too many points for the
// 16-bit length, or x values whose codes do not fit 16 bits), in words for
// "Couldn't write file NAME: "; empty when it can.
std::string FsdataRefusal(const Data_Set& set);
inline bool FsdataCanHold(const Data_Set& set) { return FsdataRefusal(set).empty(); }

// Writes FsdataBytes to the path in the set's `name` and clears `modified`;
// refuses (kIoCannotOpen, nothing written) what FsdataCanHold refuses.
// kIoOk, or kIoCannotOpen when the file cannot be created (an existing file
// is then left as it was); `whyNot`, when given, then says why.
int WriteFsdataFile(Data_Set& set, std::string* whyNot = nullptr);

}  // namespace zentrel
