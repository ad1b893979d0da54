#include "io/fsdata.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "io/byte_source.h"
#include "io/io_status.h"
#include "model/data_set.h"
#include "util/atomic_file.h"

namespace zentrel {

namespace {

// Header offsets.
constexpr size_t kLength = 0;
constexpr size_t kSpacing = 262;
constexpr size_t kComment = 270;
constexpr size_t kCommentSize = 256;
constexpr size_t kFlags = 608;

std::uint16_t Get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t Get32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint64_t Get64(const std::uint8_t* p) { return Get32(p) | (static_cast<std::uint64_t>(Get32(p + 4)) << 32); }

void Put16(std::string& out, size_t at, std::uint16_t v) {
  out[at] = static_cast<char>(v & 0xFF);
  out[at + 1] = static_cast<char>(v >> 8);
}

void Put32(std::string& out, size_t at, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) out[at + static_cast<size_t>(k)] = static_cast<char>((v >> (8 * k)) & 0xFF);
}

void Put64(std::string& out, size_t at, std::uint64_t v) {
  Put32(out, at, static_cast<std::uint32_t>(v));
  Put32(out, at + 4, static_cast<std::uint32_t>(v >> 32));
}

void PutFloat(std::string& out, size_t at, float v) { Put32(out, at, std::bit_cast<std::uint32_t>(v)); }

// x / dx truncated toward zero; what does not fit 32 bits becomes 0 (the
// value a 32-bit truncating conversion leaves in the low 16 bits).
std::uint16_t XCode(double x, double dx) {
  const double q = x / dx;
  if (!(q > -2147483649.0 && q < 2147483648.0)) return 0;
  return static_cast<std::uint16_t>(static_cast<std::uint32_t>(static_cast<std::int32_t>(q)));
}

}  // namespace

int ReadFsdata(Data_Set& set, const ByteSource& source, FsdataReadInfo* info) {
  std::uint8_t header[kFsdataHeaderSize];
  if (source.readAt(0, header, sizeof header) < sizeof header) return kIoBadFormat;
  const auto length = static_cast<std::int16_t>(Get16(header + kLength));
  double dx = std::bit_cast<double>(Get64(header + kSpacing));
  if (dx == 0.0) dx = 1.0;

  const auto* comment = reinterpret_cast<const char*>(header + kComment);
  const size_t commentLength = std::find(comment, comment + kCommentSize - 1, '\0') - comment;
  set.comment.clear();
  for (size_t k = 0; k < commentLength; ++k) {
    if (comment[k] == '\n') set.comment += '\r';
    set.comment += comment[k];
  }

  const bool floats = (Get16(header + kFlags) & kFsdataFloatFlag) != 0;
  const int ySize = floats ? 4 : 2;
  const int declared = (length - kFsdataHeaderSize) / (2 + ySize);
  if (floats && declared < 1) return kIoNoPoints;
  int held = 0;
  if (declared > 0) {
    // x codes first, then y values: a point is there when both are.
    const auto n = static_cast<size_t>(declared);
    std::vector<std::uint8_t> data(n * static_cast<size_t>(2 + ySize));
    const size_t got = source.readAt(kFsdataHeaderSize, data.data(), data.size());
    held = got < 2 * n ? 0 : static_cast<int>(std::min(n, (got - 2 * n) / static_cast<size_t>(ySize)));
    set.Reserve(0, held);
    set.Reserve(1, held);
    for (int i = 0; i < held; ++i) {
      const auto code = static_cast<std::int16_t>(Get16(data.data() + 2 * i));
      set.SetValue(0, i, code * dx);
    }
    const std::uint8_t* y = data.data() + 2 * n;
    for (int i = 0; i < held; ++i) {
      const double value = floats ? static_cast<double>(std::bit_cast<float>(Get32(y + 4 * i)))
                                  : static_cast<double>(static_cast<std::int16_t>(Get16(y + 2 * i)));
      set.SetValue(1, i, value);
    }
  }
  if (info != nullptr) *info = {std::max(declared, 0), held};
  set.modified = false;
  return kIoOk;
}

int ReadFsdataFile(Data_Set& set, const std::string& path, FsdataReadInfo* info) {
  set.name = path;
  OpenError openError = OpenError::None;
  auto file = InputFile::Open(path, &openError);
  if (!file) {
    if (info != nullptr) info->openError = openError;
    return kIoCannotOpen;
  }
  return ReadFsdata(set, *file, info);
}

double FsdataSpacing(const Data_Set& set, int lastPoint) {
  double dx = 0.0;
  for (int i = 0; i < lastPoint; ++i) {
    const double d = std::fabs(set.GetValue(0, i + 1) - set.GetValue(0, i));
    if (d > 0.0 && (dx == 0.0 || d < dx)) dx = d;
  }
  return dx > 0.0 ? dx : 1.0;
}

std::string FsdataBytes(const Data_Set& set) {
  const int last = std::min(set.lastIndex(0), set.lastIndex(1));
  const double dx = FsdataSpacing(set, last);
  const auto count = static_cast<std::uint16_t>(static_cast<std::uint32_t>(last));
  const size_t points = static_cast<size_t>(last + 1);
  std::string out(kFsdataHeaderSize + 6 * points, '\0');
  // The length field is 16 bits: past 5359 points it wraps, as it always has.
  Put16(out, kLength, static_cast<std::uint16_t>((static_cast<std::int64_t>(last) + 103) * 6));
  Put16(out, 240, 1024);
  Put16(out, 252, count);
  PutFloat(out, 254, 664.0f);
  PutFloat(out, 258, 1.0f);
  Put64(out, kSpacing, std::bit_cast<std::uint64_t>(dx));
  size_t k = 0;
  for (char c : set.comment) {
    if (c == '\r') continue;
    if (k == kCommentSize - 1) break;
    out[kComment + k++] = c;
  }
  Put16(out, 526, 1);
  Put16(out, kFlags, kFsdataFloatFlag);
  Put16(out, 610, count);
  const size_t yStart = kFsdataHeaderSize + 2 * points;
  for (size_t i = 0; i < points; ++i) {
    const int point = static_cast<int>(i);
    Put16(out, kFsdataHeaderSize + 2 * i, XCode(set.GetValue(0, point), dx));
    PutFloat(out, yStart + 4 * i, static_cast<float>(set.GetValue(1, point)));
  }
  return out;
}

std::string FsdataRefusal(const Data_Set& set) {
  const int last = std::min(set.lastIndex(0), set.lastIndex(1));
  // The length field must stay positive and every x code must fit 16 bits,
  // or the file would read back as other data.
  if (last + 1 > kFsdataMaxPoints)
    return "FSdata holds at most " + std::to_string(kFsdataMaxPoints) + " points, the set has " +
           std::to_string(last + 1);
  const double dx = FsdataSpacing(set, last);
  for (int i = 0; i <= last; ++i) {
    const double q = set.GetValue(0, i) / dx;
    if (!(q > -32769.0 && q < 32768.0))
      return "x beyond the 16-bit range of FSdata (x / spacing outside -32768 to 32767)";
  }
  return {};
}

int WriteFsdataFile(Data_Set& set, std::string* whyNot) {
  const auto refuse = [whyNot](std::string why) {
    if (whyNot != nullptr) *whyNot = std::move(why);
    return kIoCannotOpen;
  };
  if (std::string refusal = FsdataRefusal(set); !refusal.empty()) return refuse(std::move(refusal));
  try {
    if (std::string error = WriteFileAtomically(set.name, FsdataBytes(set)); !error.empty())
      return refuse(std::move(error));
  } catch (const std::bad_alloc&) {
    return refuse("out of memory");
  }
  set.modified = false;
  return kIoOk;
}

}  // namespace zentrel
