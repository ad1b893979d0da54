// Undo and Redo walked through every command whose table row takes a
// snapshot: the list comes from the command table, so a new
// snapshot-taking command fails here until it has a recipe.

#include <map>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "app/commands/command_table.h"
#include "app/commands/undo_captions.h"
#include "app/document_json.h"
#include "app/script/script_runner.h"
#include "io/io_test_support.h"
#include "model/document.h"

namespace zentrel {
namespace {

using Json = nlohmann::ordered_json;

// What Undo and Redo put back: the sets. A restored set is a copy, and a
// copied fit starts its engine afresh (no steps, iterations or chi-square
// carried over) while a copied set counts as changed, exactly as the
// single-level Undo always did; those fields are left out of the
// comparison.
Json RestorableSets(const CZentrelDoc& doc) {
  Json sets = DocumentToJson(doc)["sets"];
  for (Json& set : sets) {
    set.erase("modified");
    for (Json& fit : set["fits"]) {
      for (const char* transient : {"iterations", "iterating", "steps", "chi_square"}) fit.erase(transient);
    }
  }
  return sets;
}

const std::string kExamples = std::string(ZENTREL_SOURCE_DIR) + "/examples/";

// Two sets every command can work on: A with 12 points, B with 5 (an odd
// count, so it can be a convolution's response).
const char* const kTwoSets =
    "new-set name=A x=0,1,2,3,4,5,6,7,8,9,10,11 y=1,3,2,5,4,8,6,9,7,5,3,2 yerr=1,1,1,1,1,1,1,1,1,1,1,1\n"
    "new-set name=B x=2,3,4,5,6 y=0.1,1,3,1,0.2\n";
// A straight-line fit on set A.
const char* const kFitOnA =
    "fit set=0\n"
    "fit-dialog model=\"Polynomial\" order=1 name=line a0=1 a2=2 ok\n";

struct Recipe {
  std::string setup;  // script lines run after kTwoSets
  std::string line;   // the command under test, with its answers
};

std::map<Cmd, Recipe> Recipes(const std::string& graphFile) {
  return {
      {Cmd::BaselineCorrection, {"select 0 0 11 100\n", "baseline-correction"}},
      {Cmd::CombineSets, {"", "combine-sets"}},
      {Cmd::DeletePoints, {"select 2 -10 5 100\n", "delete-points"}},
      {Cmd::DeleteAllFits, {kFitOnA, "delete-all-fits set=0"}},
      {Cmd::DeleteFit, {kFitOnA, "delete-fit set=0 fit=0"}},
      {Cmd::Fit, {"", "fit set=0"}},
      {Cmd::LinearInterpolation, {"", "linear-interpolation set=1"}},
      {Cmd::ImportData, {"", "import-data type=ascii file=" + kExamples + "decay.txt"}},
      {Cmd::Normalize, {"select 0 0 11 100\n", "normalize"}},
      {Cmd::Operate, {"", "operate x-op=* x=2 y-op=+ y=1 operate-on=all-active-sets"}},
      {Cmd::OverlapScalingX, {"autoscale\n", "overlap-scaling-x"}},
      {Cmd::OverlapSets, {"select 2 0 6 20\n", "overlap-sets"}},
      {Cmd::OverlapContInt, {"select 2 0 6 20\n", "overlap-cont-int"}},
      {Cmd::ShiftPeak, {"select 0 0 11 100\n", "shift-peak"}},
      {Cmd::Smooth, {"", "smooth set=0 method=moving-window n=5"}},
      {Cmd::Translate, {"cursor 1 1\ntranslate\ncursor 2 3\n", "translate"}},
      {Cmd::CreateDataSet, {"", "create-dataset xstart=0 xend=1 xstep=0.25 equation=\"X^2\""}},
      {Cmd::HideAllFits, {kFitOnA, "hide-all-fits set=0"}},
      {Cmd::HideShowFit, {kFitOnA, "hide/show-fit set=0 fit=0"}},
      {Cmd::ImportGraph, {"save-as file=" + graphFile + "\n", "import-graph file=" + graphFile}},
      {Cmd::ChangeSetColor, {"", "change-set-color set=0 color=0,0,255"}},
      {Cmd::CreateDataSetFromFit, {kFitOnA, "create-dataset-from-fit set=0 fit=0 n=11"}},
      {Cmd::SetOperate, {"", "set-operate set1=0 set2=1 operation=+"}},
      {Cmd::RenameDataset, {"", "rename-dataset set=0 name=Renamed"}},
      {Cmd::Labels, {"", "labels title=T xaxis=X yaxis=Y"}},
      {Cmd::MultipleFileImporting,
       {"", "multiple-file-importing type=ascii files=" + kExamples + "decay.txt," + kExamples + "photon_irf.txt"}},
      {Cmd::Autocorrelation, {"", "autocorrelation set=0"}},
      {Cmd::CopyDataSet, {"", "copy-dataset set=1"}},
      {Cmd::EditComments, {"", "edit-comments set=0 comment=note"}},
      {Cmd::ConnectionLines, {"", "connection-lines set=0"}},
      {Cmd::ResidualAutocorrelation, {kFitOnA, "residual-autocorrelaiton set=0"}},
      {Cmd::ReverseDataset, {"", "reverse-dataset set=0"}},
      {Cmd::InvertDataset, {"", "invert-dataset set=0"}},
      {Cmd::PowerSpectrum, {"", "power-spectrum set=0"}},
      {Cmd::FourierTransform, {"", "fourier-transform real-dataset=A power-spectrum=yes"}},
      {Cmd::SaveScaledSub, {"scaled-subtr set=A set2=B\n", "save-scaled-sub"}},
      {Cmd::Deconvolve, {"", "deconvolve set=0 set2=1"}},
      {Cmd::Convolution, {"", "convolution set=0 set2=1"}},
  };
}

class UndoWalk : public ::testing::Test {
 protected:
  void Run(const std::string& text) {
    std::istringstream in(text);
    std::ostringstream out;
    ScriptRunner runner(doc, out, "walk.zts");
    ASSERT_TRUE(runner.run(in)) << runner.error() << "\n" << text;
  }
  CZentrelDoc doc;
  testing::TempDir dir;
};

TEST_F(UndoWalk, EverySnapshotCommandUndoesAndRedoes) {
  const auto recipes = Recipes(dir.file("walk.ztl"));
  int walked = 0;
  for (const CommandInfo& command : AllCommands()) {
    if (!command.snapshot) continue;
    SCOPED_TRACE(ScriptName(command));
    const auto recipe = recipes.find(command.command());
    ASSERT_NE(recipe, recipes.end()) << "no recipe makes this command act";
    doc.ResetDocument();
    Run(std::string(kTwoSets) + recipe->second.setup);
    const Json wholeBefore = DocumentToJson(doc);
    const Json before = RestorableSets(doc);

    Run(recipe->second.line + "\n");
    ASSERT_NE(DocumentToJson(doc), wholeBefore) << "the recipe did not change the document";
    const Json after = RestorableSets(doc);
    EXPECT_EQ(UndoCaption(doc), "&Undo " + MenuName(command));

    // Undo, Redo, Undo, Redo: each step lands on the recorded state.
    for (int round = 0; round < 2; ++round) {
      ASSERT_TRUE(doc.Undo());
      EXPECT_EQ(RestorableSets(doc), before) << "undo, round " << round;
      EXPECT_EQ(RedoCaption(doc), "&Redo " + MenuName(command));
      ASSERT_TRUE(doc.Redo());
      EXPECT_EQ(RestorableSets(doc), after) << "redo, round " << round;
    }
    ++walked;
  }
  EXPECT_GE(walked, 38);
}

// Commands one after another: Undo walks back through each recorded state
// in turn, Redo forward again, and a new command ends the way forward.
TEST_F(UndoWalk, AChainOfCommandsWalksBackAndForth) {
  Run(kTwoSets);
  const char* const lines[] = {
      "invert-dataset set=0", "smooth set=0 method=moving-window n=3", "copy-dataset set=1",
      "operate x-op=+ x=1 y-op=* y=3 operate-on=all-active-sets", "rename-dataset set=2 name=Third"};
  std::vector<Json> states{RestorableSets(doc)};
  for (const char* line : lines) {
    Run(std::string(line) + "\n");
    states.push_back(RestorableSets(doc));
  }
  EXPECT_EQ(UndoCaption(doc), "&Undo Rename Dataset");
  EXPECT_EQ(RedoCaption(doc), "&Redo");
  for (size_t k = states.size() - 1; k > 0; --k) {
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(RestorableSets(doc), states[k - 1]) << "undo to state " << k - 1;
  }
  EXPECT_FALSE(doc.Undo());
  EXPECT_EQ(UndoCaption(doc), "&Undo");
  EXPECT_EQ(RedoCaption(doc), "&Redo Invert Dataset");
  for (size_t k = 1; k < states.size(); ++k) {
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(RestorableSets(doc), states[k]) << "redo to state " << k;
  }
  EXPECT_FALSE(doc.Redo());

  // Back two, then a new command: the two undone ones cannot come back.
  doc.Undo();
  doc.Undo();
  Run("invert-dataset set=1\n");
  EXPECT_FALSE(doc.undoHistory().CanRedo());
  EXPECT_EQ(doc.undoHistory().UndoCount(), 4);
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(RestorableSets(doc), states[3]);
}

TEST_F(UndoWalk, ScriptsStepSeveralLevelsAndStopAtEitherEnd) {
  Run(kTwoSets);
  const Json start = RestorableSets(doc);
  Run("invert-dataset set=0\nreverse-dataset set=1\ncopy-dataset set=0\n");
  const Json end = RestorableSets(doc);
  Run("undo 2\n");
  EXPECT_EQ(doc.undoHistory().UndoCount(), 1);
  Run("undo 10\n");  // past the start: stops there, no error
  EXPECT_EQ(RestorableSets(doc), start);
  EXPECT_EQ(doc.undoAvailable, 0);
  Run("redo\nredo 5\n");
  EXPECT_EQ(RestorableSets(doc), end);
  Run("undo 0\nundo\n");
  EXPECT_EQ(doc.undoHistory().RedoCount(), 1);

  for (const char* bad : {"undo -1\n", "undo two\n", "redo 1 2\n"}) {
    std::istringstream in(bad);
    std::ostringstream out;
    ScriptRunner runner(doc, out, "bad.zts");
    EXPECT_FALSE(runner.run(in)) << bad;
    EXPECT_NE(runner.error().find("needs a number of steps"), std::string::npos) << runner.error();
  }
}

TEST_F(UndoWalk, NewAndOpenForgetTheHistory) {
  Run(kTwoSets);
  Run(std::string("invert-dataset set=0\nsave-as file=") + dir.file("g.ztl") + "\nundo\n");
  ASSERT_TRUE(doc.undoHistory().CanRedo());
  Run(std::string("open file=") + dir.file("g.ztl") + "\n");
  EXPECT_FALSE(doc.undoHistory().CanUndo());
  EXPECT_FALSE(doc.undoHistory().CanRedo());
  EXPECT_EQ(RedoCaption(doc), "&Redo");
}

}  // namespace
}  // namespace zentrel
