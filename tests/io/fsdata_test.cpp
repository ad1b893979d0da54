// FSdata files: the header bytes, both data forms, the spacing rule, short
// files, and the 16-bit length limit.

#include "io/fsdata.h"

#include <sys/stat.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "io/byte_source.h"
#include "io/io_status.h"
#include "io_test_support.h"
#include "model/data_set.h"

namespace zentrel {
namespace {

using testing::Column;
using testing::TempDir;
using Values = std::vector<double>;

Data_Set MakeSet(const Values& x, const Values& y) {
  Data_Set set;
  for (size_t i = 0; i < x.size(); ++i) set.SetValue(0, static_cast<int>(i), x[i]);
  for (size_t i = 0; i < y.size(); ++i) set.SetValue(1, static_cast<int>(i), y[i]);
  return set;
}

std::uint16_t U16(const std::string& bytes, size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                    (static_cast<std::uint8_t>(bytes[at + 1]) << 8));
}
std::int16_t I16(const std::string& bytes, size_t at) { return static_cast<std::int16_t>(U16(bytes, at)); }
template <typename T>
T Get(const std::string& bytes, size_t at) {
  T value;
  std::memcpy(&value, bytes.data() + at, sizeof value);
  return value;
}

int Read(Data_Set& set, const std::string& bytes, FsdataReadInfo* info = nullptr) {
  const MemorySource source({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  return ReadFsdata(set, source, info);
}

TEST(FsdataBytes, HeaderAndDataLayout) {
  Data_Set set = MakeSet({0, 0.5, 1.0}, {1, 2, 3});
  set.comment = "line one\r\nline two";
  const std::string bytes = FsdataBytes(set);
  ASSERT_EQ(bytes.size(), 630u);
  EXPECT_EQ(I16(bytes, 0), 630);
  EXPECT_EQ(I16(bytes, 240), 1024);
  EXPECT_EQ(I16(bytes, 252), 2);
  EXPECT_EQ(Get<float>(bytes, 254), 664.0f);
  EXPECT_EQ(Get<float>(bytes, 258), 1.0f);
  EXPECT_EQ(Get<double>(bytes, 262), 0.5);
  EXPECT_EQ(std::string(bytes.data() + 270), "line one\nline two");
  EXPECT_EQ(I16(bytes, 526), 1);
  EXPECT_EQ(I16(bytes, 608), 0x40);
  EXPECT_EQ(I16(bytes, 610), 2);
  for (size_t at : {2, 6, 86, 166, 238, 242, 244, 248, 250}) EXPECT_EQ(bytes[at], 0) << at;
  EXPECT_EQ(I16(bytes, 612), 0);
  EXPECT_EQ(I16(bytes, 614), 1);
  EXPECT_EQ(I16(bytes, 616), 2);
  EXPECT_EQ(Get<float>(bytes, 618), 1.0f);
  EXPECT_EQ(Get<float>(bytes, 626), 3.0f);

  Data_Set back;
  ASSERT_EQ(Read(back, bytes), kIoOk);
  EXPECT_EQ(Column(back, 0), (Values{0, 0.5, 1.0}));
  EXPECT_EQ(Column(back, 1), (Values{1, 2, 3}));
  EXPECT_EQ(back.comment, "line one\r\nline two");
  EXPECT_FALSE(back.modified);
}

TEST(FsdataSpacing, SmallestNonZeroStep) {
  struct Case {
    const char* name;
    Values x;
    double dx;
  };
  const Case cases[] = {
    {"even", {0, 0.5, 1.0}, 0.5},
    {"smallest wins", {0, 0.1, 0.3}, 0.1},
    {"one point", {7}, 1.0},
    {"no points", {}, 1.0},
    {"descending", {3, 2, 0}, 1.0},
    // Equal first neighbours used to give 0 and lose every x value.
    {"equal first two", {1, 1, 1.5, 2}, 0.5},
    {"all equal", {4, 4, 4}, 1.0},
    {"a NaN step is skipped", {0, NAN, 2, 2.25}, 0.25},
  };
  for (const auto& c : cases) {
    const Data_Set set = MakeSet(c.x, Values(c.x.size(), 1.0));
    EXPECT_EQ(FsdataSpacing(set, static_cast<int>(c.x.size()) - 1), c.dx) << c.name;
  }
  // x codes truncate toward zero: 0.3 / 0.1 is 2.9999... in binary.
  Data_Set back;
  ASSERT_EQ(Read(back, FsdataBytes(MakeSet({0, 0.1, 0.3}, {1, 2, 3}))), kIoOk);
  EXPECT_EQ(Column(back, 0), (Values{0, 0.1, 0.2}));
  // With equal first neighbours the values now survive.
  Data_Set equalFirst;
  ASSERT_EQ(Read(equalFirst, FsdataBytes(MakeSet({1, 1, 1.5}, {1, 2, 3}))), kIoOk);
  EXPECT_EQ(Column(equalFirst, 0), (Values{1, 1, 1.5}));
}

TEST(FsdataBytes, WritesOnlyPointsInBothColumnsAndSafeXCodes) {
  const std::string bytes = FsdataBytes(MakeSet({0, 1, 2, 3}, {5, 6}));
  EXPECT_EQ(I16(bytes, 0), 612 + 12);
  // Codes beyond 16 bits keep their low bits; beyond 32 bits, or not a
  // number, they become 0.
  const std::string wide = FsdataBytes(MakeSet({0, 1, 70000, 1e300, NAN, -1}, {0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(I16(wide, 612 + 4), static_cast<std::int16_t>(70000 & 0xFFFF));
  EXPECT_EQ(I16(wide, 612 + 6), 0);
  EXPECT_EQ(I16(wide, 612 + 8), 0);
  EXPECT_EQ(I16(wide, 612 + 10), -1);
  // An empty set: the header alone, which reads back as "no points".
  const std::string empty = FsdataBytes(Data_Set());
  EXPECT_EQ(empty.size(), 612u);
  EXPECT_EQ(Get<double>(empty, 262), 1.0);
  Data_Set back;
  EXPECT_EQ(Read(back, empty), kIoNoPoints);
}

TEST(ReadFsdata, LengthFieldLimits) {
  Data_Set big;
  for (int i = 0; i < 5360; ++i) big.SetValue(0, i, i), big.SetValue(1, i, i);
  const std::string bytes = FsdataBytes(big);
  EXPECT_LT(I16(bytes, 0), 0);
  Data_Set back;
  EXPECT_EQ(Read(back, bytes), kIoNoPoints);

  Data_Set largest;
  for (int i = 0; i < 5359; ++i) largest.SetValue(0, i, i), largest.SetValue(1, i, -i);
  Data_Set largestBack;
  ASSERT_EQ(Read(largestBack, FsdataBytes(largest)), kIoOk);
  EXPECT_EQ(largestBack.PointCount(1), 5359);
  EXPECT_EQ(largestBack.GetValue(1, 5358), -5358);
}

TEST(ReadFsdata, ShortFilesGiveOnlyWhatTheyHold) {
  const std::string full = FsdataBytes(MakeSet({0, 1, 2, 3}, {10, 11, 12, 13}));  // 612 + 8 + 16
  struct Case {
    size_t size;
    int status;
    int held;
  };
  const Case cases[] = {
    {full.size(), kIoOk, 4}, {full.size() - 1, kIoOk, 3}, {612 + 8 + 4, kIoOk, 1},
    {612 + 8, kIoOk, 0},     {612 + 3, kIoOk, 0},        {611, kIoBadFormat, 0},
    {0, kIoBadFormat, 0},
  };
  for (const auto& c : cases) {
    Data_Set set;
    FsdataReadInfo info;
    ASSERT_EQ(Read(set, full.substr(0, c.size), &info), c.status) << c.size;
    if (c.status != kIoOk) continue;
    EXPECT_EQ(info.declaredPoints, 4);
    EXPECT_EQ(info.pointsRead, c.held) << c.size;
    EXPECT_EQ(set.PointCount(0), c.held);
    EXPECT_EQ(set.PointCount(1), c.held);
    if (c.held > 0) {
      EXPECT_EQ(set.GetValue(1, c.held - 1), 10 + c.held - 1);
    }
  }
}

TEST(ReadFsdata, IntegerForm) {
  std::string bytes(612, '\0');
  auto put16 = [&](size_t at, int v) {
    bytes[at] = static_cast<char>(v & 0xFF);
    bytes[at + 1] = static_cast<char>((v >> 8) & 0xFF);
  };
  put16(0, 612 + 8);  // two points of four bytes
  const double dx = 0.25;
  std::memcpy(bytes.data() + 262, &dx, 8);
  bytes += std::string("\x04\x00\xfe\xff\x07\x00\x00\x80", 8);  // x codes 4, -2; y 7, -32768
  Data_Set set;
  ASSERT_EQ(Read(set, bytes), kIoOk);
  EXPECT_EQ(Column(set, 0), (Values{1.0, -0.5}));
  EXPECT_EQ(Column(set, 1), (Values{7, -32768}));
  // No points declared is fine in this form; a zero dx reads as 1.
  put16(0, 600);
  Data_Set none;
  ASSERT_EQ(Read(none, bytes), kIoOk);
  EXPECT_EQ(none.ColumnCount(), 0);
}

TEST(ReadFsdataFile, ReadOnlyFilesOpenAndWritesReplaceWhole) {
  TempDir dir;
  Data_Set set = MakeSet({0, 2, 4}, {1.5, 2.5, 3.5});
  set.name = dir.file("a.dat");
  ASSERT_EQ(WriteFsdataFile(set), kIoOk);
  EXPECT_FALSE(set.modified);
  ::chmod(set.name.c_str(), 0400);
  Data_Set back;
  ASSERT_EQ(ReadFsdataFile(back, set.name), kIoOk);
  EXPECT_EQ(back.name, set.name);
  EXPECT_EQ(Column(back, 0), (Values{0, 2, 4}));
  EXPECT_EQ(Column(back, 1), (Values{1.5, 2.5, 3.5}));

  // A running program cannot be opened for writing, not even by root: the
  // reader must still open it.
  Data_Set running;
  EXPECT_NE(ReadFsdataFile(running, "/proc/self/exe"), kIoCannotOpen);

  Data_Set missing;
  EXPECT_EQ(ReadFsdataFile(missing, dir.file("none.dat")), kIoCannotOpen);
  set.name = dir.file("no/folder.dat");
  set.modified = true;
  EXPECT_EQ(WriteFsdataFile(set), kIoCannotOpen);
  EXPECT_TRUE(set.modified);
}

}  // namespace
}  // namespace zentrel

namespace zentrel {
namespace {

TEST(FsdataCanHold, RefusesWhatWouldReadBackAsOtherData) {
  Data_Set fits;
  Data_Set tooMany;
  for (int i = 0; i < kFsdataMaxPoints + 1; ++i) {
    tooMany.SetValue(0, i, i), tooMany.SetValue(1, i, 1.0);
    if (i < kFsdataMaxPoints) fits.SetValue(0, i, i), fits.SetValue(1, i, 1.0);
  }
  EXPECT_TRUE(FsdataCanHold(fits));
  EXPECT_FALSE(FsdataCanHold(tooMany));
  Data_Set wide;  // spacing 1 with an x of 40000: its code needs 17 bits
  wide.SetValue(0, 0, 0), wide.SetValue(0, 1, 1), wide.SetValue(0, 2, 40000);
  for (int i = 0; i < 3; ++i) wide.SetValue(1, i, 1.0);
  EXPECT_FALSE(FsdataCanHold(wide));
  wide.name = "/nonexistent-never-written.dat";
  EXPECT_EQ(WriteFsdataFile(wide), kIoCannotOpen);
}

}  // namespace
}  // namespace zentrel
