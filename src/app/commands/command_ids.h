#pragma once
// The command ids by name. The numbers are the ones scripts may still give
// as text and `zentrel-cli commands` lists; everything written in C++ names
// a command through Cmd. The list is in command table order; the table's
// rows, the bindings and the layouts are written with these names, and
// tests/app/command_table_test.cpp checks both directions.

#include <algorithm>
#include <array>

namespace zentrel {

// X(Name, number) for every command, in the order of the command table.
#define ZENTREL_COMMAND_IDS(X) \
  X(New, 57600) \
  X(Open, 57601) \
  X(ImportGraph, 32784) \
  X(ImportData, 32771) \
  X(MultipleFileImporting, 32826) \
  X(CloseData, 32772) \
  X(SelectActiveDataSets, 32774) \
  X(ExportData, 32776) \
  X(ExportFitReport, 32912) \
  X(CreateDataSet, 32773) \
  X(CreateDataSetFromFit, 32807) \
  X(CopyDataSet, 32831) \
  X(Save, 57603) \
  X(SaveAs, 57604) \
  X(Print, 57607) \
  X(PrintPreview, 57609) \
  X(PrintSetup, 57606) \
  X(PrintSize, 32806) \
  X(RecentFile, 57616) \
  X(Exit, 57665) \
  X(Undo, 57643) \
  X(Redo, 32913) \
  X(Cut, 57635) \
  X(Copy, 57634) \
  X(Paste, 57637) \
  X(CopyGraph, 32890) \
  X(Toolbar, 59392) \
  X(StatusBar, 59393) \
  X(Autoscale, 32777) \
  X(BoxArea, 32787) \
  X(Zoom, 32778) \
  X(Unzoom, 32809) \
  X(AxisRanges, 32891) \
  X(ShowPointMarkers, 32781) \
  X(ConnectionLines, 32833) \
  X(UseAxisAbbreviations, 32871) \
  X(ShowZeroLines, 32796) \
  X(ShowFitEquations, 32823) \
  X(ShowYErrorBars, 32824) \
  X(ShowXErrorBars, 32825) \
  X(DrawResiduals, 32791) \
  X(ShrinkResidual, 32794) \
  X(EnlargeResidual, 32793) \
  X(LogXAxis, 32775) \
  X(LogYAxis, 32782) \
  X(ChangeSetColor, 32785) \
  X(RenameDataset, 32821) \
  X(Labels, 32822) \
  X(MoveDatasetToFront, 32828) \
  X(MoveDatasetToBack, 32829) \
  X(EditComments, 32832) \
  X(PolarPlot, 32836) \
  X(UseRadians, 32838) \
  X(RotatePolarOrigin, 32839) \
  X(PaperStyle, 32910) \
  X(ShowLegend, 32911) \
  X(DeletePoints, 32779) \
  X(Operate, 32780) \
  X(SetOperate, 32808) \
  X(Normalize, 32783) \
  X(BaselineCorrection, 32786) \
  X(ShiftPeak, 32788) \
  X(Smooth, 32797) \
  X(LinearInterpolation, 32798) \
  X(OverlapSets, 32799) \
  X(OverlapContInt, 32866) \
  X(OverlapScalingX, 32872) \
  X(CombineSets, 32800) \
  X(SortSet, 32804) \
  X(Translate, 32805) \
  X(ReverseDataset, 32840) \
  X(InvertDataset, 32842) \
  X(ScaledSubtr, 32844) \
  X(ScaleUp, 32845) \
  X(ScaleDown, 32846) \
  X(ScaleIncrease, 32847) \
  X(ScaleDecrease, 32848) \
  X(SaveScaledSub, 32849) \
  X(IntegrateDataset, 32864) \
  X(DifferentiateDataset, 32865) \
  X(Fit, 32789) \
  X(RefitSet, 32790) \
  X(RefitLastEditedFit, 32850) \
  X(DeleteFit, 32795) \
  X(HideShowFit, 32803) \
  X(HideAllFits, 32869) \
  X(DeleteAllFits, 32870) \
  X(GlobalFit, 32914) \
  X(Integral, 32792) \
  X(Mean, 32802) \
  X(StandardDev, 32830) \
  X(Autocorrelation, 32827) \
  X(ResidualAutocorrelation, 32834) \
  X(FourierTransform, 32843) \
  X(PowerSpectrum, 32851) \
  X(Properties, 32863) \
  X(Deconvolve, 32867) \
  X(Convolution, 32862) \
  X(HelpTopics, 57667) \
  X(About, 57664) \
  X(ToggleSet1, 32811) \
  X(ToggleSet2, 32812) \
  X(ToggleSet3, 32813) \
  X(ToggleSet4, 32814) \
  X(ToggleSet5, 32815) \
  X(ToggleSet6, 32816) \
  X(ToggleSet7, 32817) \
  X(ToggleSet8, 32818) \
  X(ToggleSet9, 32819) \
  X(ToggleSet10, 32820) \
  X(ToggleSet11, 32852) \
  X(ToggleSet12, 32854) \
  X(ToggleSet13, 32853) \
  X(ToggleSet14, 32855) \
  X(ToggleSet15, 32856) \
  X(ToggleSet16, 32857) \
  X(ToggleSet17, 32858) \
  X(ToggleSet18, 32859) \
  X(ToggleSet19, 32860) \
  X(ToggleSet20, 32861) \
  X(WaveImport, 32835) \
  X(Help, 57670) \
  X(ContextHelp, 57669) \
  X(NextPane, 57680) \
  X(PreviousPane, 57681)

enum class Cmd : int {
#define ZENTREL_CMD_ENUMERATOR(name, number) name = number,
  ZENTREL_COMMAND_IDS(ZENTREL_CMD_ENUMERATOR)
#undef ZENTREL_CMD_ENUMERATOR
};

// Every command id once, in table order.
inline constexpr std::array kAllCmds = {
#define ZENTREL_CMD_ELEMENT(name, number) Cmd::name,
    ZENTREL_COMMAND_IDS(ZENTREL_CMD_ELEMENT)
#undef ZENTREL_CMD_ELEMENT
};

constexpr int CommandNumber(Cmd command) { return static_cast<int>(command); }

namespace detail {
constexpr bool AllCommandNumbersDistinct() {
  auto numbers = kAllCmds;
  std::sort(numbers.begin(), numbers.end());
  return std::adjacent_find(numbers.begin(), numbers.end()) == numbers.end() && numbers.front() > Cmd{0};
}
}  // namespace detail

// Two names for one number would make a script's numeric id ambiguous; 0
// is nobody's id (the key map and the toolbar use it for "none").
static_assert(detail::AllCommandNumbersDistinct(), "two commands share an id");

}  // namespace zentrel
