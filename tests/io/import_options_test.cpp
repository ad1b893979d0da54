// The options import: real-world shapes read to exact values, what
// detection proposes for them, the words of validation, the preview, and
// the reading of files in blocks.

#include "io/import_options.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "io/io_status.h"
#include "io/text_reader.h"
#include "io_test_support.h"
#include "model/data_set.h"

namespace zentrel {
namespace {

using testing::Column;
using testing::DifferenceBetween;
using testing::SameBits;
using testing::TempDir;
using Values = std::vector<double>;
using Sets = std::vector<std::unique_ptr<Data_Set>>;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct ExpectedSet {
  std::string name;
  Values x, y;
  Values yError = {};
  Values xError = {};
};

bool SameValues(const Values& a, const Values& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!SameBits(a[i], b[i]) && !(std::isnan(a[i]) && std::isnan(b[i]))) return false;
  return true;
}

std::string Show(const Values& values) {
  std::string text;
  for (double v : values) text += std::to_string(v) + " ";
  return text;
}

void ExpectSet(const Data_Set& set, const ExpectedSet& expected) {
  EXPECT_EQ(set.name, expected.name);
  EXPECT_TRUE(SameValues(Column(set, 0), expected.x)) << "x: " << Show(Column(set, 0));
  EXPECT_TRUE(SameValues(Column(set, 1), expected.y)) << "y: " << Show(Column(set, 1));
  EXPECT_TRUE(SameValues(Column(set, 2), expected.yError)) << "y error: " << Show(Column(set, 2));
  EXPECT_TRUE(SameValues(Column(set, 3), expected.xError)) << "x error: " << Show(Column(set, 3));
  EXPECT_FALSE(set.modified);
}

TEST(ReadDelimitedText, ShapesThatInstrumentsAndSpreadsheetsWrite) {
  using enum FieldDelimiter;
  constexpr auto kComma = DecimalMark::Comma;
  struct Case {
    const char* shape;
    std::string text;
    ImportOptions options;
    std::vector<ExpectedSet> sets;
    int linesSkipped = 0;
  };
  const std::string instrument =
      "Instrument: XR-7\nSerial: 0042\nDate: 2026-03-01\nTime: 12:00:00\nOperator: A. N. Other\n"
      "Gain: 10\nOffset: -0.5\nSamples: 2\nRange: 1 2\nUnits: V\n";
  const Case cases[] = {
    {"semicolon and decimal comma", "x;y\n1;2\n1,5;2,5\n",
     {.delimiter = Semicolon, .decimal = kComma, .header = true}, {{"f.csv: y", {1, 1.5}, {2, 2.5}}}},
    {"the same without a header line", "x;y\n1;2\n1,5;2,5\n", {.delimiter = Semicolon, .decimal = kComma},
     {{"f.csv", {1, 1.5}, {2, 2.5}}}, 1},
    {"tab with names", "Time (s)\tVoltage (V)\n0\t1.5\n0.5\t-2e-3\n", {.delimiter = Tab, .header = true},
     {{"f.csv: Voltage (V)", {0, 0.5}, {1.5, -2e-3}}}},
    {"quoted CSV", "\"time, s\",\"say \"\"hi\"\"\"\n\"1\",\"2.5\"\n3 , \"4\" \n", {.delimiter = Comma, .header = true},
     {{"f.csv: say \"hi\"", {1, 3}, {2.5, 4}}}},
    {"quoted label holding the delimiter", "\"a,b\",1,2\n\"c\"\"d\",3,4\n",
     {.delimiter = Comma, .xColumn = 2, .yColumns = {3}}, {{"f.csv", {1, 3}, {2, 4}}}},
    {"quoted line break", "\"two\nlines\";1;2\r\n\"x\r\ny\";3;4",
     {.delimiter = Semicolon, .xColumn = 2, .yColumns = {3}}, {{"f.csv", {1, 3}, {2, 4}}}},
    {"six columns, taking 1, 4 and 5", "1 2 3 4 5 6\n7 8 9 10 11 12\n",
     {.delimiter = Whitespace, .yColumns = {4}, .yErrorColumn = 5}, {{"f.csv", {1, 7}, {4, 10}, {5, 11}}}},
    {"ten instrument lines skipped", instrument + "1\t2\n3\t4\n", {.delimiter = Tab, .skipLines = 10},
     {{"f.csv", {1, 3}, {2, 4}}}},
    {"ten instrument lines not skipped", instrument + "1\t2\n3\t4\n", {.delimiter = Tab},
     {{"f.csv", {1, 3}, {2, 4}}}, 10},
    {"byte-order mark", "\xEF\xBB\xBFx;y\n1;2\n", {.delimiter = Semicolon, .header = true},
     {{"f.csv: y", {1}, {2}}}},
    {"CR LF, lone CR, no final line end", "1,2\r\n3,4\r5,6", {.delimiter = Comma}, {{"f.csv", {1, 3, 5}, {2, 4, 6}}}},
    {"row number as x", "5\n7\n\n9\n", {.xColumn = 0, .yColumns = {1}}, {{"f.csv", {0, 1, 2}, {5, 7, 9}}}},
    {"several y columns, ragged", "t a b\n0 1 2\n1 3\n2 5 6\n", {.delimiter = Whitespace, .yColumns = {2, 3}, .header = true},
     {{"f.csv: a", {0, 1, 2}, {1, 3, 5}}, {"f.csv: b", {0, 2}, {2, 6}}}},
    {"several y columns without names", "0;1;2\n1;3;4\n", {.delimiter = Semicolon, .yColumns = {3, 2}},
     {{"f.csv: column 3", {0, 1}, {2, 4}}, {"f.csv: column 2", {0, 1}, {1, 3}}}},
    {"decimal comma between blanks", "1,5 2,5\n  -3,25\t1e3 \n", {.delimiter = Whitespace, .decimal = kComma},
     {{"f.csv", {1.5, -3.25}, {2.5, 1000}}}},
    {"a point with decimal commas is no number", "1;2,5\n2;2.5\n", {.delimiter = Semicolon, .decimal = kComma},
     {{"f.csv", {1}, {2.5}}}, 1},
    {"missing errors read 0", "1 2 - 0.5\n3 4\n", {.delimiter = Whitespace, .yErrorColumn = 3, .xErrorColumn = 4},
     {{"f.csv", {1, 3}, {2, 4}, {0, 0}, {0.5, 0}}}},
    {"x error alone", "1 2 0.5\n", {.delimiter = Whitespace, .xErrorColumn = 3}, {{"f.csv", {1}, {2}, {}, {0.5}}}},
    {"lines without x or y", "a 1\n2 b\n3 4\n4 5 volts\n", {.delimiter = Whitespace}, {{"f.csv", {3, 4}, {4, 5}}}, 2},
    {"NaN and infinity text", "1 nan\n2 inf\n3 -Infinity\n4 nano\n5 0x10\n", {.delimiter = Whitespace},
     {{"f.csv", {1, 2, 3}, {kNaN, kInf, -kInf}}}, 2},
    {"a quote never closed", "1;\"2\n3;4\n5;6\n", {.delimiter = Semicolon}, {{"f.csv", {3, 5}, {4, 6}}}, 1},
    {"a quote closed lines later", "1;\"2\n3;4\n\"5;6\n7;8", {.delimiter = Semicolon}, {{"f.csv", {7}, {8}}}, 1},
    {"empty fields count with a delimiter", "1;;2\n3;4;5\n", {.delimiter = Semicolon, .yColumns = {3}},
     {{"f.csv", {1, 3}, {2, 5}}}},
    {"auto: blanks and commas as the plain import", "1, 2\n3 ,, 4\n", {}, {{"f.csv", {1, 3}, {2, 4}}}},
    {"a chosen column past every line", "1 2\n", {.delimiter = Whitespace, .yColumns = {2, kMaxImportColumn}},
     {{"f.csv: column 2", {1}, {2}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shape);
    Sets sets;
    DelimitedReadInfo info;
    ASSERT_EQ(ReadDelimitedText(sets, c.text, "f.csv", c.options, &info), kIoOk);
    ASSERT_EQ(sets.size(), c.sets.size());
    for (std::size_t k = 0; k < sets.size(); ++k) ExpectSet(*sets[k], c.sets[k]);
    EXPECT_EQ(info.linesSkipped, c.linesSkipped);
  }
}

TEST(ReadDelimitedText, CommentsNamesAndWhatWasSeen) {
  Sets sets;
  DelimitedReadInfo info;
  const ImportOptions options{
      .delimiter = FieldDelimiter::Semicolon, .skipLines = 1, .comment = '#', .yColumns = {2, 3}, .header = true};
  ASSERT_EQ(ReadDelimitedText(sets, "skip\n# first\nt;u;v\nunits;V;A\n1;2\n# middle\n3;4;5;6\n#last", "f", options,
                              &info),
            kIoOk);
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(sets[0]->comment, " first\r\ncolumns: t, u, v\r\n middle\r\nlast");
  EXPECT_EQ(sets[1]->comment, sets[0]->comment);
  EXPECT_EQ(info.columnNames, (std::vector<std::string>{"t", "u", "v"}));
  EXPECT_EQ(info.dataLines, 2);
  EXPECT_EQ(info.columns, 4);
  EXPECT_EQ(info.linesSkipped, 1);  // the units
  EXPECT_EQ(Column(*sets[1], 1), Values{5});
  EXPECT_TRUE(info.emptyYColumns.empty());

  // Skipped lines are dropped before anything else, comments included.
  sets.clear();
  ASSERT_EQ(ReadDelimitedText(sets, "% gone\r\nt;u\r\n1;2", "f",
                              {.delimiter = FieldDelimiter::Semicolon, .skipLines = 1, .header = true}, &info),
            kIoOk);
  EXPECT_EQ(sets[0]->comment, "columns: t, u\r\n");
  EXPECT_EQ(sets[0]->name, "f: u");

  // A y column that never holds a number makes no set and is reported.
  sets.clear();
  ASSERT_EQ(ReadDelimitedText(sets, "1 2 x\n", "f", {.delimiter = FieldDelimiter::Whitespace, .yColumns = {2, 3}}, &info),
            kIoOk);
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_EQ(info.emptyYColumns, std::vector<int>{3});
}

// A decimal-comma field reads to the very bits the plain import reads from
// the same number with a point.
TEST(ReadDelimitedText, NumbersAreBitIdenticalToThePlainImport) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> mantissa(-10, 10);
  std::uniform_int_distribution<int> exponent(-300, 300);
  std::string pointText, commaText;
  for (int i = 0; i < 2000; ++i) {
    char x[40], y[40];
    std::snprintf(x, sizeof x, "%.17g", mantissa(random) * std::pow(10.0, exponent(random)));
    std::snprintf(y, sizeof y, "%.*f", i % 25, mantissa(random));
    pointText += std::string(x) + " " + y + "\n";
    std::string line = std::string(x) + " " + y;
    for (char& ch : line)
      if (ch == '.') ch = ',';
    commaText += line + "\n";
  }
  Data_Set plain;
  ASSERT_EQ(ReadTextData(plain, pointText), kIoOk);
  for (const auto& [text, decimal] : {std::pair{pointText, DecimalMark::Point}, std::pair{commaText, DecimalMark::Comma}}) {
    Sets sets;
    ASSERT_EQ(ReadDelimitedText(sets, text, "f", {.delimiter = FieldDelimiter::Whitespace, .decimal = decimal}), kIoOk);
    EXPECT_EQ(DifferenceBetween(*sets[0], plain), "");
  }
}

TEST(ReadDelimitedText, Failures) {
  struct Case {
    const char* what;
    std::string text;
    ImportOptions options;
    int status;
  };
  const Case cases[] = {
    {"empty", "", {}, kIoNoPoints},
    {"only a header", "x;y\r\n", {.delimiter = FieldDelimiter::Semicolon, .header = true}, kIoNoPoints},
    {"only words", "alpha beta\ngamma\n", {}, kIoNoPoints},
    {"everything skipped", "1 2\n3 4\n", {.skipLines = 5}, kIoNoPoints},
    {"columns past every line", "1 2\n", {.xColumn = 7, .yColumns = {kMaxImportColumn}}, kIoNoPoints},
    {"NUL bytes", std::string("1 2\n3\0 4\n", 9), {}, kIoBinary},
    {"UTF-16", "\xFF\xFE" "1\0 \0" "2\0", {}, kIoBinary},
    {"not UTF-8", "\x81\x82\x83\n\xC0\xAF\n1 2\n", {}, kIoBinary},
    {"options refused", "1 2\n", {.yColumns = {}}, kIoBadFormat},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Sets sets;
    EXPECT_EQ(ReadDelimitedText(sets, c.text, "f", c.options), c.status);
    EXPECT_TRUE(sets.empty());
  }
  // A Latin-1 header line among ASCII data is still text.
  Sets sets;
  EXPECT_EQ(ReadDelimitedText(sets, "Temperatur \xB0" "C\n1 2\n3 4\n", "f", {}), kIoOk);
}

TEST(ValidateImportOptions, SaysWhatIsWrong) {
  struct Case {
    ImportOptions options;
    const char* message;  // null: valid
  };
  const Case cases[] = {
    {{}, nullptr},
    {{.xColumn = 0, .yColumns = {1, 3}, .yErrorColumn = 2}, nullptr},
    {{.yColumns = {}}, "y column must be given"},
    {{.yColumns = {0}}, "column 0 is not a column"},
    {{.xColumn = -1}, "column -1 is not a column"},
    {{.xErrorColumn = -2}, "column -2 is not a column"},
    {{.yColumns = {2, kMaxImportColumn + 1}}, "column 100001 is past the last column read (100000)"},
    {{.yErrorColumn = 2147483647}, "column 2147483647 is past the last column read (100000)"},
    {{.yColumns = {2, 3, 2}}, "y column 2 is chosen twice"},
    {{.skipLines = -1}, "lines to skip cannot be fewer than 0"},
    {{.delimiter = FieldDelimiter::Comma, .decimal = DecimalMark::Comma},
     "the comma cannot both part the fields and mark the decimals"},
    {{.comment = '-'}, "comment character '-' starts numbers"},
    {{.comment = '"'}, "comment character cannot be a quote, a blank or a line end"},
    {{.comment = 0}, nullptr},
  };
  for (const Case& c : cases) {
    const auto message = ValidateImportOptions(c.options);
    if (c.message == nullptr) {
      EXPECT_FALSE(message) << *message;
    } else {
      EXPECT_EQ(message.value_or("(valid)"), c.message);
    }
  }
}

TEST(DetectImportOptions, ProposesWhatTheShapesNeed) {
  using enum FieldDelimiter;
  constexpr auto kPoint = DecimalMark::Point;
  constexpr auto kComma = DecimalMark::Comma;
  struct Case {
    const char* shape;
    std::string head;
    FieldDelimiter delimiter;
    DecimalMark decimal;
    int skipLines;
    bool header;
    int xColumn;
    std::vector<int> yColumns;
    char comment = '%';
  };
  const std::string instrument =
      "Instrument: XR-7\nSerial: 0042\nDate: 2026-03-01\nTime: 12:00:00\nOperator: A. N. Other\n"
      "Gain: 10\nOffset: -0.5\nSamples: 2\nRange: 1 2\nUnits: V\n";
  const Case cases[] = {
    {"semicolon and decimal comma", "x;y\n1;2\n1,5;2,5\n", Semicolon, kComma, 0, true, 1, {2}},
    {"tab with names", "Time (s)\tVoltage (V)\n0\t1.5\n0.5\t-2e-3\n", Tab, kPoint, 0, true, 1, {2}},
    {"quoted CSV", "\"time, s\",\"say \"\"hi\"\"\"\n\"1\",\"2.5\"\n3,\"4\"\n", Comma, kPoint, 0, true, 1, {2}},
    {"plain CSV", "1,2\n3,4\n", Comma, kPoint, 0, false, 1, {2}},
    {"blanks and decimal commas", "1,5 2,5\n3,0 4,5\n", Whitespace, kComma, 0, false, 1, {2}},
    {"blanks", "1 2 0.1\n3 4 0.2\n", Whitespace, kPoint, 0, false, 1, {2}},
    {"instrument lines", instrument + "1\t2\n3\t4\n", Tab, kPoint, 10, false, 1, {2}},
    {"instrument lines, then names", instrument + "% note\nt\tU\n1\t2\n3\t4\n", Tab, kPoint, 10, true, 1, {2}},
    {"a label column first", "\"a,b\",1,2\n\"c\",3,4\n", Comma, kPoint, 0, false, 2, {3}},
    {"one column", "5\n7\n9\n", Whitespace, kPoint, 0, false, 0, {1}},
    {"one column with a name", "\xEF\xBB\xBFvolts\r\n5\r\n7\r\n", Whitespace, kPoint, 0, true, 0, {1}},
    {"hash comments", "# made by a logger\n1 2\n# break\n3 4\n", Whitespace, kPoint, 0, false, 1, {2}, '#'},
    {"no numbers at all", "alpha\nbeta\n", Auto, kPoint, 0, false, 1, {2}},
    {"empty", "", Auto, kPoint, 0, false, 1, {2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shape);
    const ImportOptions options = DetectImportOptions(c.head);
    EXPECT_EQ(options.delimiter, c.delimiter);
    EXPECT_EQ(options.decimal, c.decimal);
    EXPECT_EQ(options.skipLines, c.skipLines);
    EXPECT_EQ(options.header, c.header);
    EXPECT_EQ(options.xColumn, c.xColumn);
    EXPECT_EQ(options.yColumns, c.yColumns);
    EXPECT_EQ(options.comment, c.comment);
    EXPECT_FALSE(ValidateImportOptions(options));
    // What is proposed reads the shape's numbers.
    if (c.delimiter != Auto) {
      Sets sets;
      EXPECT_EQ(ReadDelimitedText(sets, c.head, "f", options), kIoOk);
    }
  }
}

TEST(PreviewImport, ShowsTheRowsAsTheyWillBeRead) {
  const std::string head = "junk line\n% note\nname;\"a;b\"\n1,5;x\n\n2;\"3,25\";extra\n4;5\n";
  const ImportOptions options{.delimiter = FieldDelimiter::Semicolon, .decimal = DecimalMark::Comma, .skipLines = 1,
                              .header = true};
  const ImportPreview preview = PreviewImport(head, options, 2);
  EXPECT_EQ(preview.columnNames, (std::vector<std::string>{"name", "a;b"}));
  ASSERT_EQ(preview.fields.size(), 2u);
  EXPECT_EQ(preview.fields[0], (std::vector<std::string>{"1,5", "x"}));
  EXPECT_EQ(preview.fields[1], (std::vector<std::string>{"2", "3,25", "extra"}));
  ASSERT_EQ(preview.values.size(), 2u);
  EXPECT_EQ(preview.values[0], (std::vector<std::optional<double>>{1.5, std::nullopt}));
  EXPECT_EQ(preview.values[1], (std::vector<std::optional<double>>{2.0, 3.25, std::nullopt}));
  EXPECT_EQ(preview.columns, 3);

  // An unclosed quote shows its line as it stands; nothing shows of nothing.
  const ImportPreview open = PreviewImport("\"1 2\n3 4", {.delimiter = FieldDelimiter::Whitespace});
  ASSERT_EQ(open.fields.size(), 2u);
  EXPECT_EQ(open.fields[0], (std::vector<std::string>{"\"1", "2"}));
  EXPECT_TRUE(PreviewImport("", {}).fields.empty());
}

// Files are read in blocks: records across block ends, a record longer than
// a block, progress and cancel.
TEST(ReadDelimitedFile, ReadsInBlocksAsInMemory) {
  TempDir dir;
  std::string text = "\xEF\xBB\xBFt;\"u\nv\"\r\n";
  for (int i = 0; i < 150000; ++i) {
    text += std::to_string(i) + ";\"" + std::to_string(i) + ",25\"";
    text += i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\r" : "\n";
  }
  const std::string path = dir.file("big.csv");
  testing::WriteBytes(path, text);
  const ImportOptions options{.delimiter = FieldDelimiter::Semicolon, .decimal = DecimalMark::Comma, .header = true};

  Sets inMemory, fromFile;
  ASSERT_EQ(ReadDelimitedText(inMemory, text, "big.csv", options), kIoOk);
  double lastFraction = 0;
  int calls = 0;
  DelimitedReadInfo info;
  ASSERT_EQ(ReadDelimitedFile(fromFile, path, options,
                              [&](double fraction) {
                                EXPECT_GE(fraction, lastFraction);
                                lastFraction = fraction;
                                ++calls;
                                return true;
                              },
                              &info),
            kIoOk);
  ASSERT_EQ(fromFile.size(), 1u);
  EXPECT_EQ(fromFile[0]->name, "big.csv: u\nv");
  EXPECT_EQ(fromFile[0]->PointCount(0), 150000);
  EXPECT_EQ(fromFile[0]->GetValue(1, 149999), 149999.25);
  EXPECT_EQ(DifferenceBetween(*fromFile[0], *inMemory[0]), "");
  EXPECT_EQ(info.linesSkipped, 0);
  EXPECT_EQ(lastFraction, 1.0);
  EXPECT_GT(calls, 2);

  Sets cancelled;
  std::string why;
  EXPECT_EQ(ReadDelimitedFile(cancelled, path, options, [](double) { return false; }, nullptr, &why), kIoCancelled);
  EXPECT_TRUE(cancelled.empty());
}

TEST(ReadDelimitedFile, ARecordLongerThanABlock) {
  TempDir dir;
  // A quoted field of 3 MB spanning many lines, then data.
  std::string text = "\"";
  for (int i = 0; i < 300000; ++i) text += "filler\r\n";
  text += "\";1;2\n3;4;5\n";
  const std::string path = dir.file("long.csv");
  testing::WriteBytes(path, text);
  Sets sets;
  ASSERT_EQ(ReadDelimitedFile(sets, path, {.delimiter = FieldDelimiter::Semicolon, .xColumn = 2, .yColumns = {3}}),
            kIoOk);
  ExpectSet(*sets[0], {"long.csv", {1, 4}, {2, 5}});

  // A quote that never closes holds the whole file back until its end is
  // seen; then it is an ordinary character and the rest reads as data.
  text = "\"never closed;1\n";
  for (int i = 0; i < 200000; ++i) text += std::to_string(i) + ";" + std::to_string(2 * i) + "\n";
  testing::WriteBytes(path, text);
  sets.clear();
  DelimitedReadInfo info;
  ASSERT_EQ(ReadDelimitedFile(sets, path, {.delimiter = FieldDelimiter::Semicolon}, {}, &info), kIoOk);
  EXPECT_EQ(sets[0]->PointCount(0), 200000);
  EXPECT_EQ(sets[0]->GetValue(1, 199999), 399998.0);
  EXPECT_EQ(info.linesSkipped, 1);
}

TEST(ReadDelimitedFile, SaysWhyItFailed) {
  TempDir dir;
  struct Case {
    const char* what;
    std::string path;
    std::string bytes;  // written when not empty
    ImportOptions options;
    int status;
    const char* why;
  };
  const Case cases[] = {
    {"missing", dir.file("missing.csv"), "", {}, kIoCannotOpen, "no such file"},
    {"a folder", dir.path().string(), "", {}, kIoCannotOpen, "not a regular file"},
    {"binary", dir.file("nul.csv"), std::string("1 2\0", 4), {}, kIoBinary, "binary data (NUL bytes), not text"},
    {"no data", dir.file("words.csv"), "a b\nc d\n", {}, kIoNoPoints, "no data lines (2 lines skipped)"},
    {"no lines", dir.file("blank.csv"), "\n\n", {}, kIoNoPoints, "no data points"},
    {"refused options", dir.file("ok.csv"), "1 2\n", {.yColumns = {}}, kIoBadFormat, "y column must be given"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (!c.bytes.empty()) testing::WriteBytes(c.path, c.bytes);
    Sets sets;
    std::string why;
    EXPECT_EQ(ReadDelimitedFile(sets, c.path, c.options, {}, nullptr, &why), c.status);
    EXPECT_EQ(why, c.why);
    EXPECT_TRUE(sets.empty());
  }
}

TEST(ReadFileHead, GivesTheFirstBytes) {
  TempDir dir;
  const std::string path = dir.file("head.txt");
  testing::WriteBytes(path, "0123456789");
  EXPECT_EQ(ReadFileHead(path, 4), "0123");
  EXPECT_EQ(ReadFileHead(path), "0123456789");
  OpenError error = OpenError::None;
  EXPECT_FALSE(ReadFileHead(dir.file("none.txt"), 4, &error));
  EXPECT_EQ(error, OpenError::NoSuchFile);
}

}  // namespace
}  // namespace zentrel
