// The ASCII and CSV writers and the clipboard copy: exact bytes, and exact
// round trips through the reader.

#include "io/text_writer.h"

#include <sys/stat.h>

#include <bit>
#include <cmath>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "io/io_status.h"
#include "io/pasted_text.h"
#include "io/text_reader.h"
#include "io_test_support.h"
#include "model/data_set.h"

namespace zentrel {
namespace {

using testing::DifferenceBetween;
using testing::ReadBytes;
using testing::TempDir;

Data_Set MakeSet(std::initializer_list<std::vector<double>> columns) {
  Data_Set set;
  int c = 0;
  for (const auto& column : columns) {
    for (size_t i = 0; i < column.size(); ++i) set.SetValue(c, static_cast<int>(i), column[i]);
    ++c;
  }
  return set;
}

TEST(FormatSetText, ByteForByte) {
  struct Case {
    const char* name;
    Data_Set set;
    TextStyle style;
    const char* text;
  };
  const Case cases[] = {
    {"CSV example", MakeSet({{1, 2}, {0.5, 3e-07}}), TextStyle::Csv, "1,0.5 \n2,3e-07 "},
    {"ASCII", MakeSet({{1, 2}, {0.5, 3e-07}}), TextStyle::Ascii, "1 0.5 \n2 3e-07 "},
    {"three columns as CSV", MakeSet({{1}, {2}, {0.1}}), TextStyle::Csv, "1,2,0.1 "},
    {"missing cells as 0", MakeSet({{1, 2, 3}, {4}}), TextStyle::Ascii, "1 4 \n2 0 \n3 0 "},
    {"precision is kept", MakeSet({{0.1 + 0.2}, {1.0 / 3}}), TextStyle::Ascii,
     "0.30000000000000004 0.3333333333333333 "},
    {"single column", MakeSet({{-0.0, 1e100}}), TextStyle::Csv, "-0 \n1e+100 "},
    {"no points in x", MakeSet({{}, {1, 2}}), TextStyle::Ascii, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatSetText(c.set, c.style), c.text) << c.name;
}

TEST(WriteTextFile, WritesOnlyModifiedSetsAndReportsWhatFailed) {
  TempDir dir;
  Data_Set set = MakeSet({{1, 2}, {3, 4}});
  set.name = dir.file("a.txt");
  EXPECT_EQ(WriteTextFile(set), kIoOk);
  EXPECT_EQ(ReadBytes(set.name), "1 3 \n2 4 ");
  EXPECT_FALSE(set.modified);
  testing::WriteBytes(set.name, "old");
  EXPECT_EQ(WriteCsvFile(set), kIoOk);  // not modified: nothing written
  EXPECT_EQ(ReadBytes(set.name), "old");

  Data_Set empty;
  empty.name = dir.file("empty.txt");
  empty.modified = true;
  EXPECT_EQ(WriteTextFile(empty), kIoNothingToWrite);
  EXPECT_FALSE(std::filesystem::exists(empty.name));

  set.modified = true;
  set.name = dir.file("no/such/folder.txt");
  std::string whyNot;
  EXPECT_EQ(WriteTextFile(set, {}, &whyNot), kIoCannotCreate);
  EXPECT_EQ(whyNot, "cannot create a file beside " + set.name + ": No such file or directory");
  EXPECT_TRUE(set.modified);
  // A file that cannot be replaced keeps its old content.
  set.name = dir.file("a.txt");
  ::chmod(dir.path().c_str(), 0500);
  if (::access(dir.path().c_str(), W_OK) != 0) {
    EXPECT_EQ(WriteCsvFile(set), kIoCannotCreate);
    EXPECT_EQ(ReadBytes(set.name), "old");
  }
  ::chmod(dir.path().c_str(), 0700);
}

TEST(WriteTextFile, RoundTripsBitForBit) {
  std::mt19937_64 random(17);
  std::uniform_real_distribution<double> exponent(-300, 300);
  Data_Set set;
  for (int i = 0; i < 3000; ++i) {
    // Data rows must start like numbers: x stays finite; y and errors take
    // any finite double.
    set.SetValue(0, i, std::pow(10.0, exponent(random)) * (i % 2 ? -1 : 1));
    for (int c = 1; c < 4; ++c) {
      double v = std::bit_cast<double>(random());
      if (!std::isfinite(v)) v = c;
      set.SetValue(c, i, v);
    }
  }
  TempDir dir;
  for (auto write : {&WriteTextFile, &WriteCsvFile}) {
    set.name = dir.file("round.txt");
    set.modified = true;
    ASSERT_EQ(write(set, {}, nullptr), kIoOk);
    Data_Set back;
    ASSERT_EQ(ReadTextFile(back, set.name), kIoOk);
    EXPECT_EQ(DifferenceBetween(set, back), "");
  }
}

TEST(CopySetText, TabsBetweenValuesNoFinalLineEnd) {
  EXPECT_EQ(CopySetText(MakeSet({{1, 2}, {0.5, 1e-7}, {0.25}})), "1\t0.5\t0.25\n2\t1e-07\t0");
  EXPECT_EQ(CopySetText(MakeSet({{0.1}})), "0.1");
  EXPECT_FALSE(CopySetText(MakeSet({{}, {1}})).has_value());
  EXPECT_FALSE(CopySetText(Data_Set()).has_value());
  // Copy then paste gives the same numbers back.
  const Data_Set source = MakeSet({{0.1, 1e300}, {1.0 / 3, -2.5}, {0.7, 0.01}, {2e-310, 5}});
  Data_Set pasted;
  ASSERT_EQ(ParsePastedText(pasted, *CopySetText(source)), kPasteOk);
  EXPECT_EQ(DifferenceBetween(source, pasted), "");
}

TEST(ParsePastedText, LinesOfTwoToFourNumbers) {
  struct Case {
    const char* name;
    std::string text;
    int status;
    std::vector<std::vector<double>> columns;
  };
  const Case cases[] = {
    {"absolute errors", "1 2 -0.3\n", kPasteOk, {{1}, {2}, {0.3}}},
    {"four numbers, any white space", "1\t2 \t-3   -4 5\r\n6 7\r\n", kPasteOk, {{1, 6}, {2, 7}, {3}, {4}}},
    {"no separator needed before a sign", "1-2\n", kPasteOk, {{1}, {-2}}},
    {"final line end", "1 2\n3 4\n", kPasteOk, {{1, 3}, {2, 4}}},
    {"no final line end", "1 2\n3 4", kPasteOk, {{1, 3}, {2, 4}}},
    {"text up to the first NUL", std::string("1 2\n\0junk", 9), kPasteOk, {{1}, {2}}},
    {"a blank line is an error", "1 2\n\n3 4\n", kPasteBadFormat, {}},
    {"commas do not separate", "1,2\n", kPasteBadFormat, {}},
    {"one number is an error", "1 2\n3\n", kPasteBadFormat, {}},
    {"only a line end", "\n", kPasteBadFormat, {}},
    {"no text", "", kPasteNoText, {}},
    {"only the 254 first characters count", std::string(253, ' ') + "1 2\n", kPasteBadFormat, {}},
    {"254 characters hold two numbers", std::string(251, ' ') + "1 2\n", kPasteOk, {{1}, {2}}},
    {"CR alone ends a line", "1 2\r3 4\r", kPasteOk, {{1, 3}, {2, 4}}},
    {"CR LF, LF and CR mixed", "1 2\r\n3 4\n5 6\r7 8", kPasteOk, {{1, 3, 5, 7}, {2, 4, 6, 8}}},
    {"a blank CR line is an error", "1 2\r\r3 4\r", kPasteBadFormat, {}},
    {"a leading byte-order mark", "\xEF\xBB\xBF" "1 2\n3 4\n", kPasteOk, {{1, 3}, {2, 4}}},
    {"only a byte-order mark", "\xEF\xBB\xBF", kPasteNoText, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Data_Set set;
    ASSERT_EQ(ParsePastedText(set, c.text), c.status);
    if (c.status != kPasteOk) continue;
    ASSERT_EQ(set.ColumnCount(), static_cast<int>(c.columns.size()));
    for (int k = 0; k < set.ColumnCount(); ++k) EXPECT_EQ(testing::Column(set, k), c.columns[static_cast<size_t>(k)]);
  }
}

}  // namespace
}  // namespace zentrel
