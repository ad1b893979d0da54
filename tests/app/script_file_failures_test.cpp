// Scripts and files: a command that fails stops the script at its line, and
// one question never takes the answer meant for another.

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <streambuf>
#include <string>

#include <gtest/gtest.h>

#include "app/script/script_runner.h"
#include "io/io_test_support.h"
#include "model/document.h"

namespace zentrel {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

class ScriptFiles : public ::testing::Test {
 protected:
  bool Run(const std::string& text) {
    std::istringstream in(text);
    out.str("");
    ScriptRunner runner(doc, out, "test.zts");
    const bool ok = runner.run(in);
    error = runner.error();
    return ok;
  }
  // A modified document that has never been saved.
  void MakeUntitledChanges() {
    ASSERT_TRUE(Run("new-set name=mine x=1,2 y=3,4\nedit-comments set=0 comment=changed\n")) << error;
    ASSERT_TRUE(doc.IsModified());
  }

  TempDir dir;
  CZentrelDoc doc;
  std::ostringstream out;
  std::string error;
};

// "Save changes?" on a document without a file: its Save As is answered by
// save-file=, never by the file= that names the file to open.
TEST_F(ScriptFiles, OpeningNeverSavesOverTheFileItOpens) {
  const std::string victim = dir.file("victim.ztl");
  {
    CZentrelDoc theirs;
    std::istringstream in("new-set name=theirs x=1 y=1\nsave-as file=" + victim + "\n");
    ScriptRunner runner(theirs, out, "theirs.zts");
    ASSERT_TRUE(runner.run(in)) << runner.error();
  }
  const std::string victimBytes = ReadBytes(victim);
  MakeUntitledChanges();
  for (const std::string& command : {"open file=" + victim, std::string("new")}) {
    EXPECT_FALSE(Run(command + " save-changes=yes\nstatus\n")) << command;
    EXPECT_EQ(error, "test.zts:1: missing answer save-file= for the save changes dialog") << command;
    EXPECT_EQ(ReadBytes(victim), victimBytes) << command;
    ASSERT_EQ(doc.SetCount(), 1);
    EXPECT_EQ(doc.sets[0]->name, "mine");
    EXPECT_TRUE(doc.IsModified());
  }

  const std::string kept = dir.file("kept.ztl");
  ASSERT_TRUE(Run("open file=" + victim + " save-changes=yes save-file=" + kept + "\n")) << error;
  EXPECT_EQ(ReadBytes(victim), victimBytes);
  EXPECT_EQ(doc.pathName, victim);
  ASSERT_TRUE(Run("open file=" + kept + "\n")) << error;
  ASSERT_EQ(doc.SetCount(), 1);
  EXPECT_EQ(doc.sets[0]->name, "mine");
  // A document with a file saves there; save-file= is then not asked for.
  ASSERT_TRUE(Run("edit-comments set=0 comment=again\nnew save-changes=yes save-file=unused.ztl\n")) << error;
  EXPECT_FALSE(std::filesystem::exists(dir.file("unused.ztl")));
}

// Every failing file command fails its line; the line after it never runs.
TEST_F(ScriptFiles, FailedFileCommandsStopTheScript) {
  ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0644), 0);
  WriteBytes(dir.file("garbage.ztl"), "not a graph at all");
  WriteBytes(dir.file("read-only.txt"), "1 2\n");
  ASSERT_EQ(::chmod(dir.file("read-only.txt").c_str(), 0444), 0);
  struct Case {
    std::string line;
    std::string error;  // what the line's error must contain
  };
  const Case cases[] = {
      {"open file=" + dir.file("missing.ztl"), "missing.ztl Cannot find this file."},
      {"open file=" + dir.file("pipe"), "Failed to open document. " + dir.file("pipe") + ": not a regular file"},
      {"open file=/dev/zero", "Failed to open document. /dev/zero: not a regular file"},
      {"open file=" + dir.file("garbage.ztl"), "Unexpected file format."},
      {"import-graph file=" + dir.file("pipe"), "not a regular file"},
      {"import-graph file=" + dir.file("garbage.ztl"), "Unexpected file format."},
      {"import-data type=ascii file=" + dir.file("missing.txt"), "Couldn't open file"},
      {"import-data type=ascii file=" + dir.file("pipe"), "Couldn't open file"},
      {"save-as file=" + dir.file("no/such/folder/g.ztl"), "Failed to save document."},
      {"save-as file=" + dir.file("read-only.txt"), "read-only.txt: permission denied"},
      {"new save-changes=yes save-file=" + dir.file("read-only.txt"), "permission denied"},
      {"export-data set=0 type=ascii file=" + dir.file("read-only.txt"),
       "Couldn't write file " + dir.file("read-only.txt") + ": permission denied"},
      {"export-data set=0 type=fsdata file=" + dir.file("pipe"), "Couldn't write file " + dir.file("pipe") + ": not a regular file"},
      {"export-data set=0 type=csv file=" + dir.file("no/such/folder/out.csv"), "Couldn't write file"},
  };
  for (const auto& c : cases) {
    doc.ResetDocument();
    MakeUntitledChanges();
    EXPECT_FALSE(Run(c.line + "\nnew-set name=after x=1 y=1\n")) << c.line;
    EXPECT_TRUE(error.starts_with("test.zts:1: ")) << error;
    EXPECT_NE(error.find(c.error), std::string::npos) << c.line << "\n" << error;
    EXPECT_EQ(doc.sets.back()->name, "mine") << c.line;
  }
  EXPECT_EQ(ReadBytes(dir.file("read-only.txt")), "1 2\n");
}

// A stream that never ends and holds no line break, as a device would.
class EndlessZeros : public std::streambuf {
 protected:
  int_type underflow() override {
    setg(block_, block_, block_ + sizeof block_);
    return traits_type::to_int_type(block_[0]);
  }

 private:
  char block_[4096] = {};
};

TEST_F(ScriptFiles, AnEndlessLineFailsInsteadOfFillingTheMemory) {
  EndlessZeros zeros;
  std::istream in(&zeros);
  ScriptRunner runner(doc, out, "zero.zts");
  EXPECT_FALSE(runner.run(in));
  EXPECT_EQ(runner.error(), "zero.zts:1: line longer than 64 MiB");

  // A folder opens as a stream but fails at the first read.
  std::ifstream folder(dir.path());
  ScriptRunner folderRunner(doc, out, "folder");
  EXPECT_FALSE(folderRunner.run(folder));
  EXPECT_EQ(folderRunner.error(), "folder:1: the script cannot be read");
}

}  // namespace
}  // namespace zentrel
