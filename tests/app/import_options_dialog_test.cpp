// The Import Options dialog model: its preview follows the options, its
// options survive the text form the settings keep, and what it proposes
// for a file when options were confirmed before.

#include "app/dialogs/import_options_dialog.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/remembered_import.h"

namespace zentrel {
namespace {

ImportOptions Options(FieldDelimiter delimiter, DecimalMark decimal, std::vector<int> y = {2}) {
  ImportOptions options;
  options.delimiter = delimiter;
  options.decimal = decimal;
  options.yColumns = std::move(y);
  return options;
}

TEST(ImportOptionsDialog, PreviewFollowsTheOptions) {
  ImportOptionsDialogModel dialog(Options(FieldDelimiter::Semicolon, DecimalMark::Point),
                                  "x;y\n1,5;2,5\n3,5;4,5\n");
  dialog.options.header = true;
  ASSERT_EQ(dialog.preview().values.size(), 2u);
  EXPECT_FALSE(dialog.preview().values[0][0].has_value());  // "1,5" is no number with a point
  EXPECT_EQ(dialog.preview().fields[0][0], "1,5");

  dialog.options.decimal = DecimalMark::Comma;
  ASSERT_EQ(dialog.preview().values.size(), 2u);
  EXPECT_EQ(dialog.preview().values[0][0], 1.5);
  EXPECT_EQ(dialog.preview().values[1][1], 4.5);
  EXPECT_EQ(dialog.preview().columnNames, (std::vector<std::string>{"x", "y"}));

  dialog.options.header = false;
  EXPECT_TRUE(dialog.preview().columnNames.empty());
  EXPECT_EQ(dialog.validate(), std::nullopt);
  dialog.options.yErrorColumn = 3;
  EXPECT_EQ(dialog.validate(), "column 3 is beyond the 2 columns of the file's first rows");
}

TEST(ImportOptionsDialog, TextFormRoundTrips) {
  ImportOptions rich = Options(FieldDelimiter::Tab, DecimalMark::Comma, {2, 4, 5});
  rich.skipLines = 10;
  rich.comment = '#';
  rich.xColumn = 0;
  rich.yErrorColumn = 3;
  rich.xErrorColumn = 6;
  rich.header = true;
  ImportOptions bare = Options(FieldDelimiter::Auto, DecimalMark::Point);
  bare.comment = 0;
  for (const ImportOptions& options : {rich, bare, Options(FieldDelimiter::Whitespace, DecimalMark::Point),
                                       Options(FieldDelimiter::Comma, DecimalMark::Point, {7})}) {
    const std::string text = ImportOptionsText(options);
    const auto back = ParseImportOptionsText(text);
    ASSERT_TRUE(back) << text;
    EXPECT_TRUE(SameImportOptions(*back, options)) << text << " -> " << ImportOptionsText(*back);
  }
  EXPECT_EQ(ImportOptionsText(rich),
            "delimiter=tab decimal=comma skip=10 comment-char=# x-column=row y-column=2,4,5 yerr-column=3 "
            "xerr-column=6 header=yes");
  for (const char* refused : {"", "   ", "delimiter=pipe", "skip=2 colour=red", "y-column=", "header"})
    EXPECT_FALSE(ParseImportOptionsText(refused)) << refused;
}

TEST(ImportOptionsDialog, ColumnLists) {
  EXPECT_EQ(ParseColumnList("2"), std::vector<int>{2});
  EXPECT_EQ(ParseColumnList("2,3,14"), (std::vector<int>{2, 3, 14}));
  for (const char* refused : {"", "0", "2,", ",2", "2;3", "x", "-1", "100001"})
    EXPECT_FALSE(ParseColumnList(refused)) << refused;
  EXPECT_EQ(ColumnListText({2, 3, 14}), "2,3,14");
}

TEST(RememberedImport, ProposalTakesWhatSuitsTheFile) {
  const std::string semicolon = "t;a;b\n1,0;2,5;3,5\n2,0;4,5;5,5\n";
  const ImportOptions detected = DetectImportOptions(semicolon);
  EXPECT_TRUE(SameImportOptions(ProposeImportOptions(semicolon, std::nullopt), detected));

  // Options that read the file are proposed whole, the person's own skip
  // count and columns included; whether names come first is the file's.
  ImportOptions remembered = Options(FieldDelimiter::Semicolon, DecimalMark::Comma, {3});
  remembered.xColumn = 2;
  remembered.header = false;
  ImportOptions proposed = ProposeImportOptions(semicolon, remembered);
  EXPECT_EQ(proposed.yColumns, std::vector<int>{3});
  EXPECT_EQ(proposed.xColumn, 2);
  EXPECT_EQ(proposed.header, detected.header);

  // Columns the layout cannot read: detection decides the layout, the
  // remembered columns stay when they fit it.
  remembered = Options(FieldDelimiter::Whitespace, DecimalMark::Point, {3});
  proposed = ProposeImportOptions(semicolon, remembered);
  EXPECT_EQ(proposed.delimiter, FieldDelimiter::Semicolon);
  EXPECT_EQ(proposed.decimal, DecimalMark::Comma);
  EXPECT_EQ(proposed.yColumns, std::vector<int>{3});

  // Columns the file does not have: detection's proposal.
  remembered = Options(FieldDelimiter::Semicolon, DecimalMark::Comma, {5});
  EXPECT_TRUE(SameImportOptions(ProposeImportOptions(semicolon, remembered), detected));
}

TEST(RememberedImport, SuitingNeedsNumbersInEveryChosenColumn) {
  const std::string text = "1 2 3\n4 5 6\n";
  EXPECT_TRUE(OptionsSuitFile(text, Options(FieldDelimiter::Whitespace, DecimalMark::Point, {2, 3})));
  EXPECT_FALSE(OptionsSuitFile(text, Options(FieldDelimiter::Whitespace, DecimalMark::Point, {4})));
  EXPECT_FALSE(OptionsSuitFile(text, Options(FieldDelimiter::Semicolon, DecimalMark::Point)));
  // A "header" of numbers would drop the first data line.
  ImportOptions header = Options(FieldDelimiter::Whitespace, DecimalMark::Point);
  header.header = true;
  EXPECT_FALSE(OptionsSuitFile(text, header));
  EXPECT_TRUE(OptionsSuitFile("a b c\n" + text, header));
  EXPECT_FALSE(OptionsSuitFile("", Options(FieldDelimiter::Whitespace, DecimalMark::Point)));
}

}  // namespace
}  // namespace zentrel
