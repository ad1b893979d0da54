// New, Open, Save, Save As and Import Graph through the dispatcher with a
// fake person, on real files in a temporary folder.

#include "app/commands/file_commands.h"

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/commands/dispatch.h"
#include "fake_ui.h"
#include "io/io_test_support.h"
#include "model/document.h"
#include "model/fit.h"
#include "io/graph_file.h"
#include "util/atomic_file.h"
#include "set_names.h"

namespace zentrel {
namespace {

std::string WriteGraphBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  return WriteFileAtomically(path, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

using testing::FakeUi;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

class FileCommands : public ::testing::Test {
 protected:
  Data_Set& AddSet(CZentrelDoc& into, const std::string& name, double y0) {
    auto set = std::make_unique<Data_Set>();
    set->name = name;
    for (int i = 0; i < 5; ++i) set->SetValue(0, i, i), set->SetValue(1, i, y0 - i);
    return into.AppendSet(std::move(set));
  }
  // Writes a graph file holding sets named `names`.
  std::string WriteGraph(const std::string& file, std::initializer_list<const char*> names) {
    CZentrelDoc other;
    for (const char* name : names) AddSet(other, name, 10);
    const std::string path = dir.file(file);
    EXPECT_TRUE(WriteGraphBytes(path, GraphFileBytes(other)).empty());
    return path;
  }
  // Runs the command; returns the failure it reported, empty when none.
  std::string Run(Cmd id) {
    std::string failure;
    const DispatchResult result = Dispatch(doc, ui, id, &failure);
    EXPECT_EQ(result == DispatchResult::Failed, !failure.empty());
    EXPECT_TRUE(result == DispatchResult::Done || result == DispatchResult::Failed);
    return failure;
  }
  std::vector<std::string> Names() const { return testing::SetNames(doc); }

  TempDir dir;
  CZentrelDoc doc;
  FakeUi ui;
};

TEST_F(FileCommands, SaveAsWritesTheFileAndTheDocumentTakesItsName) {
  AddSet(doc, "/data/run1.txt", 10);
  doc.SetModifiedFlag();
  const std::string path = dir.file("graph.ztl");
  ui.fileAnswers.push_back(path);
  Run(Cmd::SaveAs);
  const auto& shown = ui.fileDialogsShown.at(0);
  EXPECT_EQ(shown.kind, FakeUi::ShownFileDialog::Save);
  EXPECT_EQ(shown.request.filter, "Zentrel Files(*.ZTL);;All Files (*.*)");
  EXPECT_EQ(shown.request.defaultExtension, "ZTL");
  EXPECT_EQ(shown.request.initialName, "Untitled.ZTL");
  EXPECT_TRUE(shown.request.overwritePrompt);
  EXPECT_EQ(doc.pathName, path);
  EXPECT_EQ(doc.Title(), "graph.ztl");
  EXPECT_EQ(doc.Caption(), "graph.ztl - Zentrel");
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(Names(), std::vector<std::string>{"run1.txt"});
  EXPECT_FALSE(doc.sets[0]->modified);
  const std::string bytes = ReadBytes(path);
  const auto expected = GraphFileBytes(doc);
  EXPECT_EQ(bytes, std::string(expected.begin(), expected.end()));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);  // no temporary left
}

TEST_F(FileCommands, SaveUsesTheDocumentsFileAndAsksOnlyWhenUntitled) {
  AddSet(doc, "P", 10);
  ui.fileAnswers.push_back(dir.file("a.ztl"));
  Run(Cmd::Save);  // untitled: Save As
  ASSERT_EQ(ui.fileDialogsShown.size(), 1u);
  AddSet(doc, "Q", 5);
  doc.SetModifiedFlag();
  Run(Cmd::Save);
  EXPECT_EQ(ui.fileDialogsShown.size(), 1u);
  EXPECT_FALSE(doc.IsModified());
  CZentrelDoc back;
  const auto bytes = ReadBytes(dir.file("a.ztl"));
  ASSERT_TRUE(LoadGraph(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), back).ok);
  EXPECT_EQ(back.SetCount(), 2);
}

// A save that cannot complete leaves the old file and the document as they were.
TEST_F(FileCommands, AFailedSaveChangesNothing) {
  AddSet(doc, "/x/P.txt", 10);
  doc.SetModifiedFlag();
  struct Case {
    const char* what;
    std::string path;
  };
  std::filesystem::create_directory(dir.file("occupied"));
  WriteBytes(dir.file("occupied/keep"), "keep");
  // Read-only even for the superuser: no write permission bit at all.
  WriteBytes(dir.file("read-only.ztl"), "keep");
  ASSERT_EQ(::chmod(dir.file("read-only.ztl").c_str(), 0444), 0);
  const Case cases[] = {
      {"missing folder", dir.file("no/such/folder/g.ztl")},
      {"a folder in the way", dir.file("occupied")},
      {"a read-only file", dir.file("read-only.ztl")},
  };
  for (const auto& c : cases) {
    ui.messages.clear();
    ui.fileAnswers.push_back(c.path);
    const std::string failure = Run(Cmd::SaveAs);
    ASSERT_EQ(ui.messages.size(), 1u) << c.what;
    EXPECT_EQ(failure, ui.messages[0]) << c.what;
    EXPECT_TRUE(failure.starts_with("Failed to save document.\n")) << failure;
    EXPECT_TRUE(doc.pathName.empty()) << c.what;
    EXPECT_TRUE(doc.IsModified()) << c.what;
    EXPECT_EQ(doc.sets[0]->name, "/x/P.txt") << c.what;
    EXPECT_TRUE(doc.sets[0]->modified) << c.what;
  }
  EXPECT_NE(ui.messages[0].find("read-only.ztl: permission denied"), std::string::npos) << ui.messages[0];
  EXPECT_EQ(ReadBytes(dir.file("occupied/keep")), "keep");
  EXPECT_EQ(ReadBytes(dir.file("read-only.ztl")), "keep");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);  // no temporary left
}

TEST_F(FileCommands, OpenReplacesTheDocument) {
  const std::string path = WriteGraph("two.ztl", {"A", "B"});
  AddSet(doc, "old", 1);
  doc.TakeUndoSnapshot();
  doc.statusText = "before";
  ui.fileAnswers.push_back(path);
  Run(Cmd::Open);
  EXPECT_EQ(ui.fileDialogsShown.at(0).request.filter, "Zentrel Files(*.ZTL);;All Files (*.*)");
  EXPECT_EQ(Names(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(doc.pathName, path);
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(doc.undoAvailable, 0);
  EXPECT_TRUE(doc.statusText.empty());
  EXPECT_EQ(ui.redraws, 1);
  EXPECT_TRUE(ui.saveChangesAsked.empty());  // nothing was modified
}

// Whatever goes wrong, the open document stays exactly as it was.
TEST_F(FileCommands, AFailedOpenLeavesTheDocumentAlone) {
  const std::string good = WriteGraph("good.ztl", {"A", "B"});
  auto bytes = ReadBytes(good);
  WriteBytes(dir.file("cut.ztl"), bytes.substr(0, bytes.size() - 40));
  WriteBytes(dir.file("garbage.ztl"), "this is not a graph");
  std::filesystem::create_directory(dir.file("folder.ztl"));
  // A pipe with no writer would block a plain open; a device never ends.
  ASSERT_EQ(::mkfifo(dir.file("pipe.ztl").c_str(), 0644), 0);
  struct Case {
    std::string path;
    std::string message;
  };
  const Case cases[] = {
      {dir.file("cut.ztl"), "Unexpected file format."},
      {dir.file("garbage.ztl"), "Unexpected file format."},
      {dir.file("folder.ztl"), "Failed to open document.\n" + dir.file("folder.ztl") + ": not a regular file"},
      {dir.file("pipe.ztl"), "Failed to open document.\n" + dir.file("pipe.ztl") + ": not a regular file"},
      {"/dev/zero", "Failed to open document.\n/dev/zero: not a regular file"},
      {dir.file("missing.ztl"),
       dir.file("missing.ztl") + "\nCannot find this file.\nPlease verify that the correct path and file name are given."},
  };
  AddSet(doc, "mine", 3);
  doc.pathName = "mine.ztl";
  doc.graph.title = "kept";
  for (const auto& c : cases) {
    ui.messages.clear();
    ui.fileAnswers.push_back(c.path);
    EXPECT_EQ(Run(Cmd::Open), c.message);
    EXPECT_EQ(ui.messages, std::vector<std::string>{c.message}) << c.path;
    EXPECT_EQ(Names(), std::vector<std::string>{"mine"}) << c.path;
    EXPECT_EQ(doc.pathName, "mine.ztl");
    EXPECT_EQ(doc.graph.title, "kept");
  }
}

// "Save changes to %1?": Yes saves first, No discards, Cancel keeps all.
TEST_F(FileCommands, ReplacingAModifiedDocumentAsksToSaveIt) {
  const std::string other = WriteGraph("other.ztl", {"O"});
  struct Case {
    Cmd command;
    std::optional<bool> answer;
    bool replaced;
    bool saved;
  };
  const Case cases[] = {
      {Cmd::New, true, true, true},    {Cmd::New, false, true, false},    {Cmd::New, std::nullopt, false, false},
      {Cmd::Open, true, true, true},   {Cmd::Open, false, true, false},   {Cmd::Open, std::nullopt, false, false},
  };
  int round = 0;
  for (const auto& c : cases) {
    doc.ResetDocument();
    const std::string mine = dir.file("mine" + std::to_string(round++) + ".ztl");
    doc.pathName = mine;
    AddSet(doc, "mine", 3);
    doc.SetModifiedFlag();
    ui.saveChangesAsked.clear();
    ui.saveChangesAnswers.push_back(c.answer);
    if (c.command == Cmd::Open) ui.fileAnswers.push_back(other);
    Run(c.command);
    EXPECT_EQ(ui.saveChangesAsked, std::vector<std::string>{std::filesystem::path(mine).filename().string()});
    EXPECT_EQ(std::filesystem::exists(mine), c.saved) << CommandNumber(c.command);
    if (c.replaced) {
      EXPECT_EQ(Names(), c.command == Cmd::New ? std::vector<std::string>{} : std::vector<std::string>{"O"});
      EXPECT_EQ(doc.Title(), c.command == Cmd::New ? "Untitled" : "other.ztl");
      EXPECT_FALSE(doc.IsModified());
    } else {
      EXPECT_EQ(Names(), std::vector<std::string>{"mine"});
      EXPECT_TRUE(doc.IsModified());
    }
  }
}

TEST_F(FileCommands, YesOnAnUntitledDocumentAsksForANameAndCancelThereKeepsIt) {
  AddSet(doc, "mine", 3);
  doc.SetModifiedFlag();
  ui.saveChangesAnswers.push_back(true);
  ui.fileAnswers.push_back(std::nullopt);  // Cancel in Save As
  EXPECT_EQ(Run(Cmd::New), "");  // cancelled, not failed
  EXPECT_EQ(ui.saveChangesAsked, std::vector<std::string>{"Untitled"});
  // The dialog says whose question it answers, so a script can tell it
  // from the command's own file question.
  ASSERT_EQ(ui.fileDialogsShown.size(), 1u);
  EXPECT_TRUE(ui.fileDialogsShown[0].request.savesChanges);
  EXPECT_EQ(Names(), std::vector<std::string>{"mine"});
  EXPECT_TRUE(doc.IsModified());
}

// A graph whose second set has a fit convolved with its first set, imported
// into a document of three sets: the fit follows the fourth set.
TEST_F(FileCommands, ImportGraphAppendsSetsAndRebasesConvolutionSources) {
  CZentrelDoc other;
  AddSet(other, "S0", 10);
  Data_Set& s1 = AddSet(other, "S1", 20);
  s1.fits.push_back(std::make_unique<Fit>());
  s1.fits[0]->setConvolutionSource(other.sets[0].get());
  other.graph.title = "not imported";
  other.useAbbreviations = 0;
  const std::string path = dir.file("conv.ztl");
  ASSERT_TRUE(WriteGraphBytes(path, GraphFileBytes(other)).empty());

  for (const char* name : {"P", "Q", "R"}) AddSet(doc, name, 1);
  doc.graph.title = "mine";
  ui.fileAnswers.push_back(path);
  Run(Cmd::ImportGraph);
  const auto& request = ui.fileDialogsShown.at(0).request;
  EXPECT_EQ(request.filter, "Zentrel Files (*.ztl);;All Files (*.*)");
  EXPECT_EQ(request.defaultExtension, "ztl");
  EXPECT_EQ(request.initialName, "default.ztl");
  EXPECT_TRUE(request.hideReadOnly);
  EXPECT_EQ(Names(), (std::vector<std::string>{"P", "Q", "R", "S0", "S1"}));
  EXPECT_EQ(doc.sets[4]->fits[0]->convolutionSource, doc.sets[3].get());
  EXPECT_EQ(doc.sets[4]->fits[0]->iterationCount, 0);  // attached afresh to its set
  EXPECT_EQ(doc.graph.title, "mine");
  EXPECT_EQ(doc.useAbbreviations, 1);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(doc.undoAvailable, 1);  // the dispatcher's snapshot
  EXPECT_EQ(doc.undoSets.size(), 3u);
  EXPECT_TRUE(doc.pathName.empty());
  EXPECT_TRUE(doc.statusText.empty());
  EXPECT_EQ(ui.redraws, 1);
}

TEST_F(FileCommands, ImportingABrokenFileAppendsTheSetsReadBeforeTheFault) {
  const auto bytes = ReadBytes(WriteGraph("good.ztl", {"A", "B"}));
  WriteBytes(dir.file("cut.ztl"), bytes.substr(0, bytes.size() - 60));  // inside the graph block
  WriteBytes(dir.file("early.ztl"), bytes.substr(0, 30));               // inside the first set
  AddSet(doc, "P", 1);
  ui.fileAnswers.push_back(dir.file("cut.ztl"));
  EXPECT_EQ(Run(Cmd::ImportGraph), "Unexpected file format.");  // failed, though sets were added
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Unexpected file format."});
  EXPECT_EQ(Names(), (std::vector<std::string>{"P", "A", "B"}));
  ui.fileAnswers.push_back(dir.file("early.ztl"));
  ui.fileAnswers.push_back(dir.file("nothing.ztl"));
  EXPECT_EQ(Run(Cmd::ImportGraph), "Unexpected file format.");
  EXPECT_NE(Run(Cmd::ImportGraph).find("Cannot find this file."), std::string::npos);
  EXPECT_EQ(ui.messages.size(), 3u);
  EXPECT_EQ(Names(), (std::vector<std::string>{"P", "A", "B"}));
}

TEST_F(FileCommands, CancelledDialogsDoNothing) {
  AddSet(doc, "P", 1);
  for (Cmd command : {Cmd::Open, Cmd::SaveAs, Cmd::ImportGraph}) {
    ui.fileAnswers.push_back(std::nullopt);
    EXPECT_EQ(Run(command), "");
  }
  EXPECT_EQ(Names(), std::vector<std::string>{"P"});
  EXPECT_TRUE(doc.pathName.empty());
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace zentrel
