// The text data reader: line pieces, comments, fields, the header and
// single-column rules, and the reading of files in blocks.

#include "io/text_reader.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "io/io_status.h"
#include "io_test_support.h"
#include "model/data_set.h"

namespace zentrel {
namespace {

using testing::Column;
using testing::DifferenceBetween;
using testing::TempDir;
using Values = std::vector<double>;

Data_Set Read(const std::string& text) {
  Data_Set set;
  EXPECT_EQ(ReadTextData(set, text), kIoOk);
  return set;
}

TEST(ReadTextData, FilesOfTheEverydayKinds) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<Values> columns;
  };
  const Case cases[] = {
    {"comment, header, data", "% a note\n# x y\n1 2\n2 4\n", {{1, 2}, {2, 4}}},
    {"CR LF line ends", "1 2\r\n3 4\r\n", {{1, 3}, {2, 4}}},
    {"empty CSV field vanishes", "1,2,,3\n", {{1}, {2}, {3}}},
    {"non-number keeps later columns", "1 abc 3\n", {{1}, {}, {3}}},
    {"single column becomes y", "5\n7\n9\n", {{0, 1, 2}, {5, 7, 9}}},
    {"two header lines scale x", "100\n0.5\n1 2\n2 3\n", {{0.5, 1}, {2, 3}}},
    {"a header of 5 and a row of 1", "5\n1 2\n2 3\n", {{2}, {3}}},
    {"40000 is no header", "40000\n1 2\n2 3\n", {{40000, 1, 2}, {0, 2, 3}}},
    {"a later single field cancels the header", "5\n1 2\n2 3\n7\n", {{5, 1, 2, 7}, {0, 2, 3}}},
    {"data starts", "-.5 1\n+3 2\n.7 3\ne3 4\nx 5\n", {{-0.5, 3, 0.7}, {1, 2, 3}}},
    {"blanks, tabs, commas, runs", " \t1 ,\t 2,,, 3 , \n", {{1}, {2}, {3}}},
    {"last line without line end", "1 2\n3 4", {{1, 3}, {2, 4}}},
    {"inf and nan fields", "1 inf\n2 -nan\n3 infin\n", {{1, 2, 3}, {INFINITY, -NAN}}},
    {"no data at all", "% only\n\n# words\n", {}},
    {"blank lines use no row", "1 2\n\n   \n3 4\n", {{1, 3}, {2, 4}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Data_Set set = Read(c.text);
    ASSERT_EQ(set.ColumnCount(), static_cast<int>(c.columns.size()));
    for (int k = 0; k < set.ColumnCount(); ++k) {
      const Values got = Column(set, k);
      const Values& want = c.columns[static_cast<size_t>(k)];
      ASSERT_EQ(got.size(), want.size()) << "column " << k;
      for (size_t i = 0; i < got.size(); ++i)
        EXPECT_TRUE(testing::SameBits(got[i], want[i]) || (std::isnan(got[i]) && std::isnan(want[i])))
            << "column " << k << " point " << i << ": " << got[i];
    }
    EXPECT_FALSE(set.modified);
  }
}

TEST(ReadTextData, EveryLineEndAndALeadingByteOrderMark) {
  struct Case {
    const char* name;
    std::string text;
  };
  // Each holds the same three rows and a comment.
  const Case cases[] = {
    {"LF", "% c\n1 2\n3 4\n5 6\n"},
    {"CR LF", "% c\r\n1 2\r\n3 4\r\n5 6\r\n"},
    {"CR alone", "% c\r1 2\r3 4\r5 6\r"},
    {"mixed", "% c\r1 2\n3 4\r\n5 6"},
    {"blank lines of every kind", "\r\n% c\r\r1 2\n\n3 4\r\n\r\n5 6\r"},
    {"mark, LF", "\xEF\xBB\xBF% c\n1 2\n3 4\n5 6\n"},
    {"mark on the first data row, CR alone", "\xEF\xBB\xBF" "1 2\r% c\r3 4\r5 6"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Data_Set set = Read(c.text);
    EXPECT_EQ(Column(set, 0), (Values{1, 3, 5}));
    EXPECT_EQ(Column(set, 1), (Values{2, 4, 6}));
    EXPECT_EQ(set.comment, " c\r\n");
  }
  // A mark anywhere else is no mark: that line is not data.
  EXPECT_EQ(Column(Read("1 2\n\xEF\xBB\xBF" "3 4\n"), 0), (Values{1}));
}

TEST(ReadTextData, BinaryDataIsRefusedAndOddTextIsNot) {
  std::string invalid;  // every line holds bytes that are no UTF-8
  for (int i = 0; i < 20; ++i) invalid += "1 2 \xFF\xFE\x80\n";
  std::string latin1 = "# temperature in \xB0" "C\n";  // one line of another encoding
  for (int i = 0; i < 20; ++i) latin1 += std::to_string(i) + " 2\n";
  struct Case {
    const char* name;
    std::string text;
    int status;
    BinarySign sign;
  };
  const Case cases[] = {
    {"NUL bytes", std::string("1 2\0 3\n4 5 6\n", 13), kIoBinary, BinarySign::NulBytes},
    {"a NUL far down", std::string(200000, '\n') + std::string("1 2\0", 4), kIoBinary, BinarySign::NulBytes},
    {"UTF-16, little-endian mark", std::string("\xFF\xFE" "1\0 \0" "2\0\n\0", 10), kIoBinary, BinarySign::Utf16},
    {"UTF-16, big-endian mark", std::string("\xFE\xFF\0" "1\0 \0" "2\0\n", 10), kIoBinary, BinarySign::Utf16},
    {"UTF-16 without a mark", std::string("1\0 \0" "2\0\n\0", 8), kIoBinary, BinarySign::NulBytes},
    {"invalid UTF-8 in most lines", invalid, kIoBinary, BinarySign::InvalidUtf8},
    {"one Latin-1 header line", latin1, kIoOk, BinarySign::None},
    {"UTF-8 units", "% \xC2\xB5s\n1 2 \xC2\xB5s\n3 4 \xE2\x80\xA2\n", kIoOk, BinarySign::None},
    {"empty", "", kIoOk, BinarySign::None},
    {"header only", "time voltage\n", kIoOk, BinarySign::None},
    {"mark only", "\xEF\xBB\xBF", kIoOk, BinarySign::None},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Data_Set set;
    TextReadInfo info;
    EXPECT_EQ(ReadTextData(set, c.text, &info), c.status);
    EXPECT_EQ(info.binary, c.sign);
  }
}

TEST(ReadTextData, CommentsAnywhereEachEndedByCrLf) {
  const Data_Set set = Read("% first\n1 2\n%second\r\n2 3\n%%third");
  EXPECT_EQ(set.comment, " first\r\nsecond\r\n%third\r\n");
  EXPECT_EQ(Column(set, 0), (Values{1, 2}));
}

TEST(ReadTextData, LongLinesArriveInPiecesOf1023Characters) {
  // 1022 characters and a line end fit one piece, with either line end.
  const std::string fits(1018, ' ');
  EXPECT_EQ(Column(Read(fits + "12 5\n3 4\n"), 1), (Values{5, 4}));
  EXPECT_EQ(Column(Read(fits + "12 5\r\n3 4\n"), 1), (Values{5, 4}));
  // One more and the line's last character starts the next piece.
  const Data_Set split = Read(fits + " 12 56\n3 4\n");
  EXPECT_EQ(Column(split, 0), (Values{12, 6, 3}));
  EXPECT_EQ(Column(split, 1), (Values{5, 0, 4}));
  // A number cut at the piece boundary is read as two rows.
  const Data_Set cut = Read(std::string(1020, ' ') + "123456\n");
  EXPECT_EQ(Column(cut, 1), (Values{123, 456}));
  // A comment longer than a piece: the rest is a line of its own.
  const Data_Set comment = Read("%" + std::string(1022, 'a') + "b 7\n");
  EXPECT_EQ(comment.comment, std::string(1022, 'a'));
  EXPECT_EQ(comment.PointCount(0), 0);
  const Data_Set number = Read("%" + std::string(1022, 'a') + "7 8\n");
  EXPECT_EQ(Column(number, 1), (Values{8}));
}

TEST(ReadTextData, RaggedRowsFarBeyondTheFileAreRefused) {
  // Ten thousand short rows, then one with 400 fields: 400 columns of
  // 10000 cells each from a 20 kB file.
  std::string text;
  for (int i = 0; i < 10000; ++i) text += "1\n";
  for (int i = 0; i < 400; ++i) text += "1 ";
  Data_Set set;
  EXPECT_EQ(ReadTextData(set, text), kIoTooLarge);
  // The same shape in small is fine.
  Data_Set small;
  EXPECT_EQ(ReadTextData(small, "1\n2\n3\n4 5 6 7 8\n"), kIoOk);
  EXPECT_EQ(small.PointCount(4), 4);
}

// A literal rendering of the rules, slow and simple: a leading UTF-8 mark
// dropped, CR LF and lone CRs turned into LF first, then fgets-like pieces of
// at most 1023 characters, fields converted with sscanf. The fast reader must
// agree with it (texts with NUL bytes are refused, not read).
Data_Set ReadLiterally(std::string bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
  std::string text;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r') {
      text += bytes[i];
    } else if (!(i + 1 < bytes.size() && bytes[i + 1] == '\n')) {
      text += '\n';
    }
  }
  Data_Set set;
  int row = 0, maxFields = 0;
  bool header = false;
  size_t at = 0;
  while (at < text.size()) {
    std::string piece;
    bool newline = false;
    while (piece.size() < 1023 && at < text.size()) {
      piece += text[at++];
      if (piece.back() == '\n') {
        newline = true;
        break;
      }
    }
    const char* line = piece.c_str();
    const size_t length = std::strlen(line);
    const bool whole = length == piece.size();
    if (line[0] == '%') {
      std::string note(line + 1, length - 1);
      if (whole && newline) note.pop_back();
      set.comment += note;
      if (whole && (newline || at >= text.size())) set.comment += "\r\n";
      continue;
    }
    const char* p = line;
    while (*p == ' ' || *p == '\t') ++p;
    if (!((*p >= '0' && *p <= '9') || *p == '+' || *p == '-' || *p == '.')) continue;
    int fields = 0;
    while (true) {
      double value = 0;
      if (std::sscanf(p, "%lg", &value) == 1) set.SetValue(fields, row, value);
      ++fields;
      while (*p != '\0' && *p != ' ' && *p != '\t' && *p != ',' && *p != '\n') ++p;
      while (*p == ' ' || *p == '\t' || *p == ',') ++p;
      if (*p == '\n' || *p == '\0') break;
    }
    maxFields = std::max(maxFields, fields);
    if (row == 0) header = fields == 1;
    if (row >= 2 && fields == 1) header = false;
    ++row;
  }
  const double first = set.GetValue(0, 0);
  if (header && first > 0 && first < 32766) {
    set.ApplyOperation(3, set.GetValue(0, 1), 0, 0);
    set.DeletePoint(0);
    set.DeletePoint(0);
  }
  if (maxFields == 1)
    for (int i = 0; i < set.PointCount(0); ++i) set.SetValue(1, i, set.GetValue(0, i)), set.SetValue(0, i, i);
  return set;
}

// Random texts built from the pieces that matter: numbers of every form,
// separators, comments, line ends of every kind, marks, UTF-8, NULs, long
// runs.
std::string RandomText(std::mt19937& random) {
  static const char* const kTokens[] = {
    "1", "-2.5", "+.5e3", "1e", "7e+", "inf", "-nan", "infin", "abc", "0", "32765", "40000", "100", "0.5",
    "%", "% note", "#", " ", "  ", "\t", ",", ",,", "\n", "\n", "\n", "\r\n", "\r", "" /* a NUL */,
    "-", ".", "e5", "12345678901234567890", "1.7976931348623157e308", "4e-320", "\xC2\xB5s", "\xEF\xBB\xBF",
  };
  std::uniform_int_distribution<int> count(0, 60), token(0, std::size(kTokens) - 1), chance(0, 40);
  std::string text = chance(random) < 4 ? "\xEF\xBB\xBF" : "";
  for (int n = count(random); n > 0; --n) {
    if (chance(random) == 0) {
      // A long line across the 1023-character boundary.
      std::uniform_int_distribution<int> spaces(1000, 1030);
      text += std::string(static_cast<size_t>(spaces(random)), ' ') + "12 34";
      if (chance(random) < 20) text += "\r";
      continue;
    }
    const int k = token(random);
    if (*kTokens[k] == '\0') {
      text += '\0';
    } else {
      text += kTokens[k];
    }
  }
  return text;
}

TEST(ReadTextData, AgreesWithALiteralReadingOfTheRules) {
  std::mt19937 random(3);
  for (int round = 0; round < 4000; ++round) {
    const std::string text = RandomText(random);
    Data_Set fast;
    if (text.find('\0') != std::string::npos) {
      ASSERT_EQ(ReadTextData(fast, text), kIoBinary);
      continue;
    }
    ASSERT_EQ(ReadTextData(fast, text), kIoOk);
    const Data_Set literal = ReadLiterally(text);
    const std::string difference = DifferenceBetween(fast, literal);
    ASSERT_TRUE(difference.empty()) << difference << "\ntext: " << ::testing::PrintToString(text);
  }
}

TEST(TextDataReader, BlockBoundariesChangeNothing) {
  std::mt19937 random(5);
  for (int round = 0; round < 1500; ++round) {
    std::string text;
    for (int k = 0; k < 4; ++k) text += RandomText(random);
    Data_Set whole;
    const int status = ReadTextData(whole, text);
    ASSERT_EQ(status, text.find('\0') == std::string::npos ? kIoOk : kIoBinary);

    // A buffer just big enough, refilled by random amounts.
    Data_Set pieces;
    TextDataReader reader(pieces);
    std::vector<char> buffer(TextDataReader::kLineBuffer + static_cast<size_t>(round % 7));
    std::uniform_int_distribution<size_t> amount(1, 300);
    size_t filled = 0, offset = 0;
    while (true) {
      const size_t n = std::min({amount(random), buffer.size() - filled, text.size() - offset});
      std::memcpy(buffer.data() + filled, text.data() + offset, n);
      filled += n;
      offset += n;
      const bool atEnd = offset == text.size();
      const size_t used = reader.consume(buffer.data(), filled, atEnd);
      std::memmove(buffer.data(), buffer.data() + used, filled - used);
      filled -= used;
      if (atEnd) break;
    }
    ASSERT_EQ(reader.finish(), status);
    if (status != kIoOk) continue;
    const std::string difference = DifferenceBetween(whole, pieces);
    ASSERT_TRUE(difference.empty()) << difference << "\ntext: " << ::testing::PrintToString(text);
  }
}

TEST(ReadTextFile, ReadsTheFileNamesTheSetAndFailsCleanly) {
  TempDir dir;
  std::string text = "% big\n";
  for (int i = 0; i < 200000; ++i) text += std::to_string(i) + " " + std::to_string(i * 0.25) + " 1e-3\r\n";
  testing::WriteBytes(dir.file("big.txt"), text);
  Data_Set set;
  ASSERT_EQ(ReadTextFile(set, dir.file("big.txt")), kIoOk);
  EXPECT_EQ(set.name, dir.file("big.txt"));
  EXPECT_EQ(DifferenceBetween(set, Read(text)), "");
  EXPECT_EQ(set.PointCount(2), 200000);
  EXPECT_FALSE(set.modified);

  Data_Set missing, folder;
  TextReadInfo info;
  EXPECT_EQ(ReadTextFile(missing, dir.file("none.txt"), {}, &info), kIoCannotOpen);
  EXPECT_EQ(info.openError, OpenError::NoSuchFile);
  EXPECT_EQ(ReadTextFile(folder, dir.path().string(), {}, &info), kIoCannotOpen);
  EXPECT_EQ(info.openError, OpenError::NotRegularFile);
  EXPECT_EQ(folder.ColumnCount(), 0);

  // A file read in blocks finds a NUL past the first block as well.
  testing::WriteBytes(dir.file("late.txt"), text + std::string("1 2\0\n", 5));
  Data_Set late;
  EXPECT_EQ(ReadTextFile(late, dir.file("late.txt"), {}, &info), kIoBinary);
  EXPECT_EQ(info.binary, BinarySign::NulBytes);
}

}  // namespace
}  // namespace zentrel
