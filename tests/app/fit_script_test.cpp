#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "app/dialogs/fit_dialog.h"
#include "app/script/script_runner.h"
#include "model/document.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {
namespace {

// What `fit-dialog` and `iterate` refuse, and what they do to the fit.
class FitScript : public ::testing::Test {
 protected:
  void TearDown() override { ClearNumericError(); }
  bool Run(const std::string& text) {
    std::istringstream in(text);
    ScriptRunner runner(doc, out, "fit.zts");
    const bool ok = runner.run(in);
    error = runner.error();
    return ok;
  }
  static constexpr const char* kSetup =
      "new-set name=line x=0,1,2,3,4,5,6,7 y=1,3,5,7,9,11,13,15\n"
      "fit\n";
  CZentrelDoc doc;
  std::ostringstream out;
  std::string error;
};

TEST_F(FitScript, RefusesWhatTheDialogCannotShow) {
  const struct {
    const char* line;
    const char* problem;
  } cases[] = {
      {"fit-dialog model=\"Gaussien\"", "is not a model of the catalogue"},
      {"fit-dialog a4=1", "the dialog shows 4 parameters"},
      {"fit-dialog a0=one", "a0=one is not a number"},
      {"fit-dialog free0=2", "must be 0 or 1"},
      {"fit-dialog method=simplex", "must be lm or gridless"},
      {"fit-dialog weighting=1/x", "must be equal"},
      {"fit-dialog limit-set=4", "must be 1, 2 or 3"},
      {"fit-dialog model=\"Custom function\" equation=\"X+(\"", "does not compile"},
      {"fit-dialog convolve-with", "missing answer set="},
      {"fit-dialog ok\nfit-dialog a0=1", "the Fitting dialog is not shown"},
      {"fit-dialog stray=1", "unknown argument stray"},
      {"iterate", "iterate needs a number of passes"},
      {"iterate -1", "iterate needs a number of passes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    doc.ResetDocument();
    EXPECT_FALSE(Run(std::string(kSetup) + c.line));
    EXPECT_NE(error.find(c.problem), std::string::npos) << error;
  }
}

TEST_F(FitScript, EditsTheFitAndIteratesIt) {
  ASSERT_TRUE(Run(std::string(kSetup) +
                  "fit-dialog model=\"Polynomial\" order=1 name=\"straight\" a0=0.5 a2=1 free1=0 method=lm "
                  "weighting=1/y start=1 end=6\n"
                  "set-clipboard text=\"0.5\\t0\\t1.5\"\n"
                  "fit-dialog paste-params copy-params iterate\n"
                  "iterate 20\n"
                  "fit-dialog iterate ok\n"
                  "print-clipboard\n"))
      << error;
  const Fit& fit = *doc.sets[0]->fits[0];
  EXPECT_EQ(fit.name, "straight");
  EXPECT_EQ(fit.freeFlags[1], 0);
  EXPECT_EQ(fit.method, kMethodLevenbergMarquardt);
  EXPECT_EQ(fit.weighting, kWeightInverseY);
  EXPECT_EQ(fit.fitStart, 1.0);
  EXPECT_EQ(fit.fitEnd, 6.0);
  EXPECT_FALSE(fit.iterating);
  EXPECT_NEAR(fit.params[0], 1.0, 1e-9);
  EXPECT_NEAR(fit.params[2], 2.0, 1e-9);
  EXPECT_NE(out.str().find("0.5\t0\t1.5"), std::string::npos);
  EXPECT_FALSE(FitDialogOf(doc).isVisible());
}

}  // namespace
}  // namespace zentrel
