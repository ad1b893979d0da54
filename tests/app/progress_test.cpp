// Long file operations report progress, and Cancel leaves the document and
// the files on disk as they were.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/commands/dispatch.h"
#include "app/dialogs/file_type_dialog.h"
#include "fake_ui.h"
#include "io/io_test_support.h"
#include "model/document.h"

namespace zentrel {
namespace {

using testing::FakeUi;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

constexpr int kAsciiButton = 1001;

// About 2.6 MB of text: several reading blocks, so several reports.
std::string LongText() {
  std::string text;
  for (int i = 0; i < 200000; ++i) text += std::to_string(i) + " " + std::to_string(i % 97) + "\n";
  return text;
}

class Progress : public ::testing::Test {
 protected:
  void ChooseAscii() {
    ui.dialogAnswers.push_back([](DialogModel& dialog) {
      dynamic_cast<FileTypeDialogModel&>(dialog).press(kAsciiButton);
      return true;
    });
  }
  void Run(Cmd id) { ASSERT_EQ(Dispatch(doc, ui, id), DispatchResult::Done); }
  // Imports the long text, uncancelled, as set 0.
  void ImportLong() {
    WriteBytes(dir.file("long.txt"), LongText());
    ChooseAscii();
    ui.fileAnswers.push_back(dir.file("long.txt"));
    Run(Cmd::ImportData);
    ASSERT_EQ(doc.SetCount(), 1);
  }

  CZentrelDoc doc;
  FakeUi ui;
  TempDir dir;
};

TEST_F(Progress, ImportReportsAndCancelAddsNothing) {
  ImportLong();
  EXPECT_EQ(doc.sets[0]->PointCount(0), 200000);
  EXPECT_GE(ui.progressReports, 2);
  EXPECT_EQ(ui.progressLabels.back(), "Importing long.txt...");
  EXPECT_EQ(ui.progressOpen, 0);

  doc.SetModifiedFlag(false);
  ui.progressReports = 0;
  ui.cancelProgressAfter = 1;
  ChooseAscii();
  ui.fileAnswers.push_back(dir.file("long.txt"));
  Run(Cmd::ImportData);
  EXPECT_EQ(doc.SetCount(), 1);
  EXPECT_EQ(doc.statusText, "Import cancelled");
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(ui.progressOpen, 0);
}

TEST_F(Progress, CancelDuringMultipleImportAddsNoneOfTheFiles) {
  WriteBytes(dir.file("short.txt"), "1 2\n3 4\n");
  WriteBytes(dir.file("long.txt"), LongText());
  ui.cancelProgressAfter = 2;
  ChooseAscii();
  ui.multiFileAnswers.push_back(std::vector<std::string>{dir.file("short.txt"), dir.file("long.txt")});
  Run(Cmd::MultipleFileImporting);
  EXPECT_EQ(doc.SetCount(), 0);
  EXPECT_EQ(doc.statusText, "Import cancelled");
  EXPECT_EQ(ui.progressOpen, 0);
}

TEST_F(Progress, CancelledSaveKeepsThePreviousFileAndTheModifiedMark) {
  ImportLong();
  const std::string target = dir.file("graph.ztl");
  WriteBytes(target, "previous contents");
  ui.cancelProgressAfter = ui.progressReports + 1;
  ui.fileAnswers.push_back(target);
  Run(Cmd::SaveAs);
  EXPECT_EQ(ReadBytes(target), "previous contents");
  EXPECT_TRUE(doc.IsModified());
  EXPECT_TRUE(doc.pathName.empty());
  EXPECT_TRUE(ui.messages.empty()) << "a cancelled save is no failure to report";
  EXPECT_EQ(ui.progressOpen, 0);
  // No temporary file is left beside it.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) files += entry.is_regular_file();
  EXPECT_EQ(files, 2);  // long.txt and graph.ztl
}

TEST_F(Progress, CancelledOpenLeavesTheDocumentAlone) {
  ImportLong();
  ui.fileAnswers.push_back(dir.file("graph.ztl"));
  Run(Cmd::SaveAs);
  ASSERT_FALSE(doc.IsModified());
  doc.sets[0]->name = "kept";

  ui.cancelProgressAfter = ui.progressReports + 1;
  ui.fileAnswers.push_back(dir.file("graph.ztl"));
  Run(Cmd::Open);
  ASSERT_EQ(doc.SetCount(), 1);
  EXPECT_EQ(doc.sets[0]->name, "kept");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ui.progressOpen, 0);

  ui.cancelProgressAfter = -1;
  ui.fileAnswers.push_back(dir.file("graph.ztl"));
  Run(Cmd::Open);
  EXPECT_EQ(doc.sets[0]->name, "long.txt");
  EXPECT_EQ(doc.sets[0]->PointCount(1), 200000);
}

TEST_F(Progress, CancelledExportWritesNothingAndKeepsTheSet) {
  ImportLong();
  doc.sets[0]->modified = false;
  const std::string target = dir.file("out.txt");
  WriteBytes(target, "previous export");
  ui.cancelProgressAfter = ui.progressReports + 1;
  ChooseAscii();
  ui.fileAnswers.push_back(target);
  Run(Cmd::ExportData);
  EXPECT_EQ(ReadBytes(target), "previous export");
  EXPECT_EQ(doc.sets[0]->name, "long.txt");
  EXPECT_FALSE(doc.sets[0]->modified);
  EXPECT_EQ(doc.statusText, "Export cancelled");
  EXPECT_EQ(ui.progressOpen, 0);

  ui.cancelProgressAfter = -1;
  ChooseAscii();
  ui.fileAnswers.push_back(target);
  Run(Cmd::ExportData);
  EXPECT_EQ(doc.sets[0]->name, target);
  EXPECT_EQ(ReadBytes(target).substr(0, 6), "0 0 \n1");
  EXPECT_EQ(ui.progressLabels.back(), "Writing out.txt...");
}

}  // namespace
}  // namespace zentrel
