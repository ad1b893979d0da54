// The import and export commands run through the dispatcher with a fake
// person, and the script answers for files and the clipboard.

#include "app/commands/io_commands.h"

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/commands/dispatch.h"
#include "app/dialogs/file_type_dialog.h"
#include "app/script/script_runner.h"
#include "fake_ui.h"
#include "io/fsdata.h"
#include "io/io_test_support.h"
#include "model/document.h"

namespace zentrel {
namespace {

using testing::FakeUi;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

class IoCommands : public ::testing::Test {
 protected:
  // Queues the file-type chooser's answer: a button id (2 is Cancel).
  void Choose(int buttonId) {
    ui.dialogAnswers.push_back([buttonId](DialogModel& dialog) {
      auto& chooser = dynamic_cast<FileTypeDialogModel&>(dialog);
      chooser.press(buttonId);
      return buttonId != 2;
    });
  }
  void AddSet(const char* name, std::vector<double> x, std::vector<double> y) {
    auto set = std::make_unique<Data_Set>();
    set->name = name;
    for (size_t i = 0; i < x.size(); ++i) set->SetValue(0, static_cast<int>(i), x[i]);
    for (size_t i = 0; i < y.size(); ++i) set->SetValue(1, static_cast<int>(i), y[i]);
    set->modified = false;
    doc.AppendSet(std::move(set));
  }
  // Runs the command; returns the failure it reported, empty when none.
  std::string Run(Cmd id) {
    std::string failure;
    const DispatchResult result = Dispatch(doc, ui, id, &failure);
    EXPECT_TRUE(result == DispatchResult::Done || result == DispatchResult::Failed);
    EXPECT_EQ(result == DispatchResult::Failed, !failure.empty());
    return failure;
  }

  static constexpr int kFsdataButton = 5, kAsciiButton = 1001, kCsvButton = 3, kCancelButton = 2;
  CZentrelDoc doc;
  FakeUi ui;
  TempDir dir;
};

TEST_F(IoCommands, ImportDataReadsTheChosenKindAndAutoscales) {
  WriteBytes(dir.file("decay.txt"), "% measured\n1 10\n3 30\n");
  Choose(kAsciiButton);
  ui.fileAnswers.push_back(dir.file("decay.txt"));
  Run(Cmd::ImportData);
  ASSERT_EQ(doc.SetCount(), 1);
  const Data_Set& set = *doc.sets[0];
  EXPECT_EQ(set.name, "decay.txt");
  EXPECT_EQ(set.comment, " measured\r\n");
  EXPECT_EQ(set.color, 0u);
  EXPECT_EQ(doc.statusText, "File Opened: 2 points, 2 columns");
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(doc.undoAvailable, 1);
  EXPECT_EQ(ui.redraws, 1);
  EXPECT_DOUBLE_EQ(doc.graph.xMin, 0.9);
  EXPECT_DOUBLE_EQ(doc.graph.xMax, 3.1);
  ASSERT_EQ(ui.dialogsShown, (std::vector<std::string>{"Select a File type"}));
  ASSERT_EQ(ui.fileDialogsShown.size(), 1u);
  const FileDialogRequest& request = ui.fileDialogsShown[0].request;
  EXPECT_EQ(ui.fileDialogsShown[0].kind, FakeUi::ShownFileDialog::Open);
  EXPECT_EQ(request.filter, "ASCII Text Files (*.txt);;All Files (*)");
  EXPECT_EQ(request.initialName, "*.txt");
  EXPECT_EQ(request.defaultExtension, "txt");

  Choose(kCsvButton);
  ui.fileAnswers.push_back(dir.file("missing.csv"));
  EXPECT_EQ(Run(Cmd::ImportData), "Couldn't open file missing.csv: no such file");
  EXPECT_EQ(doc.statusText, "Couldn't open file missing.csv: no such file");
  EXPECT_EQ(doc.SetCount(), 1);
  EXPECT_EQ(ui.redraws, 2);
  EXPECT_EQ(ui.fileDialogsShown[1].request.filter, "CSV Text Files (*.csv);;All Files (*)");
  EXPECT_EQ(ui.fileDialogsShown[1].request.initialName, "default.csv");
}

TEST_F(IoCommands, CancelEndsImportWithoutMessageOrRedrawButAfterTheSnapshot) {
  Choose(kCancelButton);
  Run(Cmd::ImportData);
  Choose(kFsdataButton);
  ui.fileAnswers.push_back(std::nullopt);
  Run(Cmd::ImportData);
  EXPECT_EQ(ui.fileDialogsShown.size(), 1u);
  EXPECT_EQ(ui.fileDialogsShown[0].request.filter, "FSdata Files (*.dat);;All Files (*)");
  EXPECT_EQ(ui.fileDialogsShown[0].request.initialName, "default.dat");
  EXPECT_EQ(doc.SetCount(), 0);
  EXPECT_EQ(doc.statusText, "");
  EXPECT_EQ(ui.redraws, 0);
  EXPECT_EQ(doc.undoAvailable, 1);
  EXPECT_FALSE(doc.IsModified());
}

TEST_F(IoCommands, ShortFsdataFileSaysHowManyPointsItHeld) {
  Data_Set source;
  for (int i = 0; i < 4; ++i) source.SetValue(0, i, i), source.SetValue(1, i, 10 + i);
  WriteBytes(dir.file("short.dat"), FsdataBytes(source).substr(0, 612 + 8 + 8));
  Choose(kFsdataButton);
  ui.fileAnswers.push_back(dir.file("short.dat"));
  Run(Cmd::ImportData);
  ASSERT_EQ(doc.SetCount(), 1);
  EXPECT_EQ(doc.sets[0]->PointCount(1), 2);
  EXPECT_EQ(doc.statusText, "File Opened: 2 points, 2 columns; the file holds only 2 of its 4 points");
}

TEST_F(IoCommands, MultipleFileImportingColoursAndCounts) {
  std::vector<std::string> paths;
  for (int i = 0; i < 12; ++i) {
    paths.push_back(dir.file("f" + std::to_string(i) + ".txt"));
    WriteBytes(paths.back(), std::to_string(i) + " 1\n" + std::to_string(i + 1) + " 2\n");
  }
  Choose(kAsciiButton);
  ui.multiFileAnswers.push_back(paths);
  Run(Cmd::MultipleFileImporting);
  ASSERT_EQ(doc.SetCount(), 12);
  EXPECT_EQ(doc.statusText, "Opened 12 files");
  const auto colours = ImportColours();
  EXPECT_EQ(doc.sets[0]->color, 0x000000u);
  EXPECT_EQ(doc.sets[1]->color, 0x0000FFu);   // red
  EXPECT_EQ(doc.sets[7]->color, 0x0096FFu);   // 255, 150, 0
  EXPECT_EQ(doc.sets[9]->color, 0xFF0096u);   // 150, 0, 255
  EXPECT_EQ(doc.sets[10]->color, colours[0]);
  EXPECT_EQ(doc.sets[11]->name, "f11.txt");
  const FileDialogRequest& request = ui.fileDialogsShown[0].request;
  EXPECT_EQ(ui.fileDialogsShown[0].kind, FakeUi::ShownFileDialog::OpenMany);
  EXPECT_EQ(request.filter,
            "ASCII Text Files (*.txt);;Fsdata Files (*.dat);;Excel CSV Files (*.csv);;All Files (*)");
  EXPECT_EQ(request.initialName, "*.txt");
  EXPECT_EQ(request.defaultExtension, "");
  EXPECT_DOUBLE_EQ(doc.graph.xMax, 12 + 0.05 * 12);

  // A failure names the file; successful files still count for colours.
  doc.ResetDocument();
  Choose(kAsciiButton);
  ui.multiFileAnswers.push_back(std::vector<std::string>{paths[0], dir.file("gone.txt"), paths[1]});
  EXPECT_EQ(Run(Cmd::MultipleFileImporting), "Couldn't open file gone.txt: no such file");
  ASSERT_EQ(doc.SetCount(), 2);
  EXPECT_EQ(doc.sets[1]->color, 0x0000FFu);
  EXPECT_EQ(doc.statusText, "Couldn't open file gone.txt: no such file");

  Choose(kCancelButton);
  Run(Cmd::MultipleFileImporting);
  Choose(kFsdataButton);
  ui.multiFileAnswers.push_back(std::nullopt);
  Run(Cmd::MultipleFileImporting);
  EXPECT_EQ(ui.fileDialogsShown.back().request.initialName, "*.dat");
  EXPECT_EQ(doc.SetCount(), 2);
}

TEST_F(IoCommands, ExportDataWritesTheKindAndNamesTheSetAfterTheFile) {
  AddSet("P", {1, 2}, {0.5, 3e-07});
  Choose(kCsvButton);
  ui.fileAnswers.push_back(dir.file("p.csv"));
  Run(Cmd::ExportData);
  EXPECT_TRUE(ui.pickersShown.empty());  // the only set is taken
  EXPECT_EQ(ReadBytes(dir.file("p.csv")), "1,0.5 \n2,3e-07 ");
  EXPECT_EQ(doc.sets[0]->name, dir.file("p.csv"));
  EXPECT_FALSE(doc.sets[0]->modified);
  EXPECT_EQ(doc.statusText, "Data set written to " + dir.file("p.csv"));
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(doc.undoAvailable, 0);
  const auto& shown = ui.fileDialogsShown[0];
  EXPECT_EQ(shown.kind, FakeUi::ShownFileDialog::Save);
  EXPECT_EQ(shown.request.initialName, "P");
  EXPECT_EQ(shown.request.filter, "CSV Text Files (*.csv);;All Files (*)");
  EXPECT_TRUE(shown.request.overwritePrompt);
  EXPECT_TRUE(shown.request.hideReadOnly);

  AddSet("Q", {0, 0.5}, {1, 2});
  ui.pickAnswers = {1};
  Choose(kFsdataButton);
  ui.fileAnswers.push_back(dir.file("q.dat"));
  Run(Cmd::ExportData);
  EXPECT_EQ(ui.pickersShown.back().title, "Select a Set to Save");
  EXPECT_EQ(ReadBytes(dir.file("q.dat")).size(), 612u + 12);
}

TEST_F(IoCommands, ExportFailureIsReportedAndTheNameKept) {
  AddSet("P", {1}, {2});
  Choose(kAsciiButton);
  const std::string path = dir.file("no/such/folder/p.txt");
  ui.fileAnswers.push_back(path);
  EXPECT_EQ(Run(Cmd::ExportData), doc.statusText);
  EXPECT_EQ(doc.statusText.rfind("Couldn't write file " + path + ": cannot create a file beside ", 0), 0u)
      << doc.statusText;
  EXPECT_EQ(doc.sets[0]->name, "P");

  // Cancel at either question writes nothing, and is no failure.
  Choose(kCancelButton);
  EXPECT_EQ(Run(Cmd::ExportData), "");
  Choose(kAsciiButton);
  ui.fileAnswers.push_back(std::nullopt);
  EXPECT_EQ(Run(Cmd::ExportData), "");
  EXPECT_EQ(doc.sets[0]->name, "P");
  // Without sets nothing is asked.
  doc.ResetDocument();
  Run(Cmd::ExportData);
  EXPECT_EQ(ui.dialogsShown.size(), 3u);
}

TEST_F(IoCommands, EveryExportSaysWhatBecameOfIt) {
  AddSet("P", {1, 2}, {3, 4});
  const auto exportAs = [&](int button, const std::string& path) {
    ui.pickAnswers = {0};
    Choose(button);
    ui.fileAnswers.push_back(path);
    Run(Cmd::ExportData);
  };
  // A failure, then a success: the second message replaces the first.
  exportAs(kAsciiButton, dir.file("no/folder/p.txt"));
  EXPECT_EQ(doc.statusText.rfind("Couldn't write file " + dir.file("no/folder/p.txt") + ": ", 0), 0u);
  exportAs(kAsciiButton, dir.file("p.txt"));
  EXPECT_EQ(doc.statusText, "Data set written to " + dir.file("p.txt"));

  // FSdata says which of its limits the set exceeds; nothing is written and
  // the set keeps its name.
  auto wide = std::make_unique<Data_Set>();
  wide->name = "W";
  for (int i = 0; i < 3; ++i) wide->SetValue(0, i, i), wide->SetValue(1, i, 1.0);
  wide->SetValue(0, 3, 40000), wide->SetValue(1, 3, 1.0);  // spacing 1: an x code of 40000
  doc.AppendSet(std::move(wide));
  auto many = std::make_unique<Data_Set>();
  many->name = "M";
  for (int i = 0; i <= kFsdataMaxPoints; ++i) many->SetValue(0, i, i), many->SetValue(1, i, 1.0);
  doc.AppendSet(std::move(many));
  struct Case {
    int set;
    const char* reason;
  };
  const Case refusals[] = {
    {1, "x beyond the 16-bit range of FSdata (x / spacing outside -32768 to 32767)"},
    {2, "FSdata holds at most 5359 points, the set has 5360"},
  };
  for (const auto& c : refusals) {
    SCOPED_TRACE(c.reason);
    const std::string path = dir.file("r" + std::to_string(c.set) + ".dat");
    const std::string before = doc.sets[c.set]->name;
    ui.pickAnswers = {c.set};
    Choose(kFsdataButton);
    ui.fileAnswers.push_back(path);
    Run(Cmd::ExportData);
    EXPECT_EQ(doc.statusText, "Couldn't write file " + path + ": " + c.reason);
    EXPECT_EQ(doc.sets[c.set]->name, before);
    EXPECT_FALSE(std::filesystem::exists(path));
  }
}

TEST_F(IoCommands, AnEmptySetIsNotExportedNorRenamed) {
  auto empty = std::make_unique<Data_Set>();
  empty->name = "E";
  doc.AppendSet(std::move(empty));
  auto xOnly = std::make_unique<Data_Set>();
  xOnly->name = "X";
  xOnly->SetValue(0, 0, 1.0);
  doc.AppendSet(std::move(xOnly));
  struct Case {
    int set, button;
    const char* file;
    const char* reason;
  };
  const Case cases[] = {
    {0, kAsciiButton, "e.txt", "the set has no points"},
    {0, kCsvButton, "e.csv", "the set has no points"},
    {0, kFsdataButton, "e.dat", "the set has no points"},
    {1, kFsdataButton, "x.dat", "the set has no points with both x and y"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string before = doc.sets[c.set]->name;
    ui.pickAnswers = {c.set};
    Choose(c.button);
    ui.fileAnswers.push_back(dir.file(c.file));
    Run(Cmd::ExportData);
    EXPECT_EQ(doc.statusText, "Couldn't write file " + dir.file(c.file) + ": " + c.reason);
    EXPECT_EQ(doc.sets[c.set]->name, before);
    EXPECT_FALSE(std::filesystem::exists(dir.file(c.file)));
  }
}

TEST_F(IoCommands, CopyAndPasteThroughTheClipboard) {
  Run(Cmd::Paste);  // no text: nothing happens
  EXPECT_EQ(doc.SetCount(), 0);
  EXPECT_EQ(doc.statusText, "");

  AddSet("P", {0.1, 2}, {1.0 / 3, 4});
  Run(Cmd::Copy);
  EXPECT_EQ(ui.clipboard, "0.1\t0.3333333333333333\n2\t4");
  EXPECT_EQ(doc.statusText, "Data set copied");

  Run(Cmd::Paste);
  ASSERT_EQ(doc.SetCount(), 2);
  EXPECT_EQ(doc.sets[1]->name, "Unnamed");
  EXPECT_EQ(doc.sets[1]->GetValue(1, 0), 1.0 / 3);
  EXPECT_EQ(doc.statusText, "Data set pasted");
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(doc.undoAvailable, 0);
  EXPECT_EQ(ui.redraws, 1);

  ui.clipboard = "1 2\nnot data\n";
  Run(Cmd::Paste);
  EXPECT_EQ(doc.SetCount(), 2);
  EXPECT_EQ(doc.statusText, "Error in pasted data");

  // A set without points copies nothing and says nothing.
  doc.statusText.clear();
  ui.clipboard = "kept";
  auto empty = std::make_unique<Data_Set>();
  doc.AppendSet(std::move(empty));
  ui.pickAnswers = {2};
  Run(Cmd::Copy);
  EXPECT_EQ(ui.pickersShown.back().title, "Select a Set to copy data from");
  EXPECT_EQ(ui.clipboard, "kept");
  EXPECT_EQ(doc.statusText, "");
}

TEST_F(IoCommands, WaveImportTakesNoSnapshot) {
  const std::string wave = std::string("RIFF\x28\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x40\x1f\0\0\x01\0\x08\0", 36) +
                           std::string("data\x03\0\0\0\x00\x80\xff\0", 12);
  WriteBytes(dir.file("tone.wav"), wave);
  ui.fileAnswers.push_back(dir.file("tone.wav"));
  Run(Cmd::WaveImport);
  ASSERT_EQ(doc.SetCount(), 1);
  EXPECT_EQ(doc.sets[0]->name, "tone.wav");
  EXPECT_EQ(doc.sets[0]->GetValue(0, 2), 0.00025);
  EXPECT_EQ(doc.sets[0]->GetValue(1, 1), 128);
  EXPECT_EQ(doc.statusText, "File Opened: 3 points, 2 columns");
  EXPECT_EQ(doc.undoAvailable, 0);
  const FileDialogRequest& request = ui.fileDialogsShown[0].request;
  EXPECT_EQ(request.filter, "WAV Files (*.wav);;All Files (*)");
  EXPECT_EQ(request.initialName, "default.wav");
  EXPECT_EQ(request.defaultExtension, "wav");

  WriteBytes(dir.file("bad.wav"), wave.substr(0, 40));
  ui.fileAnswers.push_back(dir.file("bad.wav"));
  EXPECT_EQ(Run(Cmd::WaveImport), "Couldn't open file bad.wav: truncated WAV file (no data chunk)");
  EXPECT_EQ(doc.statusText, "Couldn't open file bad.wav: truncated WAV file (no data chunk)");
  EXPECT_EQ(doc.SetCount(), 1);
  EXPECT_EQ(ui.redraws, 2);
}

class IoScript : public ::testing::Test {
 protected:
  bool Run(const std::string& text, const std::string& scriptName = "test.zts") {
    std::istringstream in(text);
    ScriptRunner runner(doc, out, scriptName);
    const bool ok = runner.run(in);
    error = runner.error();
    return ok;
  }
  CZentrelDoc doc;
  std::ostringstream out;
  std::string error;
  TempDir dir;
};

TEST_F(IoScript, FileAnswersTypesAndTheScriptFolder) {
  WriteBytes(dir.file("a.txt"), "1 2\n");
  WriteBytes(dir.file("b.txt"), "3 4\n");
  const std::string script = dir.file("s.zts");
  ASSERT_TRUE(Run("import-data type=ascii file=${SCRIPT_DIR}/a.txt\n"
                  "multiple-file-importing type=csv files=${SCRIPT_DIR}/a.txt,${SCRIPT_DIR}/b.txt\n"
                  "export-data set=0 type=ascii file=\"" + dir.file("out.txt") + "\"\n",
                  script))
      << error;
  EXPECT_EQ(doc.SetCount(), 3);
  EXPECT_EQ(doc.statusText, "Data set written to " + dir.file("out.txt"));
  EXPECT_EQ(ReadBytes(dir.file("out.txt")), "1 2 ");

  EXPECT_FALSE(Run("import-data file=x.txt\n"));
  EXPECT_EQ(error, "test.zts:1: Select a File type: missing answer type=ascii|csv|fsdata|options");
  EXPECT_FALSE(Run("import-data type=text file=x.txt\n"));
  EXPECT_EQ(error, "test.zts:1: type=text: expected fsdata, ascii, csv or options");
  EXPECT_FALSE(Run("import-data type=csv\n"));
  EXPECT_EQ(error, "test.zts:1: missing answer file= for the open file dialog");
  EXPECT_FALSE(Run("multiple-file-importing type=csv files=a,,b\n"));
  EXPECT_EQ(error, "test.zts:1: files=a,,b holds an empty file name");
  EXPECT_TRUE(Run("import-data cancel\n")) << error;
}

TEST_F(IoScript, ClipboardLines) {
  ASSERT_TRUE(Run("print-clipboard\n"
                  "set-clipboard text=\"1 2 -0.5\\n3 4 0.25\\n\"\n"
                  "paste\n"
                  "copy set=0\n"
                  "print-clipboard\n"
                  "set-clipboard\n"
                  "paste\n"))
      << error;
  EXPECT_EQ(out.str(), "1\t2\t0.5\n3\t4\t0.25\n");
  EXPECT_EQ(doc.SetCount(), 1);
}

}  // namespace
}  // namespace zentrel
