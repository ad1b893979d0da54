// Every file the program writes is replaced whole or not at all.

#include "util/atomic_file.h"

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "io/io_test_support.h"

namespace zentrel {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

int FilesIn(const TempDir& dir) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) files += entry.is_regular_file();
  return files;
}

TEST(WriteFileAtomically, ReplacesKeepingPermissionsAndLeavesNoTemporary) {
  TempDir dir;
  const std::string path = dir.file("data.txt");
  WriteBytes(path, "old");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  EXPECT_EQ(WriteFileAtomically(path, "new contents"), "");
  EXPECT_EQ(ReadBytes(path), "new contents");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(FilesIn(dir), 1);
}

TEST(WriteFileAtomically, ALinkKeepsPointingAtTheReplacedFile) {
  TempDir dir;
  const std::string target = dir.file("target.txt");
  const std::string link = dir.file("link.txt");
  WriteBytes(target, "old");
  std::filesystem::create_symlink(target, link);
  EXPECT_EQ(WriteFileAtomically(link, "through the link"), "");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadBytes(target), "through the link");
}

TEST(WriteFileAtomically, FailureAndCancelLeaveTheOldFile) {
  TempDir dir;
  EXPECT_NE(WriteFileAtomically(dir.file("no/such/folder/file.txt"), "x"), "");

  const std::string path = dir.file("kept.txt");
  WriteBytes(path, "old");
  // Two blocks, so the writer reports twice; the second answer cancels.
  const std::string big(3u << 20, 'x');
  int reports = 0;
  const std::string error = WriteFileAtomically(path, big, [&reports](double done) {
    EXPECT_GT(done, 0.0);
    EXPECT_LE(done, 1.0);
    return ++reports < 2;
  });
  EXPECT_EQ(error, kWriteCancelled);
  EXPECT_EQ(reports, 2);
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_EQ(FilesIn(dir), 1);
}

// Checked by mode bits, so the refusal holds for the superuser as well: a
// file nobody may write is left alone even when the folder would allow it.
TEST(WriteFileAtomically, RefusesReadOnlyAndNonRegularTargets) {
  TempDir dir;
  const std::string readOnly = dir.file("read-only.ztl");
  WriteBytes(readOnly, "kept");
  ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
  const std::string link = dir.file("link.ztl");
  std::filesystem::create_symlink(readOnly, link);
  const std::string fifo = dir.file("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  struct Case {
    std::string path;
    const char* reason;
  };
  for (const Case& c : {Case{readOnly, ": permission denied"}, Case{link, ": permission denied"},
                        Case{fifo, ": not a regular file"}, Case{dir.file(""), ": not a regular file"}}) {
    const std::string error = WriteFileAtomically(c.path, "replaced");
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.path << ": " << error;
  }
  EXPECT_EQ(ReadBytes(readOnly), "kept");
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
  EXPECT_EQ(FilesIn(dir), 2);  // the file and its link: no temporary left beside them

  // A file its owner may write is replaced; so is a new name beside a read-only one.
  ASSERT_EQ(::chmod(readOnly.c_str(), 0644), 0);
  EXPECT_EQ(WriteFileAtomically(readOnly, "replaced"), "");
  EXPECT_EQ(WriteFileAtomically(dir.file("new.ztl"), "new"), "");
  EXPECT_EQ(ReadBytes(readOnly), "replaced");
}

}  // namespace
}  // namespace zentrel
