#include <sstream>

#include <gtest/gtest.h>

#include "app/document_json.h"
#include "app/script/script_line.h"
#include "app/script/script_runner.h"
#include "app/script/script_ui.h"
#include "model/document.h"
#include "model/fit.h"

namespace zentrel {
namespace {

TEST(ScriptLine, SplitsWordsQuotesAndComments) {
  ScriptLine line;
  ASSERT_FALSE(ParseScriptLine(R"(rename-dataset set="my set" name="a \"b\"\nc" cancel  # note)", line));
  EXPECT_EQ(line.command, "rename-dataset");
  ASSERT_EQ(line.arguments.size(), 3u);
  EXPECT_EQ(line.take("set"), "my set");
  EXPECT_EQ(line.take("name"), "a \"b\"\nc");
  EXPECT_TRUE(line.takeFlag("cancel"));
  EXPECT_TRUE(line.unusedKeys().empty());

  ASSERT_FALSE(ParseScriptLine("   # only a comment", line));
  EXPECT_TRUE(line.command.empty());
  ASSERT_FALSE(ParseScriptLine(R"(dump "out file.json")", line));
  EXPECT_EQ(line.positional(), (std::vector<std::string>{"out file.json"}));
  EXPECT_FALSE(line.takeFlag("out file.json"));  // a quoted word is never a flag
  EXPECT_TRUE(ParseScriptLine(R"(rename name="open)", line).has_value());
  EXPECT_TRUE(ParseScriptLine("rename =x", line).has_value());
}

TEST(ScriptUi, ColoursInEveryAcceptedForm) {
  EXPECT_EQ(ParseColour("#FF0000"), 0x0000FFu);
  EXPECT_EQ(ParseColour("#0000ff"), 0xFF0000u);
  EXPECT_EQ(ParseColour("0,255,0"), 0x00FF00u);
  EXPECT_EQ(ParseColour("0x0000FF"), 0x0000FFu);
  EXPECT_EQ(ParseColour("255"), 255u);
  for (const char* bad : {"", "#12345", "#GGGGGG", "1,2", "256,0,0", "1.5,0,0", "-1", "0x1000000", "red"})
    EXPECT_FALSE(ParseColour(bad).has_value()) << bad;
}

class Script : public ::testing::Test {
 protected:
  bool Run(const std::string& text) {
    std::istringstream in(text);
    ScriptRunner runner(doc, out, "test.zts");
    const bool ok = runner.run(in);
    error = runner.error();
    return ok;
  }
  CZentrelDoc doc;
  std::ostringstream out;
  std::string error;
};

TEST_F(Script, NewSetBuildsColumnsWithoutSnapshot) {
  ASSERT_TRUE(Run("new-set name=P x=1,2,3 y=10,20,30 xerr=0.1,0.2,0.3\n")) << error;
  ASSERT_EQ(doc.SetCount(), 1);
  const Data_Set& set = *doc.sets[0];
  EXPECT_EQ(set.name, "P");
  EXPECT_EQ(set.ColumnCount(), 4);
  EXPECT_EQ(set.GetValue(1, 2), 30.0);
  EXPECT_EQ(set.PointCount(2), 3);  // zero y errors so the x errors have their column
  EXPECT_EQ(set.GetValue(3, 1), 0.2);
  EXPECT_EQ(doc.undoAvailable, 0);
}

TEST_F(Script, CommandsByNameAndIdWithAnswers) {
  ASSERT_TRUE(Run("new-set name=P x=1 y=1\n"
                  "new-set name=Q x=2 y=2\n"
                  "copy-dataset set=\"Q\"\n"
                  "rename-dataset set=2 name=\"Q copy\"\n"
                  "32829 set=2\n"  // move to back
                  "change-set-color set=0 color=#FF0000\n"
                  "status\n"))
      << error;
  ASSERT_EQ(doc.SetCount(), 3);
  EXPECT_EQ(doc.sets[0]->name, "Q copy");
  EXPECT_EQ(doc.sets[0]->color, 0x0000FFu);
  EXPECT_EQ(out.str(), "Set renamed\n");
}

TEST_F(Script, ErrorsNameTheLine) {
  struct Case {
    const char* script;
    const char* error;
  };
  const Case cases[] = {
      {"frobnicate\n", "test.zts:1: unknown command 'frobnicate'"},
      {"new-set x=1 y=1\nnew-set x=1 y=1\nclose-data\n", "test.zts:3: missing answer set="},
      {"new-set x=1 y=1\nnew-set x=1 y=1\nclose-data set=5\n", "test.zts:3: set=5 is out of range"},
      {"new-set x=1 y=1\nnew-set x=1 y=1\nclose-data set=\"nope\"\n", "test.zts:3: set=\"nope\" names no set"},
      {"cut\n", "test.zts:1: command 'cut' (57635) is not available"},
      {"new-set x=1,2 y=1\n", "new-set: y has 1 values, x has 2"},
      {"new-set x=1,a y=1,2\n", "is not a list of numbers"},
      {"new-set y=1\n", "new-set needs x=... and y=..."},
      {"autoscale bogus=1\n", "unknown argument bogus for autoscale"},
      {"select 1 2 3\n", "select needs 4 numbers, got 3"},
      {"cursor 1 x\n", "cursor: 'x' is not a number"},
      {"new-set x=1 y=1\nchange-set-color color=purple\n", "color=purple is not a colour"},
      {"dump\n", "dump needs one file name"},
  };
  for (const auto& c : cases) {
    doc.ResetDocument();
    EXPECT_FALSE(Run(c.script)) << c.script;
    EXPECT_NE(error.find(c.error), std::string::npos) << "got: " << error;
  }
}

TEST_F(Script, CancelAndDisabledCommandsAreNotErrors) {
  ASSERT_TRUE(Run("new-set x=1 y=1\nnew-set x=2 y=2\ncopy-dataset cancel\nundo\nundo\n")) << error;
  EXPECT_EQ(doc.SetCount(), 2);
  EXPECT_EQ(doc.undoAvailable, 0);
}

TEST_F(Script, SelectionIsStoredAsTypedAndClearedByRedraw) {
  ASSERT_TRUE(Run("select 3 4 1 2\n")) << error;
  EXPECT_EQ(doc.selectionX1, 3.0);
  EXPECT_EQ(doc.selectionY1, 4.0);
  EXPECT_EQ(doc.selectionX2, 1.0);
  EXPECT_EQ(doc.selectionY2, 2.0);
  ASSERT_TRUE(Run("show-point-markers\n")) << error;
  EXPECT_EQ(doc.selectionX1, 0.5);
  EXPECT_EQ(doc.selectionX2, 0.5);
}

TEST_F(Script, DumpWritesTheContractKeys) {
  ASSERT_TRUE(Run("new-set name=P x=1,2 y=3,inf\ndump -\n")) << error;
  const auto json = nlohmann::json::parse(out.str());
  for (const char* key : {"sets", "graph", "use_abbreviations", "selection", "status", "undo_available"})
    EXPECT_TRUE(json.contains(key)) << key;
  EXPECT_EQ(json.size(), 6u);
  const auto& set = json["sets"][0];
  EXPECT_EQ(set.size(), 9u);
  EXPECT_EQ(set["columns"][1][1], "inf");
  EXPECT_EQ(set["color"], 0);
  EXPECT_EQ(json["graph"].size(), 19u);
}

TEST_F(Script, DumpOfAFitHasEveryKey) {
  auto set = std::make_unique<Data_Set>();
  set->SetValue(0, 0, 1), set->SetValue(1, 0, 1);
  set->fits.push_back(std::make_unique<Fit>());
  set->fits[0]->chiSquare = std::numeric_limits<double>::quiet_NaN();
  doc.AppendSet(std::move(set));
  const auto json = DocumentToJson(doc);
  const auto& fit = json["sets"][0]["fits"][0];
  EXPECT_EQ(fit.size(), 18u);
  EXPECT_EQ(fit["model"], "Exponential");
  EXPECT_EQ(fit["params"].size(), 17u);
  EXPECT_EQ(fit["free"][0], true);
  EXPECT_EQ(fit["chi_square"], "nan");
  EXPECT_TRUE(fit["convolve_source"].is_null());
  EXPECT_EQ(fit["colour"], 255);
}

}  // namespace
}  // namespace zentrel
