// The recovery folder without a window: names, notes, who owns a copy, and
// what a starting program may claim, remove or must leave alone.

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/recovery/recovery_lock.h"
#include "app/recovery/recovery_names.h"
#include "app/recovery/recovery_sidecar.h"
#include "app/recovery/recovery_snapshot.h"
#include "app/recovery/recovery_store.h"
#include "io/graph_file.h"
#include "io/io_test_support.h"
#include "model/document.h"

namespace zentrel {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

constexpr const char* kDeadId = "4242-00000000deadbeef";
constexpr const char* kOtherDeadId = "4243-0123456789abcdef";

std::span<const std::uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// What an ended window leaves: its copy, its note, and a lock nobody holds.
void LeaveOrphan(const fs::path& folder, const std::string& id, const std::string& copy,
                 const std::string& original = "/home/u/graph.ztl") {
  const RecoveryPaths paths = RecoveryPathsFor(folder, id);
  WriteBytes(paths.copy.string(), copy);
  RecoverySidecar note;
  note.originalPath = original;
  note.copySize = copy.size();
  note.copyChecksum = CopyChecksum(Bytes(copy));
  WriteBytes(paths.sidecar.string(), SidecarText(note));
  WriteBytes(paths.lock.string(), "");
}

std::vector<std::string> ClaimedIds(const std::vector<ClaimedCopy>& copies) {
  std::vector<std::string> ids;
  for (const auto& copy : copies) ids.push_back(copy.id);
  return ids;
}

TEST(RecoveryNames, IdentitiesHaveOneShape) {
  struct Case {
    const char* text;
    bool id;
  };
  const Case cases[] = {
      {"4242-00000000deadbeef", true},   {"1-0123456789abcdef", true},
      {"-0123456789abcdef", false},      {"4242-0123456789ABCDEF", false},  // upper case is not ours
      {"4242-0123456789abcde", false},   {"4242-0123456789abcdef0", false},
      {"42a2-0123456789abcdef", false},  {"4242_0123456789abcdef", false},
      {"../4242-0123456789abc", false},  {"", false},
      {"12345678901-0123456789abcdef", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsRecoveryId(c.text), c.id) << c.text;
  const std::string fresh = NewRecoveryId();
  EXPECT_TRUE(IsRecoveryId(fresh)) << fresh;
  EXPECT_TRUE(fresh.starts_with(std::to_string(::getpid()) + "-"));
  EXPECT_NE(fresh, NewRecoveryId());
}

TEST(RecoverySidecar, ReadsBackWhatItWrote) {
  RecoverySidecar note;
  note.originalPath = "/home/ü/my \"graph\".ztl";
  note.copySize = 1234;
  note.copyChecksum = 0xfedcba9876543210ull;
  note.sets = {{"/data/run 1.txt", true}, {"line\nbreak", false}};
  const auto read = ParseSidecar(SidecarText(note));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->originalPath, note.originalPath);
  EXPECT_EQ(read->copySize, note.copySize);
  EXPECT_EQ(read->copyChecksum, note.copyChecksum);
  ASSERT_EQ(read->sets.size(), 2u);
  EXPECT_EQ(read->sets[0].name, "/data/run 1.txt");
  EXPECT_TRUE(read->sets[0].modified);
  EXPECT_EQ(read->sets[1].name, "line\nbreak");
  EXPECT_FALSE(read->sets[1].modified);
}

TEST(RecoverySidecar, JunkIsNoNote) {
  const char* junk[] = {
      "",
      "not json",
      "[1,2,3]",
      R"({"format":2,"original":"","copy_size":1,"copy_checksum":"1","sets":[]})",
      R"({"format":1,"original":5,"copy_size":1,"copy_checksum":"1","sets":[]})",
      R"({"format":1,"original":"","copy_size":-1,"copy_checksum":"1","sets":[]})",
      R"({"format":1,"original":"","copy_size":1,"copy_checksum":"xyz","sets":[]})",
      R"({"format":1,"original":"","copy_size":1,"copy_checksum":"","sets":[]})",
      R"({"format":1,"original":"","copy_size":1,"copy_checksum":"1","sets":[{"name":"a"}]})",
      R"({"format":1,"original":"","copy_size":1,"copy_checksum":"1","sets":[{"name":1,"modified":true}]})",
      R"({"format":1,"original":"","copy_size":1,"copy_checksum":"1"})",
      R"({"format":1,"original":"","copy_size":1,"copy_checksum":"1","sets":[]}trailing)",
  };
  for (const char* text : junk) EXPECT_FALSE(ParseSidecar(text)) << text;
}

TEST(RecoverySidecar, DescribesOnlyItsOwnCopyAndMatchingSets) {
  CZentrelDoc doc;
  auto set = std::make_unique<Data_Set>();
  set->name = "/data/a.txt";
  set->SetValue(0, 0, 1.0);
  set->SetValue(1, 0, 2.0);
  set->modified = true;
  doc.AppendSet(std::move(set));
  doc.pathName = "/home/u/graph.ztl";
  const std::string copy = "copy bytes";
  const RecoverySidecar note = SidecarFor(doc, Bytes(copy));
  EXPECT_EQ(note.originalPath, "/home/u/graph.ztl");
  EXPECT_TRUE(SidecarDescribes(note, Bytes(copy)));
  EXPECT_FALSE(SidecarDescribes(note, Bytes("copy byteS")));
  EXPECT_FALSE(SidecarDescribes(note, Bytes("copy bytes!")));

  // A recovered document not saved since keeps naming its first file.
  doc.pathName.clear();
  doc.recovered = true;
  doc.recoveredFrom = "/home/u/first.ztl";
  EXPECT_EQ(SidecarFor(doc, Bytes(copy)).originalPath, "/home/u/first.ztl");

  CZentrelDoc loaded;
  loaded.AppendSet(std::make_unique<Data_Set>());
  ApplySetNotes(note, loaded);
  EXPECT_EQ(loaded.sets[0]->name, "/data/a.txt");
  EXPECT_TRUE(loaded.sets[0]->modified);
  loaded.AppendSet(std::make_unique<Data_Set>());
  loaded.sets[0]->name = "kept";
  ApplySetNotes(note, loaded);  // two sets, a note for one: nothing changes
  EXPECT_EQ(loaded.sets[0]->name, "kept");
}

TEST(RecoveryLock, OneHolderAtATimeUntilItEnds) {
  TempDir dir;
  const fs::path path = dir.path() / "x.lock";
  RecoveryLock first = RecoveryLock::TryTake(path);
  ASSERT_TRUE(first.held());
  EXPECT_FALSE(RecoveryLock::TryTake(path).held());  // a second open in this process
  first.Release();
  EXPECT_TRUE(RecoveryLock::TryTake(path).held());
  RecoveryLock removed = RecoveryLock::TryTake(path);
  removed.RemoveAndRelease();
  EXPECT_FALSE(fs::exists(path));
}

TEST(RecoveryLock, ReleasedWhenTheHoldingProcessDies) {
  TempDir dir;
  const fs::path path = dir.path() / "x.lock";
  int ready[2];
  int quit[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(quit), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    RecoveryLock held = RecoveryLock::TryTake(path);
    const char flag = held.held() ? '1' : '0';
    (void)!::write(ready[1], &flag, 1);
    char ignored;
    (void)!::read(quit[0], &ignored, 1);
    ::_exit(0);  // the lock is never released by hand
  }
  char flag = 0;
  ASSERT_EQ(::read(ready[0], &flag, 1), 1);
  ASSERT_EQ(flag, '1');
  EXPECT_FALSE(RecoveryLock::TryTake(path).held());
  (void)!::write(quit[1], "q", 1);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(RecoveryLock::TryTake(path).held());
  for (int fd : {ready[0], ready[1], quit[0], quit[1]}) ::close(fd);
}

TEST(RecoveryLock, RefusesWhatIsNotAPlainFile) {
  TempDir dir;
  fs::create_directory(dir.path() / "folder.lock");
  EXPECT_FALSE(RecoveryLock::TryTake(dir.path() / "folder.lock").held());
  WriteBytes(dir.file("target"), "");
  fs::create_symlink(dir.path() / "target", dir.path() / "link.lock");
  EXPECT_FALSE(RecoveryLock::TryTake(dir.path() / "link.lock").held());
}

TEST(RecoveryStore, WritesTheBytesSaveWritesAndRemovesThemOnExit) {
  TempDir dir;
  const fs::path folder = dir.path() / "recovery";
  CZentrelDoc doc;
  auto set = std::make_unique<Data_Set>();
  set->name = "/data/a.txt";
  for (int i = 0; i < 50; ++i) set->SetValue(0, i, i), set->SetValue(1, i, i * i);
  doc.AppendSet(std::move(set));
  doc.pathName = "/home/u/graph.ztl";
  RecoveryPaths paths;
  {
    RecoveryWriter writer(folder);
    paths = writer.paths();
    EXPECT_FALSE(fs::exists(folder));  // nothing on disk before the first copy
    ASSERT_EQ(WriteRecoveryCopy(writer, *SnapshotForRecovery(doc), PageLayout{}), "");
    const std::vector<std::uint8_t> saved = GraphFileBytes(doc);
    EXPECT_EQ(ReadBytes(paths.copy.string()), std::string(saved.begin(), saved.end()));
    const auto note = ParseSidecar(ReadBytes(paths.sidecar.string()));
    ASSERT_TRUE(note);
    EXPECT_EQ(note->originalPath, "/home/u/graph.ztl");
    EXPECT_TRUE(SidecarDescribes(*note, saved));
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);

    // Saved: the copy goes, the identity stays for the next one.
    writer.Remove();
    EXPECT_FALSE(fs::exists(paths.copy));
    EXPECT_FALSE(fs::exists(paths.sidecar));
    EXPECT_TRUE(fs::exists(paths.lock));
    ASSERT_EQ(WriteRecoveryCopy(writer, *SnapshotForRecovery(doc), PageLayout{}), "");
    EXPECT_TRUE(fs::exists(paths.copy));
  }
  EXPECT_FALSE(fs::exists(paths.copy));
  EXPECT_FALSE(fs::exists(paths.sidecar));
  EXPECT_FALSE(fs::exists(paths.lock));
}

TEST(RecoveryStore, ALiveWindowsCopyIsNeverClaimed) {
  TempDir dir;
  CZentrelDoc doc;
  doc.AppendSet(std::make_unique<Data_Set>());
  RecoveryWriter live(dir.path());
  ASSERT_EQ(WriteRecoveryCopy(live, *SnapshotForRecovery(doc), PageLayout{}), "");
  EXPECT_TRUE(ClaimOrphanedCopies(dir.path()).empty());
  EXPECT_TRUE(fs::exists(live.paths().copy));
  EXPECT_TRUE(fs::exists(live.paths().sidecar));
}

TEST(RecoveryStore, ClaimsEndedWindowsCopiesNewestFirstAndOnlyOnce) {
  TempDir dir;
  LeaveOrphan(dir.path(), kDeadId, "older");
  LeaveOrphan(dir.path(), kOtherDeadId, "newer", "");
  const auto now = fs::file_time_type::clock::now();
  fs::last_write_time(RecoveryPathsFor(dir.path(), kDeadId).copy, now - std::chrono::hours(2));
  fs::last_write_time(RecoveryPathsFor(dir.path(), kOtherDeadId).copy, now - std::chrono::hours(1));

  std::vector<ClaimedCopy> claimed = ClaimOrphanedCopies(dir.path());
  EXPECT_EQ(ClaimedIds(claimed), (std::vector<std::string>{kOtherDeadId, kDeadId}));
  ASSERT_TRUE(claimed[0].note);
  EXPECT_EQ(claimed[0].note->originalPath, "");
  EXPECT_GT(claimed[0].savedAt, claimed[1].savedAt);
  // A second program starting meanwhile sees them as taken.
  EXPECT_TRUE(ClaimOrphanedCopies(dir.path()).empty());

  DiscardCopy(claimed[0]);
  for (const fs::path& gone : {RecoveryPathsFor(dir.path(), kOtherDeadId).copy,
                               RecoveryPathsFor(dir.path(), kOtherDeadId).sidecar,
                               RecoveryPathsFor(dir.path(), kOtherDeadId).lock})
    EXPECT_FALSE(fs::exists(gone)) << gone;
  claimed.clear();  // "Later": the rest stays for the next start
  EXPECT_EQ(ClaimedIds(ClaimOrphanedCopies(dir.path())), std::vector<std::string>{kDeadId});
}

TEST(RecoveryStore, JunkInTheFolderIsLeftAloneAndLeftoversAreTidied) {
  TempDir dir;
  const fs::path folder = dir.path();
  // Not ours: other names, a folder and a link named like a copy.
  WriteBytes(dir.file("graph.ztl"), "mine");
  WriteBytes(dir.file("4242-XYZ.ztl"), "junk");
  WriteBytes(dir.file("notes.txt"), "junk");
  fs::create_directory(folder / "4244-0000000000000001.ztl");
  WriteBytes(dir.file("outside.ztl"), "the user's file");
  fs::create_symlink(folder / "outside.ztl", folder / "4245-0000000000000002.ztl");
  // An ended window's leftovers without a copy: a lock, a note, a temporary.
  WriteBytes(dir.file("4246-0000000000000003.lock"), "");
  WriteBytes(dir.file("4246-0000000000000003.json"), "{}");
  WriteBytes(dir.file("4246-0000000000000003.ztl.Ab12Cd"), "half");
  // A copy with a junk note is still offered, with no original name.
  WriteBytes(dir.file(std::string(kDeadId) + ".ztl"), "copy");
  WriteBytes(dir.file(std::string(kDeadId) + ".json"), "garbage");

  const std::vector<ClaimedCopy> claimed = ClaimOrphanedCopies(folder);
  ASSERT_EQ(ClaimedIds(claimed), std::vector<std::string>{kDeadId});
  EXPECT_FALSE(claimed[0].note);
  for (const char* kept : {"graph.ztl", "4242-XYZ.ztl", "notes.txt", "4244-0000000000000001.ztl", "outside.ztl",
                           "4245-0000000000000002.ztl"})
    EXPECT_TRUE(fs::exists(fs::symlink_status(folder / kept))) << kept;
  EXPECT_EQ(ReadBytes(dir.file("outside.ztl")), "the user's file");
  for (const char* gone : {"4246-0000000000000003.lock", "4246-0000000000000003.json",
                           "4246-0000000000000003.ztl.Ab12Cd"})
    EXPECT_FALSE(fs::exists(folder / gone)) << gone;
  EXPECT_TRUE(ClaimOrphanedCopies(dir.path() / "missing").empty());
}

TEST(RecoveryStore, AdoptingMovesAClaimedCopyUnderTheWindowsOwnName) {
  TempDir dir;
  LeaveOrphan(dir.path(), kDeadId, "restored bytes");
  WriteBytes(dir.file(std::string(kDeadId) + ".ztl.tmp123"), "half");
  std::vector<ClaimedCopy> claimed = ClaimOrphanedCopies(dir.path());
  ASSERT_EQ(claimed.size(), 1u);
  RecoveryPaths mine;
  {
    RecoveryWriter writer(dir.path());
    mine = writer.paths();
    ASSERT_TRUE(writer.Adopt(claimed[0]));
    EXPECT_TRUE(writer.hasCopy());
    EXPECT_EQ(ReadBytes(mine.copy.string()), "restored bytes");
    EXPECT_TRUE(fs::exists(mine.sidecar));
    for (const char* gone : {".ztl", ".json", ".lock", ".ztl.tmp123"})
      EXPECT_FALSE(fs::exists(dir.path() / (std::string(kDeadId) + gone))) << gone;
    // Held by this live writer now: not an orphan.
    EXPECT_TRUE(ClaimOrphanedCopies(dir.path()).empty());
  }
  EXPECT_FALSE(fs::exists(mine.copy));
}

}  // namespace
}  // namespace zentrel
