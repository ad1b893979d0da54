// Files dropped on the window: graph files open as Open opens them, others
// import as Import Data does, in the order dropped, with the same questions.

#include "app/commands/file_drop.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/dialogs/file_type_dialog.h"
#include "fake_ui.h"
#include "io/graph_file.h"
#include "io/io_test_support.h"
#include "model/document.h"
#include "util/atomic_file.h"
#include "set_names.h"

namespace zentrel {
namespace {

using testing::FakeUi;
using testing::TempDir;
using testing::WriteBytes;

constexpr int kAsciiButton = 1001, kCancelButton = 2;

class FileDrop : public ::testing::Test {
 protected:
  void Choose(int buttonId) {
    ui.dialogAnswers.push_back([buttonId](DialogModel& dialog) {
      dynamic_cast<FileTypeDialogModel&>(dialog).press(buttonId);
      return buttonId != kCancelButton;
    });
  }
  std::string WriteGraph(const std::string& file, const char* setName) {
    CZentrelDoc other;
    auto set = std::make_unique<Data_Set>();
    set->name = setName;
    set->SetValue(0, 0, 1), set->SetValue(1, 0, 2);
    other.AppendSet(std::move(set));
    const std::vector<std::uint8_t> bytes = GraphFileBytes(other);
    const std::string path = dir.file(file);
    EXPECT_TRUE(WriteFileAtomically(path, {reinterpret_cast<const char*>(bytes.data()), bytes.size()}).empty());
    return path;
  }
  std::vector<std::string> Names() const { return testing::SetNames(doc); }
  TempDir dir;
  CZentrelDoc doc;
  FakeUi ui;
};

TEST(FileDropNames, GraphFilesByTheirExtension) {
  for (const char* graph : {"a.ztl", "/d/B.ZTL", "c:\\x\\y.Ztl"}) EXPECT_TRUE(IsGraphFileName(graph)) << graph;
  for (const char* data : {"a.txt", "ztl", "/d.ztl/file", "a.ztl.txt", "a.ztlx", ""})
    EXPECT_FALSE(IsGraphFileName(data)) << data;
}

TEST_F(FileDrop, GraphThenDataFilesInTheOrderDropped) {
  // The graph replaces the document (asking to save it first), then each
  // data file asks its file type and is added to the opened graph.
  doc.SetModifiedFlag();
  ui.saveChangesAnswers.push_back(false);
  WriteBytes(dir.file("one.txt"), "1 10\n2 20\n");
  WriteBytes(dir.file("two.txt"), "1 5\n2 6\n");
  Choose(kAsciiButton);
  Choose(kAsciiButton);
  OpenDroppedFiles(doc, ui, {WriteGraph("g.ztl", "from graph"), dir.file("one.txt"), dir.file("two.txt")});
  EXPECT_EQ(ui.saveChangesAsked, std::vector<std::string>{"Untitled"});
  EXPECT_EQ(Names(), (std::vector<std::string>{"from graph", "one.txt", "two.txt"}));
  EXPECT_EQ(ui.dialogsShown, (std::vector<std::string>{"Select a File type", "Select a File type"}));
  // No file dialog was shown: the dropped names answered them.
  EXPECT_TRUE(ui.fileDialogsShown.empty());
  EXPECT_EQ(doc.pathName, dir.file("g.ztl"));
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(doc.undoAvailable, 1);
}

TEST_F(FileDrop, ACancelledQuestionSkipsOnlyItsFile) {
  WriteBytes(dir.file("one.txt"), "1 10\n");
  WriteBytes(dir.file("two.txt"), "1 5\n");
  Choose(kCancelButton);
  Choose(kAsciiButton);
  OpenDroppedFiles(doc, ui, {dir.file("one.txt"), dir.file("two.txt")});
  EXPECT_EQ(Names(), std::vector<std::string>{"two.txt"});

  // Cancel at "Save changes?" keeps the document and goes on with the rest.
  ui.saveChangesAnswers.push_back(std::nullopt);
  Choose(kAsciiButton);
  OpenDroppedFiles(doc, ui, {WriteGraph("g.ztl", "other"), dir.file("one.txt")});
  EXPECT_EQ(Names(), (std::vector<std::string>{"two.txt", "one.txt"}));
  EXPECT_TRUE(doc.pathName.empty());
}

TEST_F(FileDrop, AnUnreadableGraphLeavesTheDocumentAsItWas) {
  WriteBytes(dir.file("bad.ztl"), "not a graph");
  WriteBytes(dir.file("one.txt"), "1 10\n");
  Choose(kAsciiButton);
  ui.saveChangesAnswers.push_back(false);
  OpenDroppedFiles(doc, ui, {dir.file("one.txt"), dir.file("bad.ztl")});
  EXPECT_EQ(Names(), std::vector<std::string>{"one.txt"});
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_TRUE(doc.pathName.empty());
  EXPECT_TRUE(doc.IsModified());
}

}  // namespace
}  // namespace zentrel
