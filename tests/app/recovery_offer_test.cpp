// The start-up question about copies of ended windows, answered by a fake
// person: what Restore, Discard and Later do to the document and the folder.

#include "app/recovery/recovery_offer.h"

#include <ctime>
#include <deque>
#include <filesystem>
#include <stdexcept>

#include <gtest/gtest.h>

#include "app/commands/file_commands.h"
#include "app/document_json.h"
#include "fake_ui.h"
#include "io/graph_file.h"
#include "io/io_test_support.h"
#include "model/document.h"
#include "model/fit.h"

namespace zentrel {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

class RecoveryAnswers : public testing::FakeUi {
 public:
  std::deque<RecoveryChoice> answers;
  std::vector<std::string> asked;
  RecoveryChoice askRestoreRecovery(const std::string& question) override {
    asked.push_back(question);
    if (answers.empty()) throw std::logic_error("unexpected recovery question");
    const RecoveryChoice answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

// A graph being edited: two sets with full names, one changed, a fit.
void FillEditedGraph(CZentrelDoc& doc) {
  for (int k = 0; k < 2; ++k) {
    auto set = std::make_unique<Data_Set>();
    set->name = k == 0 ? "/data/run 1.txt" : "/data/run 2.txt";
    for (int i = 0; i < 20; ++i) set->SetValue(0, i, i), set->SetValue(1, i, (k + 1) * i * 0.5);
    set->modified = k == 1;
    doc.AppendSet(std::move(set));
  }
  auto fit = std::make_unique<Fit>();
  fit->name = "line";
  fit->fitStart = 2;
  fit->fitEnd = 15;
  fit->params[2] = 1.5;
  doc.sets[0]->fits.push_back(std::move(fit));
  doc.graph.title = "edited";
  doc.graph.logY = 1;
  doc.useAbbreviations = 0;
  doc.pathName = "/home/u/graph.ztl";
  doc.SetModifiedFlag();
}

// The copy an ended window left: the bytes Save writes, their note, and a
// lock nobody holds any more.
void LeaveCopyOf(const CZentrelDoc& doc, const fs::path& folder, const std::string& id) {
  fs::create_directories(folder);
  const RecoveryPaths paths = RecoveryPathsFor(folder, id);
  const std::vector<std::uint8_t> bytes = GraphFileBytes(doc);
  WriteBytes(paths.copy.string(), std::string(bytes.begin(), bytes.end()));
  WriteBytes(paths.sidecar.string(), SidecarText(SidecarFor(doc, bytes)));
  WriteBytes(paths.lock.string(), "");
}

std::string Dump(const CZentrelDoc& doc) {
  nlohmann::ordered_json json = DocumentToJson(doc);
  json.erase("status");  // the window's last message, not part of a graph
  return json.dump(1);
}

class RecoveryOffer : public ::testing::Test {
 protected:
  TempDir dir;
  fs::path folder = dir.path() / "recovery";
};

TEST(RecoveryQuestion, NamesTheTimeTheCopyWasSaved) {
  std::tm local{};
  local.tm_year = 2026 - 1900;
  local.tm_mon = 2;
  local.tm_mday = 3;
  local.tm_hour = 14;
  local.tm_min = 32;
  local.tm_sec = 59;
  local.tm_isdst = -1;
  EXPECT_EQ(RecoveryQuestion(std::mktime(&local)),
            "Zentrel did not close normally. Restore the graph it was editing (saved 14:32)?");
  local.tm_hour = 9;
  local.tm_min = 5;
  EXPECT_EQ(RecoveryQuestion(std::mktime(&local)),
            "Zentrel did not close normally. Restore the graph it was editing (saved 09:05)?");
}

TEST_F(RecoveryOffer, RestoreGivesBackTheGraphAsAnUntitledModifiedDocument) {
  CZentrelDoc edited;
  FillEditedGraph(edited);
  LeaveCopyOf(edited, folder, "4242-00000000deadbeef");

  CZentrelDoc doc;
  RecoveryAnswers ui;
  ui.answers = {RecoveryChoice::Restore};
  RecoveryWriter mine(folder);
  const RecoveryOfferResult result = OfferRecoveredCopies(doc, ui, mine, folder);
  EXPECT_EQ(result.restored, 1);
  ASSERT_EQ(ui.asked.size(), 1u);
  EXPECT_TRUE(ui.asked[0].starts_with("Zentrel did not close normally."));

  EXPECT_EQ(Dump(doc), Dump(edited));  // full set names and flags included
  EXPECT_TRUE(doc.IsModified());
  EXPECT_TRUE(doc.pathName.empty());
  EXPECT_EQ(doc.Caption(), "graph.ztl (recovered)* - Zentrel");
  EXPECT_EQ(GraphSaveRequest(doc).initialName, "/home/u/graph.ztl");
  EXPECT_GT(ui.redraws, 0);
  // The copy is this window's now, and nobody else's to offer.
  EXPECT_TRUE(mine.hasCopy());
  EXPECT_FALSE(fs::exists(folder / "4242-00000000deadbeef.ztl"));
  CZentrelDoc other;
  RecoveryAnswers nobody;
  RecoveryWriter theirs(folder);
  EXPECT_EQ(OfferRecoveredCopies(other, nobody, theirs, folder).kept, 0);

  // Saving it as a file of its own ends the recovered caption; New too.
  doc.pathName = "/home/u/graph2.ztl";
  EXPECT_EQ(doc.Caption(), "graph2.ztl* - Zentrel");
  doc.ResetDocument();
  EXPECT_FALSE(doc.recovered);
  EXPECT_EQ(doc.Caption(), "Untitled - Zentrel");
}

TEST_F(RecoveryOffer, AnUntitledGraphComesBackUntitled) {
  CZentrelDoc edited;
  FillEditedGraph(edited);
  edited.pathName.clear();
  LeaveCopyOf(edited, folder, "4242-00000000deadbeef");
  CZentrelDoc doc;
  RecoveryAnswers ui;
  ui.answers = {RecoveryChoice::Restore};
  RecoveryWriter mine(folder);
  OfferRecoveredCopies(doc, ui, mine, folder);
  EXPECT_EQ(doc.Caption(), "Untitled (recovered)* - Zentrel");
  EXPECT_EQ(GraphSaveRequest(doc).initialName, "Untitled.ZTL");
}

TEST_F(RecoveryOffer, DiscardDeletesAndLaterKeeps) {
  CZentrelDoc edited;
  FillEditedGraph(edited);
  LeaveCopyOf(edited, folder, "4242-00000000deadbeef");
  LeaveCopyOf(edited, folder, "4243-00000000deadbeef");
  CZentrelDoc doc;
  RecoveryAnswers ui;
  ui.answers = {RecoveryChoice::Discard, RecoveryChoice::Later};
  RecoveryWriter mine(folder);
  const RecoveryOfferResult result = OfferRecoveredCopies(doc, ui, mine, folder);
  EXPECT_EQ(result.discarded, 1);
  EXPECT_EQ(result.kept, 1);
  EXPECT_EQ(doc.SetCount(), 0);
  EXPECT_FALSE(doc.IsModified());
  EXPECT_FALSE(mine.hasCopy());
  int copiesLeft = 0;
  for (const auto& entry : fs::directory_iterator(folder)) copiesLeft += entry.path().extension() == ".ztl";
  EXPECT_EQ(copiesLeft, 1);
  // The next start asks again about the one kept.
  RecoveryAnswers next;
  next.answers = {RecoveryChoice::Later};
  EXPECT_EQ(OfferRecoveredCopies(doc, next, mine, folder).kept, 1);
  EXPECT_EQ(next.asked.size(), 1u);
}

TEST_F(RecoveryOffer, OneRestoreThenTheRestWait) {
  CZentrelDoc edited;
  FillEditedGraph(edited);
  LeaveCopyOf(edited, folder, "4242-00000000deadbeef");
  LeaveCopyOf(edited, folder, "4243-00000000deadbeef");
  CZentrelDoc doc;
  RecoveryAnswers ui;
  ui.answers = {RecoveryChoice::Restore};
  RecoveryWriter mine(folder);
  const RecoveryOfferResult result = OfferRecoveredCopies(doc, ui, mine, folder);
  EXPECT_EQ(result.restored, 1);
  EXPECT_EQ(result.kept, 1);
  EXPECT_EQ(ui.asked.size(), 1u);
}

TEST_F(RecoveryOffer, ACopyThatCannotBeReadIsKeptAndTheGraphUntouched) {
  fs::create_directories(folder);
  WriteBytes((folder / "4242-00000000deadbeef.ztl").string(), "not a graph file");
  CZentrelDoc doc;
  FillEditedGraph(doc);
  doc.SetModifiedFlag(false);
  const std::string before = Dump(doc);
  RecoveryAnswers ui;
  ui.answers = {RecoveryChoice::Restore};
  RecoveryWriter mine(folder);
  const RecoveryOfferResult result = OfferRecoveredCopies(doc, ui, mine, folder);
  EXPECT_EQ(result.restored, 0);
  EXPECT_EQ(result.kept, 1);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_TRUE(ui.messages[0].starts_with(std::string(kFailedToOpenDocument))) << ui.messages[0];
  EXPECT_EQ(Dump(doc), before);
  EXPECT_EQ(doc.pathName, "/home/u/graph.ztl");
  EXPECT_TRUE(fs::exists(folder / "4242-00000000deadbeef.ztl"));
}

TEST_F(RecoveryOffer, UnsavedChangesOnShowAreOfferedForSavingFirst) {
  CZentrelDoc edited;
  FillEditedGraph(edited);
  LeaveCopyOf(edited, folder, "4242-00000000deadbeef");
  CZentrelDoc doc;
  FillEditedGraph(doc);
  doc.graph.title = "on show";
  RecoveryAnswers ui;
  ui.answers = {RecoveryChoice::Restore};
  ui.saveChangesAnswers = {std::nullopt};  // Cancel: keep what is on show
  RecoveryWriter mine(folder);
  EXPECT_EQ(OfferRecoveredCopies(doc, ui, mine, folder).kept, 1);
  EXPECT_EQ(doc.graph.title, "on show");
  EXPECT_EQ(ui.saveChangesAsked, std::vector<std::string>{"graph.ztl"});
  EXPECT_TRUE(fs::exists(folder / "4242-00000000deadbeef.ztl"));
}

}  // namespace
}  // namespace zentrel
