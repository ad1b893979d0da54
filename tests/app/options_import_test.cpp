// Import Data and Multiple File Importing with "Options...": the person
// confirms the proposed options, each y column becomes a set, Cancel at
// any step adds nothing, and the confirmed options are proposed next time.

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/commands/dispatch.h"
#include "app/dialogs/file_type_dialog.h"
#include "app/dialogs/import_options_dialog.h"
#include "app/remembered_import.h"
#include "app/script/script_runner.h"
#include "fake_ui.h"
#include "io/io_test_support.h"
#include "model/document.h"
#include "set_names.h"

namespace zentrel {
namespace {

using testing::Column;
using testing::FakeUi;
using testing::SetNames;
using testing::TempDir;
using testing::WriteBytes;

constexpr int kOptionsButton = 1002, kCancelButton = 2;
constexpr const char* kSemicolonFile = "t;a;b\n1,0;2,5;3,5\n2,0;4,5;-5,5\n";

class OptionsImport : public ::testing::Test {
 protected:
  void Choose(int buttonId) {
    ui.dialogAnswers.push_back([buttonId](DialogModel& dialog) {
      dynamic_cast<FileTypeDialogModel&>(dialog).press(buttonId);
      return buttonId != kCancelButton;
    });
  }
  // Queues the Import Options answer: `edit` sees the proposed options and
  // may change them; OK when it returns true.
  void Confirm(std::function<bool(ImportOptionsDialogModel&)> edit) {
    ui.dialogAnswers.push_back([edit](DialogModel& dialog) {
      auto& options = dynamic_cast<ImportOptionsDialogModel&>(dialog);
      return edit(options) && !options.validate();
    });
  }
  std::string Run(Cmd id) {
    std::string failure;
    Dispatch(doc, ui, id, &failure);
    return failure;
  }
  std::string File(const char* name, const std::string& text) {
    WriteBytes(dir.file(name), text);
    return dir.file(name);
  }

  CZentrelDoc doc;
  FakeUi ui;
  TempDir dir;
};

TEST_F(OptionsImport, SeveralYColumnsBecomeSetsSharingX) {
  Choose(kOptionsButton);
  ui.fileAnswers.push_back(File("semi.csv", kSemicolonFile));
  ImportOptions proposed;
  Confirm([&](ImportOptionsDialogModel& dialog) {
    proposed = dialog.options;
    EXPECT_EQ(dialog.fileName(), "semi.csv");
    dialog.options.yColumns = {2, 3};
    return true;
  });
  EXPECT_EQ(Run(Cmd::ImportData), "");
  // What detection saw in the file is what the dialog opened with.
  EXPECT_EQ(proposed.delimiter, FieldDelimiter::Semicolon);
  EXPECT_EQ(proposed.decimal, DecimalMark::Comma);
  EXPECT_TRUE(proposed.header);

  EXPECT_EQ(SetNames(doc), (std::vector<std::string>{"semi.csv: a", "semi.csv: b"}));
  for (const auto& set : doc.sets) EXPECT_EQ(Column(*set, 0), (std::vector<double>{1.0, 2.0}));
  EXPECT_EQ(Column(*doc.sets[0], 1), (std::vector<double>{2.5, 4.5}));
  EXPECT_EQ(Column(*doc.sets[1], 1), (std::vector<double>{3.5, -5.5}));
  EXPECT_EQ(doc.sets[0]->color, 0u);
  EXPECT_EQ(doc.statusText, "File Opened: 2 points, 3 columns; 2 sets");
  EXPECT_EQ(ui.dialogsShown, (std::vector<std::string>{"Select a File type", "Import Options"}));
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(doc.undoAvailable, 1);
  EXPECT_EQ(ui.redraws, 1);
  // Autoscaled to both sets: x 1 to 2, y -5.5 to 4.5, with margins.
  EXPECT_DOUBLE_EQ(doc.graph.xMin, 0.95);
  EXPECT_DOUBLE_EQ(doc.graph.xMax, 2.05);
  EXPECT_DOUBLE_EQ(doc.graph.yMin, -6.0);
  EXPECT_DOUBLE_EQ(doc.graph.yMax, 5.0);
  EXPECT_EQ(ui.progressLabels, (std::vector<std::string>{"Importing semi.csv..."}));
  EXPECT_EQ(ui.progressOpen, 0);
}

TEST_F(OptionsImport, CancelAtEachStepAddsAndRemembersNothing) {
  const std::string path = File("semi.csv", kSemicolonFile);
  Choose(kCancelButton);
  Run(Cmd::ImportData);
  Choose(kOptionsButton);
  ui.fileAnswers.push_back(std::nullopt);
  Run(Cmd::ImportData);
  Choose(kOptionsButton);
  ui.fileAnswers.push_back(path);
  Confirm([](ImportOptionsDialogModel& dialog) {
    dialog.options.yColumns = {3};
    return false;
  });
  Run(Cmd::ImportData);
  Choose(kOptionsButton);
  ui.multiFileAnswers.push_back(std::vector<std::string>{path, path});
  Confirm([](ImportOptionsDialogModel&) { return false; });
  Run(Cmd::MultipleFileImporting);

  EXPECT_EQ(doc.SetCount(), 0);
  EXPECT_EQ(doc.statusText, "");
  EXPECT_EQ(ui.redraws, 0);
  EXPECT_FALSE(doc.IsModified());
  EXPECT_FALSE(RememberedImportOptions(doc).has_value());
  EXPECT_TRUE(ui.progressLabels.empty());
}

TEST_F(OptionsImport, CancelWhileReadingAddsNothing) {
  std::string text = "x;y\n";
  for (int i = 0; i < 200000; ++i) text += std::to_string(i) + ";" + std::to_string(i % 97) + ",5\n";
  const std::string path = File("long.csv", text);
  ui.cancelProgressAfter = 1;
  Choose(kOptionsButton);
  ui.fileAnswers.push_back(path);
  Confirm([](ImportOptionsDialogModel&) { return true; });
  EXPECT_EQ(Run(Cmd::ImportData), "");
  EXPECT_EQ(doc.SetCount(), 0);
  EXPECT_EQ(doc.statusText, "Import cancelled");
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(ui.progressOpen, 0);
}

TEST_F(OptionsImport, FailuresSayWhichFileAndWhy) {
  // A file that cannot be read is told before any dialog.
  Choose(kOptionsButton);
  ui.fileAnswers.push_back(dir.file("missing.csv"));
  EXPECT_EQ(Run(Cmd::ImportData), "Couldn't open file missing.csv: no such file");
  EXPECT_EQ(ui.dialogsShown, (std::vector<std::string>{"Select a File type"}));

  // Binary bytes are told as the plain import tells them, before any dialog.
  Choose(kOptionsButton);
  ui.fileAnswers.push_back(File("bin.txt", std::string("1 2\n\0\x01", 6)));
  EXPECT_EQ(Run(Cmd::ImportData), "Couldn't open file bin.txt: binary data (NUL bytes), not text");
  EXPECT_EQ(ui.dialogsShown.size(), 2u);

  // A file with no numbers where the options look: no set, and why.
  Choose(kOptionsButton);
  ui.fileAnswers.push_back(File("words.txt", "alpha beta\ngamma delta\n"));
  Confirm([](ImportOptionsDialogModel& dialog) {
    dialog.options.header = false;
    return true;
  });
  const std::string failure = Run(Cmd::ImportData);
  EXPECT_EQ(failure.rfind("Couldn't open file words.txt: ", 0), 0u) << failure;
  EXPECT_EQ(doc.statusText, failure);
  EXPECT_EQ(doc.SetCount(), 0);
}

TEST_F(OptionsImport, MultipleFilesShareTheOptionsOfTheFirstFilesPreview) {
  const std::string first = File("first.csv", kSemicolonFile);
  const std::string second = File("second.csv", "t;a;b\n5,0;1,0;2,0\n");
  Choose(kOptionsButton);
  ui.multiFileAnswers.push_back(std::vector<std::string>{dir.file("gone.csv"), first, second});
  Confirm([](ImportOptionsDialogModel& dialog) {
    EXPECT_EQ(dialog.fileName(), "first.csv");  // the first that could be read
    EXPECT_EQ(dialog.preview().columnNames, (std::vector<std::string>{"t", "a", "b"}));
    dialog.options.yColumns = {2, 3};
    return true;
  });
  EXPECT_EQ(Run(Cmd::MultipleFileImporting), "Couldn't open file gone.csv: no such file");
  EXPECT_EQ(ui.dialogsShown, (std::vector<std::string>{"Select a File type", "Import Options"}));
  EXPECT_EQ(SetNames(doc), (std::vector<std::string>{"first.csv: a", "first.csv: b", "second.csv: a",
                                                     "second.csv: b"}));
  // Colours go round per set, as for one set per file.
  std::vector<std::uint32_t> colours;
  for (const auto& set : doc.sets) colours.push_back(set->color);
  EXPECT_EQ(colours, (std::vector<std::uint32_t>{0x000000, 0x0000FF, 0x00FF00, 0xFF0000}));
  EXPECT_EQ(Column(*doc.sets[3], 1), (std::vector<double>{2.0}));
  EXPECT_EQ(ui.fileDialogsShown[0].request.initialName, "");

  // Files, not sets, are counted.
  Choose(kOptionsButton);
  ui.multiFileAnswers.push_back(std::vector<std::string>{first, second});
  Confirm([](ImportOptionsDialogModel&) { return true; });
  EXPECT_EQ(Run(Cmd::MultipleFileImporting), "");
  EXPECT_EQ(doc.statusText, "Opened 2 files");
  EXPECT_EQ(doc.SetCount(), 8);

  // None of the files can be read: nothing to preview, nothing asked.
  Choose(kOptionsButton);
  ui.multiFileAnswers.push_back(std::vector<std::string>{dir.file("a.csv"), dir.file("b.csv")});
  EXPECT_EQ(Run(Cmd::MultipleFileImporting), "Couldn't open file a.csv: no such file");
  EXPECT_EQ(doc.SetCount(), 8);
  EXPECT_EQ(ui.dialogsShown.size(), 5u);
}

TEST_F(OptionsImport, ConfirmedOptionsAreProposedForTheNextFileThatTheySuit) {
  const std::string semicolon = File("one.csv", kSemicolonFile);
  Choose(kOptionsButton);
  ui.fileAnswers.push_back(semicolon);
  Confirm([](ImportOptionsDialogModel& dialog) {
    dialog.options.yColumns = {3};
    dialog.options.comment = '#';
    return true;
  });
  Run(Cmd::ImportData);
  ASSERT_TRUE(RememberedImportOptions(doc));
  EXPECT_EQ(RememberedImportOptions(doc)->yColumns, std::vector<int>{3});
  EXPECT_EQ(SetNames(doc), std::vector<std::string>{"one.csv: b"});

  // The same kind of file: the remembered column again.
  Choose(kOptionsButton);
  ui.fileAnswers.push_back(File("two.csv", "t;a;b\n7,0;8,0;9,0\n8,0;8,5;9,5\n"));
  ImportOptions proposed;
  Confirm([&](ImportOptionsDialogModel& dialog) {
    proposed = dialog.options;
    return true;
  });
  Run(Cmd::ImportData);
  EXPECT_EQ(proposed.yColumns, std::vector<int>{3});
  EXPECT_EQ(proposed.comment, '#');
  EXPECT_EQ(Column(*doc.sets[1], 1), (std::vector<double>{9.0, 9.5}));

  // A whitespace file of two columns: the remembered layout and column 3
  // read nothing there, so detection's proposal stands.
  Choose(kOptionsButton);
  ui.fileAnswers.push_back(File("plain.txt", "1.5 2.5\n3.5 4.5\n"));
  Confirm([&](ImportOptionsDialogModel& dialog) {
    proposed = dialog.options;
    return true;
  });
  Run(Cmd::ImportData);
  EXPECT_NE(proposed.delimiter, FieldDelimiter::Semicolon);
  EXPECT_EQ(proposed.decimal, DecimalMark::Point);
  EXPECT_EQ(proposed.yColumns, std::vector<int>{2});
  EXPECT_EQ(Column(*doc.sets[2], 1), (std::vector<double>{2.5, 4.5}));

  // New keeps them, as the window keeps its other settings.
  doc.ResetDocument();
  EXPECT_EQ(RememberedImportOptions(doc)->yColumns, std::vector<int>{2});
}

TEST_F(OptionsImport, ExportOffersNoOptions) {
  FileTypeDialogModel exporting(FileTypeUse::Export), importing;
  std::vector<int> exportIds, importIds;
  for (const auto& button : exporting.buttons()) exportIds.push_back(button.controlId);
  for (const auto& button : importing.buttons()) importIds.push_back(button.controlId);
  EXPECT_EQ(exportIds, (std::vector<int>{5, 1001, 3, 2}));
  EXPECT_EQ(importIds, (std::vector<int>{5, 1001, 3, kOptionsButton, 2}));
  EXPECT_STREQ(importing.buttons()[3].caption, "Options...");
  exporting.press(kOptionsButton);
  EXPECT_EQ(exporting.result, FileKind::None);
  importing.press(kOptionsButton);
  EXPECT_EQ(importing.result, FileKind::Options);
}

class OptionsScript : public ::testing::Test {
 protected:
  // `${SCRIPT_DIR}` in `text` stands for the test's folder.
  bool Run(std::string text) {
    for (std::size_t at = text.find("${SCRIPT_DIR}"); at != std::string::npos; at = text.find("${SCRIPT_DIR}"))
      text.replace(at, 13, dir.path().string());
    std::istringstream in(text);
    ScriptRunner runner(doc, out, "test.zts");
    const bool ok = runner.run(in);
    error = runner.error();
    return ok;
  }
  CZentrelDoc doc;
  TempDir dir;
  std::ostringstream out;
  std::string error;
};

TEST_F(OptionsScript, KeysOverrideTheProposalAndBadAnswersFailTheLine) {
  WriteBytes(dir.file("semi.csv"), kSemicolonFile);
  ASSERT_TRUE(Run("import-data type=options file=${SCRIPT_DIR}/semi.csv y-column=3 x-column=row header=yes\n"))
      << error;
  ASSERT_EQ(SetNames(doc), std::vector<std::string>{"semi.csv: b"});
  EXPECT_EQ(Column(*doc.sets[0], 0), (std::vector<double>{0.0, 1.0}));
  EXPECT_EQ(Column(*doc.sets[0], 1), (std::vector<double>{3.5, -5.5}));

  struct Refused {
    const char* line;
    const char* error;
  };
  const Refused refusals[] = {
    {"import-data type=options file=${SCRIPT_DIR}/semi.csv delimiter=pipe",
     "test.zts:1: delimiter=pipe: expected auto, whitespace, comma, semicolon or tab"},
    {"import-data type=options file=${SCRIPT_DIR}/semi.csv decimal=dot", "test.zts:1: decimal=dot: expected point or comma"},
    {"import-data type=options file=${SCRIPT_DIR}/semi.csv skip=-1",
     "test.zts:1: skip=-1: expected a number of lines (0 or more)"},
    {"import-data type=options file=${SCRIPT_DIR}/semi.csv x-column=0",
     "test.zts:1: x-column=0: expected a column number (from 1) or row"},
    {"import-data type=options file=${SCRIPT_DIR}/semi.csv y-column=2,,3",
     "test.zts:1: y-column=2,,3: expected column numbers (from 1), separated by commas"},
    {"import-data type=options file=${SCRIPT_DIR}/semi.csv yerr-column=row",
     "test.zts:1: yerr-column=row: expected a column number (from 1) or none"},
    {"import-data type=options file=${SCRIPT_DIR}/semi.csv comment-char=ab",
     "test.zts:1: comment-char=ab: expected one printable ASCII character or none"},
    {"import-data type=options file=${SCRIPT_DIR}/semi.csv header=maybe", "test.zts:1: header=maybe: expected yes or no"},
    {"import-data type=options file=${SCRIPT_DIR}/semi.csv y-column=7",
     "test.zts:1: Import Options: column 7 is beyond the 3 columns of the file's first rows"},
    {"export-data set=0 type=options file=out.csv",
     "test.zts:1: type=options: Options... is for imports only: expected fsdata, ascii or csv"},
  };
  for (const Refused& refused : refusals) {
    EXPECT_FALSE(Run(std::string(refused.line) + "\n")) << refused.line;
    EXPECT_EQ(error, refused.error);
  }
  EXPECT_EQ(doc.SetCount(), 1);
}

}  // namespace
}  // namespace zentrel
