// Create DataSet and the two dialog models of the expression engine: the
// Create a Data Set dialog (focus-loss compile, the OK algorithm) and the
// Custom Equations dialog with its equation file.

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "io/io_test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/commands/dispatch.h"
#include "app/dialogs/create_dataset_dialog.h"
#include "app/dialogs/custom_equations_dialog.h"
#include "fake_ui.h"
#include "model/document.h"
#include "numeric/numeric_error.h"

namespace zentrel {
namespace {

using testing::FakeUi;


std::vector<double> Column(const Data_Set& set, int column) {
  std::vector<double> values;
  for (int i = 0; i < set.PointCount(column); ++i) values.push_back(set.GetValue(column, i));
  return values;
}

// Sets one script field of a dialog, as the script runner would.
std::optional<std::string> SetField(DialogModel& dialog, const std::string& key, const std::string& value) {
  for (auto& field : dialog.scriptFields())
    if (field.key == key) return field.set(value);
  ADD_FAILURE() << "no field " << key;
  return std::nullopt;
}

// Every dialog test runs with native code and with the interpreter.
class WithBothEvaluators : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam())
      ::unsetenv("ZENTREL_JIT");
    else
      ::setenv("ZENTREL_JIT", "0", 1);
  }
  void TearDown() override {
    ::unsetenv("ZENTREL_JIT");
    ClearNumericError();
  }

  // Fills the dialog as a person would, equation last, then presses OK.
  bool Fill(CreateDataSetDialogModel& dialog, const char* start, const char* end, const char* step,
            const char* equation) {
    dialog.xStart = start;
    dialog.xEnd = end;
    dialog.xStep = step;
    dialog.equation = equation;
    dialog.equationLostFocus();
    return dialog.pressOk();
  }
};

std::string EvaluatorName(const ::testing::TestParamInfo<bool>& param) {
  return param.param ? "Native" : "Interpreter";
}

class CreateDataSetCommand : public WithBothEvaluators {
 protected:
  CZentrelDoc doc;
  FakeUi ui;
};

TEST_P(CreateDataSetCommand, AppendsTheSampledSet) {
  ui.dialogAnswers.push_back([](DialogModel& d) {
    auto& dialog = dynamic_cast<CreateDataSetDialogModel&>(d);
    EXPECT_EQ(SetField(dialog, "xstart", "0"), std::nullopt);
    EXPECT_EQ(SetField(dialog, "xend", "1"), std::nullopt);
    EXPECT_EQ(SetField(dialog, "xstep", "0.25"), std::nullopt);
    EXPECT_EQ(SetField(dialog, "equation", "X^2"), std::nullopt);
    return !dialog.validate();
  });
  EXPECT_EQ(Dispatch(doc, ui, Cmd::CreateDataSet), DispatchResult::Done);
  ASSERT_EQ(doc.SetCount(), 1);
  const Data_Set& set = *doc.sets[0];
  EXPECT_EQ(set.name, "X^2");
  EXPECT_EQ(Column(set, 0), (std::vector<double>{0, 0.25, 0.5, 0.75, 1}));
  EXPECT_EQ(Column(set, 1), (std::vector<double>{0, 0.0625, 0.25, 0.5625, 1}));
  EXPECT_EQ(doc.statusText, "Data set created");
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(doc.undoAvailable, 1);
  EXPECT_EQ(ui.dialogsShown, (std::vector<std::string>{"Create a Data Set"}));
  EXPECT_LT(doc.graph.xMin, 0);  // autoscaled around the new points
  EXPECT_GT(doc.graph.yMax, 1);
  EXPECT_EQ(ui.redraws, 1);
}

TEST_P(CreateDataSetCommand, CancelAddsNothing) {
  ui.dialogAnswers.push_back([](DialogModel&) { return false; });
  Dispatch(doc, ui, Cmd::CreateDataSet);
  EXPECT_EQ(doc.SetCount(), 0);
  EXPECT_EQ(doc.statusText, "");
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(ui.redraws, 1);
}

INSTANTIATE_TEST_SUITE_P(Evaluators, CreateDataSetCommand, ::testing::Values(true, false), EvaluatorName);

class CreateDataSetDialog : public WithBothEvaluators {
 protected:
  Data_Set set;
  CreateDataSetDialogModel dialog{set};
};

INSTANTIATE_TEST_SUITE_P(Evaluators, CreateDataSetDialog, ::testing::Values(true, false), EvaluatorName);

TEST_P(CreateDataSetDialog, TidiesTheRangeAndShowsItBack) {
  ASSERT_TRUE(Fill(dialog, "5", "1", "-2", "2*X"));
  EXPECT_EQ(dialog.xStart, "1");
  EXPECT_EQ(dialog.xEnd, "5");
  EXPECT_EQ(dialog.xStep, "2");
  EXPECT_EQ(Column(set, 0), (std::vector<double>{1, 3, 5}));
  EXPECT_EQ(Column(set, 1), (std::vector<double>{2, 6, 10}));

  ASSERT_TRUE(Fill(dialog, "3", "3", "0", "X"));
  EXPECT_EQ(dialog.xEnd, "4");
  EXPECT_EQ(dialog.xStep, "0.01");
  // 3 + i·0.01 up to 4 itself.
  const std::vector<double> xs = Column(set, 0);
  ASSERT_EQ(xs.size(), 101u);
  EXPECT_EQ(xs[0], 3);
  EXPECT_EQ(xs[1], 3.01);
  EXPECT_EQ(xs[50], 3 + 50 * 0.01);
  EXPECT_EQ(xs.back(), 4);

  ASSERT_TRUE(Fill(dialog, "0", "1", "0.01", "X"));
  EXPECT_EQ(Column(set, 0).size(), 101u);
  EXPECT_EQ(Column(set, 0).back(), 1);

  // Empty and unreadable fields read as 0.
  ASSERT_TRUE(Fill(dialog, "", "abc", "", "X"));
  EXPECT_EQ(dialog.xStart, "0");
  EXPECT_EQ(dialog.xEnd, "1");
  EXPECT_EQ(dialog.xStep, "0.01");
}

TEST_P(CreateDataSetDialog, AMathErrorStopsSamplingWithItsMessage) {
  SetNumericError(kLmSingularError, "LM matrix singular");  // another consumer's, not yet shown
  EXPECT_FALSE(Fill(dialog, "-1", "1", "0.5", "LN(X)"));
  EXPECT_EQ(dialog.errorMessages, "Argument domain error occured in fn:log Arg1:-1  Arg2:0");
  EXPECT_EQ(set.PointCount(0), 0);
  EXPECT_EQ(set.name, "LN(X)");
  EXPECT_EQ(NumericErrorState().code, kLmSingularError);
  EXPECT_EQ(NumericErrorState().message, "LM matrix singular");
  ClearNumericError();

  // Points before the failure stay until the next attempt replaces them all.
  EXPECT_FALSE(Fill(dialog, "0", "4", "1", "LN(3-X)"));
  EXPECT_EQ(dialog.errorMessages.rfind("Argument singularity error occured in fn:log", 0), 0u);
  EXPECT_EQ(Column(set, 0), (std::vector<double>{0, 1, 2}));
  EXPECT_EQ(NumericErrorState().code, 0);
  ASSERT_TRUE(Fill(dialog, "0", "1", "1", "X"));
  EXPECT_EQ(Column(set, 0), (std::vector<double>{0, 1}));
  EXPECT_EQ(Column(set, 1), (std::vector<double>{0, 1}));
}

TEST_P(CreateDataSetDialog, CompileFailuresKeepThePreviousEvaluator) {
  EXPECT_FALSE(dialog.pressOk());
  EXPECT_EQ(dialog.errorMessages, "Please enter a function");

  dialog.equation = "2*X";
  dialog.equationLostFocus();
  dialog.equation = "3*X+";
  dialog.equationLostFocus();
  EXPECT_EQ(dialog.errorMessages, "error:stack underflow");
  EXPECT_EQ(set.name, "3*X+");  // the name is the text as typed
  dialog.xStart = "1";
  dialog.xEnd = "2";
  dialog.xStep = "1";
  ASSERT_TRUE(dialog.pressOk());
  EXPECT_EQ(Column(set, 1), (std::vector<double>{2, 4}));

  dialog.equation = "(X";
  dialog.equationLostFocus();
  EXPECT_EQ(dialog.errorMessages, "Parentheses mismatch");
  // A good compile leaves the box as it was.
  dialog.equation = "X";
  dialog.equationLostFocus();
  EXPECT_EQ(dialog.errorMessages, "Parentheses mismatch");
}

TEST_P(CreateDataSetDialog, ParametersAreZero) {
  ASSERT_TRUE(Fill(dialog, "1", "2", "1", "A0+A31*X+1"));
  EXPECT_EQ(Column(set, 1), (std::vector<double>{1, 1}));
}

TEST_P(CreateDataSetDialog, RangesThatWouldNeverEndAreRefused) {
  struct Case {
    const char *start, *end, *step, *message;
  };
  const Case cases[] = {
      {"0", "1e12", "1", "Too many points: at most 10000000"},
      {"1e16", "1.0000000000001e16", "0.5", "XStep is too small for XStart and XEnd"},
      {"0", "inf", "1", "XStart, XEnd and XStep must be finite numbers"},
      {"nan", "1", "1", "XStart, XEnd and XStep must be finite numbers"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(Fill(dialog, c.start, c.end, c.step, "X")) << c.start << " " << c.end;
    EXPECT_EQ(dialog.errorMessages, c.message);
  }
  EXPECT_EQ(set.PointCount(0), 0);
}

TEST_P(CreateDataSetDialog, ScriptFieldsRefuseWhatAPersonCouldNotMean) {
  auto fields = dialog.scriptFields();
  ASSERT_EQ(fields.size(), 4u);
  EXPECT_EQ(fields[0].key, "xstart");
  EXPECT_EQ(fields[3].key, "equation");
  EXPECT_EQ(fields[0].set("1,5"), "not a number");
  EXPECT_EQ(fields[1].set(""), "not a number");
  EXPECT_EQ(fields[3].set("SIN(X"), "Parentheses mismatch");
  EXPECT_EQ(fields[3].set("X"), std::nullopt);
  EXPECT_TRUE(dialog.hasEvaluator());
}

// The Custom Equations dialog and its file.
class CustomEquations : public ::testing::Test {
 protected:
  // A folder of its own: tests run in parallel.
  void SetUp() override { dir = temp.path(); }
  std::string Path(const char* name) const { return (dir / name).string(); }
  static void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  testing::TempDir temp;
  std::filesystem::path dir;
};

TEST_F(CustomEquations, FileFormat) {
  struct Case {
    std::string text;
    std::vector<std::string> entries;
  };
  const std::string long253(253, 'x');
  const Case cases[] = {
      {"", {}},
      {"A0*X\nEXP(-X)", {"A0*X", "EXP(-X)"}},
      {"A0*X\r\nEXP(-X)\r\n", {"A0*X", "EXP(-X)"}},
      {"a\n\nb\n", {"a", "", "b"}},
      {"\n", {""}},
      {long253 + "\nb", {long253, "b"}},
      {long253 + "yz", {long253, "yz"}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseCustomEquations(c.text), c.entries) << c.text;
  EXPECT_EQ(FormatCustomEquations({"A0*X", "EXP(-X)"}), "A0*X\nEXP(-X)");
  EXPECT_EQ(FormatCustomEquations({}), "");
}

TEST_F(CustomEquations, LoadsSortedAndSavesWithoutATrailingLineBreak) {
  Write(Path("in.txt"), "b*X\nA1\nC\na0\n");
  CustomEquationsDialogModel dialog(Path("in.txt"));
  dialog.initialize();
  EXPECT_EQ(dialog.entries(), (std::vector<std::string>{"a0", "A1", "b*X", "C"}));
  EXPECT_EQ(dialog.shownSourceFile(), Path("in.txt"));
  EXPECT_EQ(dialog.editText, "");

  dialog.editText = "B";
  dialog.add();
  EXPECT_EQ(dialog.entries(), (std::vector<std::string>{"a0", "A1", "B", "b*X", "C"}));
  ASSERT_TRUE(dialog.save(Path("out.txt")));
  EXPECT_EQ(Read(Path("out.txt")), "a0\nA1\nB\nb*X\nC");
  EXPECT_EQ(dialog.sourceFile(), Path("out.txt"));
  EXPECT_EQ(dialog.shownSourceFile(), Path("out.txt"));

  CustomEquationsDialogModel reread(Path("out.txt"));
  reread.initialize();
  EXPECT_EQ(reread.entries(), dialog.entries());

  Write(Path("empty.txt"), "");
  reread.load(Path("empty.txt"));
  EXPECT_TRUE(reread.entries().empty());
}

TEST_F(CustomEquations, SelectionAddAndDeleteDecideTheAnswer) {
  Write(Path("eq.txt"), "X\nA0*X");
  CustomEquationsDialogModel dialog(Path("eq.txt"));
  dialog.initialize();
  dialog.deleteSelected();  // nothing selected: nothing happens
  EXPECT_EQ(dialog.entries().size(), 2u);
  dialog.select(1);
  EXPECT_EQ(dialog.equation(), "X");
  EXPECT_EQ(dialog.editText, "X");
  dialog.editText = "0";  // inserted before the selection, which stays on "X"
  dialog.add();
  EXPECT_EQ(dialog.equation(), "0");
  dialog.editText = "typed, not added";
  EXPECT_EQ(dialog.equation(), "0");
  EXPECT_EQ(dialog.selected(), 2);
  dialog.deleteSelected();
  EXPECT_EQ(dialog.entries(), (std::vector<std::string>{"0", "A0*X"}));
  dialog.editText = "";
  dialog.add();  // an empty text adds an empty entry
  EXPECT_EQ(dialog.entries(), (std::vector<std::string>{"", "0", "A0*X"}));
  dialog.deleteAll();
  EXPECT_TRUE(dialog.entries().empty());
}

TEST_F(CustomEquations, LoadCancelDiscardsChangesAndFailuresChangeNothing) {
  Write(Path("eq.txt"), "X");
  CustomEquationsDialogModel dialog(Path("eq.txt"));
  dialog.initialize();
  dialog.deleteAll();
  dialog.load(std::nullopt);
  EXPECT_EQ(dialog.entries(), (std::vector<std::string>{"X"}));

  EXPECT_FALSE(dialog.loadFile(Path("missing.txt")));
  // A pipe would wait for a writer and a device never end: both are refused.
  ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0644), 0);
  EXPECT_FALSE(dialog.loadFile(Path("pipe")));
  EXPECT_FALSE(dialog.loadFile("/dev/zero"));
  EXPECT_FALSE(dialog.save(Path("no/such/folder/eq.txt")));
  EXPECT_FALSE(dialog.save(std::nullopt));
  EXPECT_EQ(dialog.entries(), (std::vector<std::string>{"X"}));
  EXPECT_EQ(dialog.sourceFile(), Path("eq.txt"));
  EXPECT_EQ(Read(Path("eq.txt")), "X");

  CustomEquationsDialogModel fresh(Path("missing.txt"));
  fresh.initialize();
  EXPECT_TRUE(fresh.entries().empty());
  EXPECT_EQ(fresh.shownSourceFile(), "");
}

TEST_F(CustomEquations, ButtonsAskTheFileDialogs) {
  Write(Path("eq.txt"), "X");
  FakeUi ui;
  CustomEquationsDialogModel dialog(Path("eq.txt"));
  dialog.initialize();
  dialog.editText = "A0";
  dialog.add();
  ui.fileAnswers = {Path("saved.txt"), std::nullopt};
  dialog.pressSave(ui);
  dialog.pressLoad(ui);  // Cancel: reloads the source file, now saved.txt
  ASSERT_EQ(ui.fileDialogsShown.size(), 2u);
  EXPECT_EQ(ui.fileDialogsShown[0].request.initialName, Path("eq.txt"));
  EXPECT_TRUE(ui.fileDialogsShown[0].request.overwritePrompt);
  EXPECT_EQ(ui.fileDialogsShown[1].request.initialName, "*.txt");
  EXPECT_EQ(ui.fileDialogsShown[1].request.filter, "ASCII Text Files (*.txt);;All Files (*)");
  EXPECT_EQ(Read(Path("saved.txt")), "A0\nX");
  EXPECT_EQ(dialog.entries(), (std::vector<std::string>{"A0", "X"}));
}

TEST_F(CustomEquations, EditCustomEquationsHandsBackTheEquationAndFile) {
  Write(Path("eq.txt"), "EXP(-X/A0)\nA0*X");
  std::string fileName = Path("eq.txt");
  FakeUi ui;
  ui.dialogAnswers.push_back([&](DialogModel& d) {
    auto& dialog = dynamic_cast<CustomEquationsDialogModel&>(d);
    EXPECT_EQ(dialog.entries().size(), 2u);  // loaded before it shows
    EXPECT_EQ(SetField(dialog, "select", "EXP(-X/A0)"), std::nullopt);
    EXPECT_EQ(SetField(dialog, "save", Path("copy.txt")), std::nullopt);
    return true;
  });
  EXPECT_EQ(EditCustomEquations(ui, fileName), "EXP(-X/A0)");
  EXPECT_EQ(fileName, Path("copy.txt"));

  ui.dialogAnswers.push_back([](DialogModel&) { return false; });
  EXPECT_EQ(EditCustomEquations(ui, fileName), std::nullopt);
  EXPECT_EQ(fileName, Path("copy.txt"));
}

TEST_F(CustomEquations, ScriptFieldsRefuseWhatTheyCannotDo) {
  Write(Path("eq.txt"), "X");
  CustomEquationsDialogModel dialog(Path("missing.txt"));
  dialog.initialize();
  std::vector<std::string> keys;
  for (auto& field : dialog.scriptFields()) keys.push_back(field.key);
  EXPECT_EQ(SetField(dialog, "source-file", Path("eq.txt")), std::nullopt);
  EXPECT_EQ(SetField(dialog, "load", Path("missing.txt")), "cannot open the file");
  EXPECT_EQ(SetField(dialog, "delete-all", "no"), "answer delete-all=yes");
  EXPECT_EQ(SetField(dialog, "delete", "5"), "no such entry in the list");
  EXPECT_EQ(SetField(dialog, "add", "a\nb"), "an equation is one line");
  EXPECT_EQ(SetField(dialog, "select", "0"), std::nullopt);
  EXPECT_EQ(SetField(dialog, "save", Path("no/such/folder/x.txt")), "cannot write the file");
  EXPECT_EQ(keys, (std::vector<std::string>{"source-file", "load", "delete-all", "delete", "add", "select", "save"}));
  EXPECT_EQ(dialog.equation(), "X");
  EXPECT_EQ(dialog.sourceFile(), Path("eq.txt"));
}

}  // namespace
}  // namespace zentrel
