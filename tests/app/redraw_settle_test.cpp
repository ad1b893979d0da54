// What a redraw does to the document, whichever front end runs the
// command: Dispatch settles it after the handler's redraw, a command that
// does not redraw leaves it, and the script runner's drawings settle it
// and give a later save its layout.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

#include "app/commands/dispatch.h"
#include "app/script/script_runner.h"
#include "app/settling_ui.h"
#include "fake_ui.h"
#include "model/document.h"
#include "io/graph_file.h"

namespace zentrel {
namespace {

using testing::FakeUi;

constexpr int kShowPointMarkers = 32781;      // redraws
constexpr int kUseAxisAbbreviations = 32871;  // does not

void SelectSomething(CZentrelDoc& doc) {
  doc.selectionX1 = 0.1, doc.selectionX2 = 0.3, doc.selectionY1 = 0.2, doc.selectionY2 = 0.4;
}

TEST(RedrawSettle, DispatchSettlesAfterACommandThatRedraws) {
  CZentrelDoc doc;
  FakeUi ui;
  doc.graph.logY = 1;  // 0 .. 1: the lower end needs repairing
  SelectSomething(doc);
  ASSERT_EQ(Dispatch(doc, ui, kShowPointMarkers), DispatchResult::Done);
  EXPECT_EQ(ui.redraws, 1);  // the front end still redraws
  EXPECT_FALSE(doc.HasSelection());
  EXPECT_EQ(doc.graph.yMin, 1e-10);
  EXPECT_EQ(doc.selectionY1, (1e-10 + 1) / 2);
}

TEST(RedrawSettle, ACommandWithoutARedrawLeavesTheDocument) {
  CZentrelDoc doc;
  FakeUi ui;
  doc.graph.logY = 1;
  SelectSomething(doc);
  ASSERT_EQ(Dispatch(doc, ui, kUseAxisAbbreviations), DispatchResult::Done);
  EXPECT_EQ(ui.redraws, 0);
  EXPECT_TRUE(doc.HasSelection());
  EXPECT_EQ(doc.graph.yMin, 0.0);
}

// A front end with a window: it reports the layout of its last drawing.
class WindowUi : public FakeUi {
 public:
  std::optional<PageLayout> drawingLayout() const override { return layout; }
  PageLayout layout{{0, 0, 900, -700}, {65, -5, 865, -665}};
};

TEST(RedrawSettle, SettlingUiForwardsToTheFrontEnd) {
  CZentrelDoc doc;
  WindowUi window;
  SettlingUi ui(doc, window);
  ui.messageBox("hello");
  EXPECT_EQ(window.messages, std::vector<std::string>{"hello"});
  EXPECT_EQ(ui.drawingLayout(), window.layout);
  window.clipboard = "text";
  EXPECT_EQ(ui.clipboardText(), "text");
  SelectSomething(doc);
  ui.redraw();
  EXPECT_EQ(window.redraws, 1);
  EXPECT_FALSE(doc.HasSelection());
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ScriptDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() / ("zentrel_redraw_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  bool Run(const std::string& text) {
    std::istringstream in(text);
    ScriptRunOptions options;
    options.render = [this](const CZentrelDoc&, const std::string& path) {
      rendered.push_back(path);
      return RenderResult{{}, drawn, {}};
    };
    ScriptRunner runner(doc, out, (folder / "test.zts").string(), options);
    const bool ok = runner.run(in);
    error = runner.error();
    return ok;
  }
  std::filesystem::path folder;
  CZentrelDoc doc;
  std::ostringstream out;
  std::string error;
  std::vector<std::string> rendered;
  PageLayout drawn{{0, 0, 1100, -850}, {65, -5, 1065, -815}};
};

TEST_F(ScriptDrawing, ASavedFileRecordsTheLastRenderOrZeros) {
  ASSERT_TRUE(Run("new-set x=1,2 y=3,4\nsave-as file=${SCRIPT_DIR}/before.ztl\n"
                  "render ${SCRIPT_DIR}/a.png\nsave-as file=${SCRIPT_DIR}/after.ztl\n"
                  "open file=${SCRIPT_DIR}/before.ztl\nsave-as file=${SCRIPT_DIR}/reopened.ztl\n"))
      << error;
  EXPECT_EQ(rendered.size(), 1u);
  EXPECT_EQ(ReadBytes(folder / "before.ztl"), GraphFileBytes(doc, PageLayout{}));
  EXPECT_EQ(ReadBytes(folder / "after.ztl"), GraphFileBytes(doc, drawn));
  // Opening a file does not bring its layout back: the last drawing's stays.
  EXPECT_EQ(ReadBytes(folder / "reopened.ztl"), GraphFileBytes(doc, drawn));
}

TEST_F(ScriptDrawing, RenderAndNewSetSettleTheDocument) {
  ASSERT_TRUE(Run("select 0.1 0.2 0.3 0.4\nrender ${SCRIPT_DIR}/a.png\n")) << error;
  EXPECT_FALSE(doc.HasSelection());
  doc.graph.logX = 1;
  ASSERT_TRUE(Run("select 0.1 0.2 0.3 0.4\nnew-set x=1,2 y=3,4\n")) << error;
  EXPECT_FALSE(doc.HasSelection());
  EXPECT_EQ(doc.graph.xMin, 1e-10);
  ASSERT_TRUE(Run("select 0.1 0.2 0.3 0.4\nstatus\n")) << error;
  EXPECT_TRUE(doc.HasSelection());  // a line that draws nothing keeps it
}

}  // namespace
}  // namespace zentrel
