// The drawing style and the legend switch: set by the View check items and
// by a script's `style` line, carried by the document for the window but
// never saved, modified or reset with it.

#include <gtest/gtest.h>

#include <sstream>

#include "app/commands/command_table.h"
#include "app/commands/dispatch.h"
#include "app/script/script_runner.h"
#include "fake_ui.h"
#include "io/graph_file.h"
#include "model/document.h"

namespace zentrel {
namespace {

TEST(DrawStyle, CheckItemsToggleWithoutModifyingTheGraph) {
  CZentrelDoc doc;
  testing::FakeUi ui;
  const auto bytes = GraphFileBytes(doc);
  const CommandInfo& paper = FindCommand(Cmd::PaperStyle);
  const CommandInfo& legend = FindCommand(Cmd::ShowLegend);
  EXPECT_EQ(ScriptName(paper), "paper-style");
  EXPECT_EQ(ScriptName(legend), "legend");
  EXPECT_FALSE(IsCommandChecked(doc, paper));
  EXPECT_TRUE(IsCommandChecked(doc, legend));

  Dispatch(doc, ui, Cmd::PaperStyle);
  Dispatch(doc, ui, Cmd::ShowLegend);
  EXPECT_EQ(doc.drawPreferences.style, DrawStyle::Paper);
  EXPECT_TRUE(IsCommandChecked(doc, paper));
  EXPECT_FALSE(IsCommandChecked(doc, legend));
  EXPECT_EQ(ui.redraws, 2);
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(GraphFileBytes(doc), bytes);

  // New keeps the window's settings.
  doc.ResetDocument();
  EXPECT_EQ(doc.drawPreferences.style, DrawStyle::Paper);
  Dispatch(doc, ui, Cmd::PaperStyle);
  EXPECT_EQ(doc.drawPreferences.style, DrawStyle::Classic);
}

TEST(DrawStyle, ScriptLineChoosesTheStyle) {
  const struct {
    const char* line;
    bool ok;
    DrawStyle style;
  } cases[] = {
      {"style paper", true, DrawStyle::Paper},  {"style PAPER", true, DrawStyle::Paper},
      {"style classic", true, DrawStyle::Classic}, {"style", false, DrawStyle::Classic},
      {"style fancy", false, DrawStyle::Classic}, {"style paper classic", false, DrawStyle::Classic},
  };
  for (const auto& c : cases) {
    CZentrelDoc doc;
    std::ostringstream out;
    std::istringstream in(c.line);
    ScriptRunner runner(doc, out, "style.zts");
    EXPECT_EQ(runner.run(in), c.ok) << c.line;
    EXPECT_EQ(doc.drawPreferences.style, c.style) << c.line;
    if (!c.ok) {
      EXPECT_NE(runner.error().find("style.zts:1: style needs 'classic' or 'paper'"), std::string::npos);
    }
  }
}

TEST(DrawStyle, RenderLinesCarryTheStyleAndTheirNote) {
  CZentrelDoc doc;
  std::ostringstream out;
  std::vector<DrawStyle> seen;
  ScriptRunOptions options;
  options.render = [&](const CZentrelDoc& d, const std::string&) {
    seen.push_back(d.drawPreferences.style);
    return RenderResult{"", {}, d.drawPreferences.style == DrawStyle::Paper ? "a note" : ""};
  };
  ScriptRunner runner(doc, out, "render.zts", options);
  std::istringstream in("render a.svg\nstyle paper\nrender b.svg\nstyle classic\nrender c.svg\n");
  ASSERT_TRUE(runner.run(in)) << runner.error();
  EXPECT_EQ(seen, (std::vector<DrawStyle>{DrawStyle::Classic, DrawStyle::Paper, DrawStyle::Classic}));
  EXPECT_EQ(doc.statusText, "a note");
}

}  // namespace
}  // namespace zentrel
