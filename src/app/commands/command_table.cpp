#include "app/commands/command_table.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "app/commands/bindings.h"
#include "model/document.h"

namespace zentrel {

namespace {

// Columns: id, caption, shortcut label, keys, prompt, tooltip, menu state,
// snapshot. Handlers and state predicates are joined in from the bindings.
std::vector<CommandInfo> Rows() {
  return {
    {CommandNumber(Cmd::New), "&New", "Ctrl+N", {"Ctrl+N"}, "Create a new document", "New", MenuState::None, false},
    {CommandNumber(Cmd::Open), "&Open...", "Ctrl+O", {"Ctrl+O"}, "Open an existing document", "Open", MenuState::None, false},
    {CommandNumber(Cmd::ImportGraph), "Import Graph", "Ctrl+I", {"Ctrl+I"}, "Imports all data sets from another graph.", "", MenuState::None, true},
    {CommandNumber(Cmd::ImportData), "&Import Data", " I", {"I"}, "Imports a data file", "", MenuState::None, true},
    {CommandNumber(Cmd::MultipleFileImporting), "Multiple File Importing", "M", {"M"}, "Import multiple files at once.", "", MenuState::None, true},
    {CommandNumber(Cmd::CloseData), "&Close Data", "C", {"C"}, "Close a data file", "", MenuState::None, false},
    {CommandNumber(Cmd::SelectActiveDataSets), "Select &Active  DataSets", "S", {"S"}, "Toggles Activation of a Data Set.", "", MenuState::None, false},
    {CommandNumber(Cmd::ExportData), "&Export Data", "E", {"E"}, "Saves a data set the selected format", "", MenuState::None, false},
    {CommandNumber(Cmd::ExportFitReport), "Export Fit Report...", "", {}, "Writes a fit's parameters, statistics and plot to a report", "", MenuState::None, false},
    {CommandNumber(Cmd::CreateDataSet), "Create DataSet", "", {}, "Creates a DataSet from an Equation", "", MenuState::None, true},
    {CommandNumber(Cmd::CreateDataSetFromFit), "Create DataSet From Fit", "", {}, "Creates a Dataset from a fit.", "", MenuState::None, true},
    {CommandNumber(Cmd::CopyDataSet), "Copy DataSet", "", {}, "Makes a copy of a dataset.", "", MenuState::None, true},
    {CommandNumber(Cmd::Save), "&Save", "Ctrl+S", {"Ctrl+S"}, "Save the active document", "Save", MenuState::None, false},
    {CommandNumber(Cmd::SaveAs), "Save &As...", "", {}, "Save the active document with a new name", "Save As", MenuState::None, false},
    {CommandNumber(Cmd::Print), "&Print...", "Ctrl+P", {"Ctrl+P"}, "Print the active document", "Print", MenuState::None, false},
    {CommandNumber(Cmd::PrintPreview), "Print Pre&view", "", {}, "Display full pages", "Print Preview", MenuState::None, false},
    {CommandNumber(Cmd::PrintSetup), "P&rint Setup...", "", {}, "Change the printer and printing options", "Print Setup", MenuState::None, false},
    {CommandNumber(Cmd::PrintSize), "Print Size", "", {}, "Set the printed size of the graph.", "", MenuState::None, false},
    {CommandNumber(Cmd::RecentFile), "Recent File", "", {}, "Open this document", "", MenuState::None, false},
    {CommandNumber(Cmd::Exit), "E&xit", "", {}, "Quit the application; prompts to save documents", "Exit", MenuState::None, false},
    {CommandNumber(Cmd::Undo), "&Undo", "Ctrl+Z", {"Alt+Backspace", "Ctrl+Z"}, "Undo the last action", "Undo", MenuState::Enable, false},
    {CommandNumber(Cmd::Redo), "&Redo", "Ctrl+Y", {"Ctrl+Y", "Ctrl+Shift+Z"}, "Redo the last undone action", "Redo", MenuState::Enable, false},
    {CommandNumber(Cmd::Cut), "Cu&t", "Ctrl+X", {"Shift+Delete", "Ctrl+X"}, "Cut the selection and put it on the Clipboard", "Cut", MenuState::None, false},
    {CommandNumber(Cmd::Copy), "&Copy", "Ctrl+C", {"Ctrl+C", "Ctrl+Insert"}, "Copy the selection and put it on the Clipboard", "Copy", MenuState::None, false},
    {CommandNumber(Cmd::Paste), "&Paste", "Ctrl+V", {"Ctrl+V", "Shift+Insert"}, "Insert Clipboard contents", "Paste", MenuState::None, false},
    {CommandNumber(Cmd::CopyGraph), "Copy &Graph", "Ctrl+Shift+C", {"Ctrl+Shift+C"}, "Copy the graph to the Clipboard as a picture", "", MenuState::None, false},
    {CommandNumber(Cmd::Toolbar), "&Toolbar", "", {}, "Show or hide the toolbar", "Toggle ToolBar", MenuState::None, false},
    {CommandNumber(Cmd::StatusBar), "&Status Bar", "", {}, "Show or hide the status bar", "Toggle StatusBar", MenuState::None, false},
    {CommandNumber(Cmd::Autoscale), "&Autoscale", "A", {"A"}, "Autoscale graph to display all points.", "", MenuState::None, false},
    {CommandNumber(Cmd::BoxArea), "Box Area", "Ctrl-B", {"Ctrl+B"}, "Allows you to input a selection rectangle.", "", MenuState::None, false},
    {CommandNumber(Cmd::Zoom), "&Zoom", "Z", {"Z"}, "Zooms in on the selected area of the graph", "", MenuState::None, false},
    {CommandNumber(Cmd::Unzoom), "&Unzoom", "U", {"U"}, "Undo last zoom.", "", MenuState::None, false},
    {CommandNumber(Cmd::AxisRanges), "Axis &Ranges...", "", {}, "Type the visible x and y ranges and choose logarithmic axes.", "", MenuState::None, false},
    {CommandNumber(Cmd::ShowPointMarkers), "Show &Point Markers", "", {}, "Toggles Point Markers", "", MenuState::Check, false},
    {CommandNumber(Cmd::ConnectionLines), "Connection Lines", "", {}, "Toggles the visibility of connecting lines on a set", "", MenuState::None, true},
    {CommandNumber(Cmd::UseAxisAbbreviations), "Use Axis Abbreviations", "", {}, "Toggles the use of abbreviations (m,u,M,K etc) for axes", "", MenuState::Check, false},
    {CommandNumber(Cmd::ShowZeroLines), "Show Zero Lines", "Alt-Z", {"Alt+Z"}, "Toggles lines at X=0 and Y=0", "", MenuState::Check, false},
    {CommandNumber(Cmd::ShowFitEquations), "Show Fit Equations", "", {}, "Toggles visibility of fit equations", "", MenuState::Check, false},
    {CommandNumber(Cmd::ShowYErrorBars), "Show Y Error Bars", "", {}, "Toggles Display of Y error bars", "", MenuState::Check, false},
    {CommandNumber(Cmd::ShowXErrorBars), "Show X Error Bars", "", {}, "Toggles Display of X error Bars", "", MenuState::Check, false},
    {CommandNumber(Cmd::DrawResiduals), "Draw Residuals", "R", {"R"}, "Draw the residuals of all fits.", "", MenuState::Check, false},
    {CommandNumber(Cmd::ShrinkResidual), "Shrink Residual", "-", {"-"}, "Shrink the Boundaries Currently Displayed.", "", MenuState::None, false},
    {CommandNumber(Cmd::EnlargeResidual), "Enlarge Residual", "+", {"+"}, "Enlarges the fit residuals", "", MenuState::None, false},
    {CommandNumber(Cmd::LogXAxis), "Log X Axis", "Ctrl-L", {"Ctrl+L"}, "Uses a Logarithmic scale for the X axis when checked.", "", MenuState::Check, false},
    {CommandNumber(Cmd::LogYAxis), "Log Y Axis", "L", {"L"}, "Uses a Logarithmic scale for the Y axis when checked.", "", MenuState::Check, false},
    {CommandNumber(Cmd::ChangeSetColor), "Change Set Color", "Alt-C", {"Alt+C"}, "Changes the color of a dataset.", "", MenuState::None, true},
    {CommandNumber(Cmd::RenameDataset), "Rename Dataset", "", {}, "Renames a dataset", "", MenuState::None, true},
    {CommandNumber(Cmd::Labels), "Labels", "", {}, "Change Axis Labels & Title", "", MenuState::None, true},
    {CommandNumber(Cmd::MoveDatasetToFront), "Move Dataset to front", "", {}, "Makes a dataset the first set drawn.", "", MenuState::None, false},
    {CommandNumber(Cmd::MoveDatasetToBack), "Move Dataset to back", "", {}, "Makes a dataset the last to be drawn", "", MenuState::None, false},
    {CommandNumber(Cmd::EditComments), "Edit Comments", "Ctrl-E", {"Ctrl+E"}, "Edit a Dataset's comments", "", MenuState::None, true},
    {CommandNumber(Cmd::PolarPlot), "Polar Plot", "", {}, "Plot using Polar coodinates instead of rectangular coordinates", "", MenuState::Check, false},
    {CommandNumber(Cmd::UseRadians), "Use Radians", "", {}, "Changes polar units between radians and degrees", "", MenuState::Check, false},
    {CommandNumber(Cmd::RotatePolarOrigin), "Rotate Polar Origin", "", {}, "Rotates Polar Origin.", "", MenuState::None, false},
    {CommandNumber(Cmd::PaperStyle), "Paper Style", "", {}, "Draws the graph for print: round ticks, a legend, smooth fits", "", MenuState::Check, false},
    {CommandNumber(Cmd::ShowLegend), "Legend", "", {}, "Shows the legend of the paper style", "", MenuState::Check, false},
    {CommandNumber(Cmd::DeletePoints), "&Delete Points", "Ctrl-D", {"Ctrl+D"}, "Delete Selected Points", "", MenuState::None, true},
    {CommandNumber(Cmd::Operate), "&Operate", "O", {"O"}, "Operate on selected data sets", "", MenuState::None, true},
    {CommandNumber(Cmd::SetOperate), "&Set Operate", "Alt-O", {"Alt+O"}, "Operate between two sets or fits", "", MenuState::None, true},
    {CommandNumber(Cmd::Normalize), "&Normalize", "N", {"N"}, "Scales data set so the the selected peak is 1.0", "", MenuState::None, true},
    {CommandNumber(Cmd::BaselineCorrection), "&Baseline Correction", "B", {"B"}, "Subtracts average of all the selected points.", "", MenuState::None, true},
    {CommandNumber(Cmd::ShiftPeak), "Shift &Peak", "P", {"P"}, "Moves peak to X=0", "", MenuState::None, true},
    {CommandNumber(Cmd::Smooth), "&Smooth", "Alt-S", {"Alt+S"}, "Smooth data set.", "", MenuState::None, true},
    {CommandNumber(Cmd::LinearInterpolation), "&Linear Interpolation", "", {}, "Interpolate points between each current point.", "", MenuState::None, true},
    {CommandNumber(Cmd::OverlapSets), "O&verlap sets", "V", {"V"}, "Tries to overlap selected data sets.", "", MenuState::None, true},
    {CommandNumber(Cmd::OverlapContInt), "Overlap cont int", "", {}, "Overlap with integrals continuous.", "", MenuState::None, true},
    {CommandNumber(Cmd::OverlapScalingX), "Overlap scaling X", "", {}, "Overlaps sets by scaling the X Values", "", MenuState::None, true},
    {CommandNumber(Cmd::CombineSets), "&Combine sets", "", {}, "Combines selected sets togeather.", "", MenuState::None, true},
    {CommandNumber(Cmd::SortSet), "Sort Set", "", {}, "Sort Data ascending", "", MenuState::None, false},
    {CommandNumber(Cmd::Translate), "&Translate", "", {}, "Translate datasets and fits", "", MenuState::None, true},
    {CommandNumber(Cmd::ReverseDataset), "Reverse Dataset", "Alt-R", {"Alt+R"}, "Reverses the X-axis", "", MenuState::None, true},
    {CommandNumber(Cmd::InvertDataset), "Invert Dataset", "Alt-I", {"Alt+I"}, "", "", MenuState::None, true},
    {CommandNumber(Cmd::ScaledSubtr), "Scaled Subtr", "", {}, "Subtracts on set from another multiplied by a scaling factor", "", MenuState::None, false},
    {CommandNumber(Cmd::ScaleUp), "Scale up ", "uparrow", {"Up"}, "Increase scaled subtr scale", "", MenuState::None, false},
    {CommandNumber(Cmd::ScaleDown), "Scale Down", "downarrow", {"Down"}, "Decreases scaled subtr scale", "", MenuState::None, false},
    {CommandNumber(Cmd::ScaleIncrease), "Scale increase", "rightarrow", {"Right"}, "Increase scaling factor", "", MenuState::None, false},
    {CommandNumber(Cmd::ScaleDecrease), "Scale decrease", "leftarrow", {"Left"}, "Decrease scaling factor", "", MenuState::None, false},
    {CommandNumber(Cmd::SaveScaledSub), "Save Scaled sub", "", {}, "Saves the scaled subtraction to a dataset", "", MenuState::None, true},
    {CommandNumber(Cmd::IntegrateDataset), "Integrate dataset", "", {}, "Integrates the dataset at each point", "", MenuState::None, false},
    {CommandNumber(Cmd::DifferentiateDataset), "Differentiate dataset", "", {}, "Convert dataset to its derivative", "", MenuState::None, false},
    {CommandNumber(Cmd::Fit), "Fit", "f", {"F"}, "Brings up the fitting dialog box.", "", MenuState::None, true},
    {CommandNumber(Cmd::RefitSet), "&Refit set ", "Ctrl-r", {"Ctrl+R"}, "Try to refine a fit.", "", MenuState::None, false},
    {CommandNumber(Cmd::RefitLastEditedFit), "Refit Last Edited Fit", "Alt-L", {"Alt+L"}, "Refits the last fit that was edited.", "", MenuState::None, false},
    {CommandNumber(Cmd::DeleteFit), "&Delete Fit", "", {}, "Deletes an unwanted fit.", "", MenuState::None, true},
    {CommandNumber(Cmd::HideShowFit), "&Hide/Show Fit", " Ctrl-H", {"Ctrl+H"}, "Toggle visibility of  a fit", "", MenuState::None, true},
    {CommandNumber(Cmd::HideAllFits), "Hide All Fits", "", {}, "Hides all the fits associated with a particular dataset.", "", MenuState::None, true},
    {CommandNumber(Cmd::DeleteAllFits), "Delete All Fits", "", {}, "Deletes all fits for a selected dataset.", "", MenuState::None, true},
    {CommandNumber(Cmd::GlobalFit), "Global Fit...", "", {}, "Fits several data sets together, some parameters shared by all.", "", MenuState::None, false},
    {CommandNumber(Cmd::Integral), "Integral", "Ctrl-Alt-I", {"Ctrl+Alt+I"}, "Calculate Integral of selected area.", "", MenuState::None, false},
    {CommandNumber(Cmd::Mean), "Mean", "", {}, "Calculate Mean of selected Area", "", MenuState::None, false},
    {CommandNumber(Cmd::StandardDev), "Standard Dev", "", {}, "Calculates the standard deviation of  the selected area", "", MenuState::None, false},
    {CommandNumber(Cmd::Autocorrelation), "Autocorrelation", "", {}, "Calculated a sets autocorrelaton (assumes equally spaced points)", "", MenuState::None, true},
    {CommandNumber(Cmd::ResidualAutocorrelation), "Residual Autocorrelaiton", "", {}, "Calculate the autocorrelation of a fit residual.", "", MenuState::None, true},
    {CommandNumber(Cmd::FourierTransform), "Fourier Transform", "", {}, "Calculate the fourier Transform of a dataset", "", MenuState::None, true},
    {CommandNumber(Cmd::PowerSpectrum), "Power Spectrum", "", {}, "Calculate a set's power specturm", "", MenuState::None, true},
    {CommandNumber(Cmd::Properties), "Properties", "", {}, "Display a requestor with properties of a dataset", "", MenuState::None, false},
    {CommandNumber(Cmd::Deconvolve), "Deconvolve", "", {}, "Deconvolve two datasets", "", MenuState::None, true},
    {CommandNumber(Cmd::Convolution), "Convolution", "", {}, "Calculate the convolution of two datasets", "", MenuState::None, true},
    {CommandNumber(Cmd::HelpTopics), "&Help Topics", "", {}, "List Help topics", "Help Topics", MenuState::None, false},
    {CommandNumber(Cmd::About), "&About Zentrel...", "", {}, "Display program information, version number and copyright", "About", MenuState::None, false},
    {CommandNumber(Cmd::ToggleSet1), "", "", {"1"}, "", "", MenuState::None, false},
    {CommandNumber(Cmd::ToggleSet2), "", "", {"2"}, "", "", MenuState::None, false},
    {CommandNumber(Cmd::ToggleSet3), "", "", {"3"}, "", "", MenuState::None, false},
    {CommandNumber(Cmd::ToggleSet4), "", "", {"4"}, "", "", MenuState::None, false},
    {CommandNumber(Cmd::ToggleSet5), "", "", {"5"}, "", "", MenuState::None, false},
    {CommandNumber(Cmd::ToggleSet6), "", "", {"6"}, "", "", MenuState::None, false},
    {CommandNumber(Cmd::ToggleSet7), "", "", {"7"}, "", "", MenuState::None, false},
    {CommandNumber(Cmd::ToggleSet8), "", "", {"8"}, "", "", MenuState::None, false},
    {CommandNumber(Cmd::ToggleSet9), "", "", {"9"}, "", "", MenuState::None, false},
    {CommandNumber(Cmd::ToggleSet10), "", "", {"0"}, "", "", MenuState::None, false},
    {CommandNumber(Cmd::ToggleSet11), "", "", {"Ctrl+1"}, "", "", MenuState::None, false},
    {CommandNumber(Cmd::ToggleSet12), "", "", {"Ctrl+2"}, "", "", MenuState::None, false},
    {CommandNumber(Cmd::ToggleSet13), "", "", {"Ctrl+3"}, "", "", MenuState::None, false},
    {CommandNumber(Cmd::ToggleSet14), "", "", {"Ctrl+4"}, "", "", MenuState::None, false},
    {CommandNumber(Cmd::ToggleSet15), "", "", {"Ctrl+5"}, "", "", MenuState::None, false},
    {CommandNumber(Cmd::ToggleSet16), "", "", {"Ctrl+6"}, "", "", MenuState::None, false},
    {CommandNumber(Cmd::ToggleSet17), "", "", {"Ctrl+7"}, "", "", MenuState::None, false},
    {CommandNumber(Cmd::ToggleSet18), "", "", {"Ctrl+8"}, "", "", MenuState::None, false},
    {CommandNumber(Cmd::ToggleSet19), "", "", {"Ctrl+9"}, "", "", MenuState::None, false},
    {CommandNumber(Cmd::ToggleSet20), "", "", {"Ctrl+0"}, "", "", MenuState::None, false},
    {CommandNumber(Cmd::WaveImport), "", "", {"X"}, "Test loading a .wav file", "", MenuState::None, false},
    {CommandNumber(Cmd::Help), "", "", {"F1"}, "Display help for current task or command", "Help", MenuState::None, false},
    {CommandNumber(Cmd::ContextHelp), "", "", {"Shift+F1"}, "Display help for clicked on buttons, menus and windows", "Help", MenuState::None, false},
    {CommandNumber(Cmd::NextPane), "", "", {"F6"}, "Switch to the next window pane", "Next Pane", MenuState::None, false},
    {CommandNumber(Cmd::PreviousPane), "", "", {"Shift+F6"}, "Switch back to the previous window pane", "Previous Pane", MenuState::None, false},
  };
}

// Every subsystem's command bindings.
constexpr BindingList kBindingLists[] = {
    &SetCommandBindings,
    &ViewCommandBindings,
    &IoCommandBindings,
    &ExpressionCommandBindings,
    &FileCommandBindings,
    &InteractionCommandBindings,
    &TransformCommandBindings,
    &SetArithmeticCommandBindings,
    &FitCommandBindings,
    &PointwiseCommandBindings,
    &SmoothingCommandBindings,
};

const std::vector<CommandInfo>& Table() {
  static const std::vector<CommandInfo> table = [] {
    std::vector<CommandInfo> rows = Rows();
    for (auto list : kBindingLists) {
      for (const CommandBinding& binding : list()) {
        for (auto& row : rows) {
          if (row.id != CommandNumber(binding.id)) continue;
          row.handler = binding.handler;
          row.stateOf = binding.stateOf;
        }
      }
    }
    return rows;
  }();
  return table;
}

const MenuEntry kMenuBar[] = {
    {MenuEntry::Menu, "&File", {}},
    {MenuEntry::Command, "", Cmd::New},
    {MenuEntry::Command, "", Cmd::Open},
    {MenuEntry::Command, "", Cmd::ImportGraph},
    {MenuEntry::Command, "", Cmd::ImportData},
    {MenuEntry::Command, "", Cmd::MultipleFileImporting},
    {MenuEntry::Command, "", Cmd::CloseData},
    {MenuEntry::Command, "", Cmd::SelectActiveDataSets},
    {MenuEntry::Command, "", Cmd::ExportData},
    {MenuEntry::Command, "", Cmd::ExportFitReport},
    {MenuEntry::Command, "", Cmd::CreateDataSet},
    {MenuEntry::Command, "", Cmd::CreateDataSetFromFit},
    {MenuEntry::Command, "", Cmd::CopyDataSet},
    {MenuEntry::Command, "", Cmd::Save},
    {MenuEntry::Command, "", Cmd::SaveAs},
    {MenuEntry::Separator, "", {}},
    {MenuEntry::Command, "", Cmd::Print},
    {MenuEntry::Command, "", Cmd::PrintPreview},
    {MenuEntry::Command, "", Cmd::PrintSetup},
    {MenuEntry::Command, "", Cmd::PrintSize},
    {MenuEntry::Separator, "", {}},
    {MenuEntry::Command, "", Cmd::RecentFile},
    {MenuEntry::Separator, "", {}},
    {MenuEntry::Command, "", Cmd::Exit},
    {MenuEntry::Menu, "&Edit", {}},
    {MenuEntry::Command, "", Cmd::Undo},
    {MenuEntry::Command, "", Cmd::Redo},
    {MenuEntry::Separator, "", {}},
    {MenuEntry::Command, "", Cmd::Cut},
    {MenuEntry::Command, "", Cmd::Copy},
    {MenuEntry::Command, "", Cmd::Paste},
    {MenuEntry::Separator, "", {}},
    {MenuEntry::Command, "", Cmd::CopyGraph},
    {MenuEntry::Menu, "&View", {}},
    {MenuEntry::Command, "", Cmd::Toolbar},
    {MenuEntry::Command, "", Cmd::StatusBar},
    {MenuEntry::Command, "", Cmd::Autoscale},
    {MenuEntry::Command, "", Cmd::BoxArea},
    {MenuEntry::Command, "", Cmd::Zoom},
    {MenuEntry::Command, "", Cmd::Unzoom},
    {MenuEntry::Command, "", Cmd::AxisRanges},
    {MenuEntry::Command, "", Cmd::ShowPointMarkers},
    {MenuEntry::Command, "", Cmd::ConnectionLines},
    {MenuEntry::Command, "", Cmd::UseAxisAbbreviations},
    {MenuEntry::Command, "", Cmd::ShowZeroLines},
    {MenuEntry::Command, "", Cmd::ShowFitEquations},
    {MenuEntry::Command, "", Cmd::ShowYErrorBars},
    {MenuEntry::Command, "", Cmd::ShowXErrorBars},
    {MenuEntry::Command, "", Cmd::DrawResiduals},
    {MenuEntry::Command, "", Cmd::ShrinkResidual},
    {MenuEntry::Command, "", Cmd::EnlargeResidual},
    {MenuEntry::Command, "", Cmd::LogXAxis},
    {MenuEntry::Command, "", Cmd::LogYAxis},
    {MenuEntry::Command, "", Cmd::ChangeSetColor},
    {MenuEntry::Command, "", Cmd::RenameDataset},
    {MenuEntry::Command, "", Cmd::Labels},
    {MenuEntry::Command, "", Cmd::MoveDatasetToFront},
    {MenuEntry::Command, "", Cmd::MoveDatasetToBack},
    {MenuEntry::Command, "", Cmd::EditComments},
    {MenuEntry::Command, "", Cmd::PolarPlot},
    {MenuEntry::Command, "", Cmd::UseRadians},
    {MenuEntry::Command, "", Cmd::RotatePolarOrigin},
    {MenuEntry::Separator, "", {}},
    {MenuEntry::Command, "", Cmd::PaperStyle},
    {MenuEntry::Command, "", Cmd::ShowLegend},
    {MenuEntry::Menu, "&Modify", {}},
    {MenuEntry::Command, "", Cmd::DeletePoints},
    {MenuEntry::Command, "", Cmd::Operate},
    {MenuEntry::Command, "", Cmd::SetOperate},
    {MenuEntry::Command, "", Cmd::Normalize},
    {MenuEntry::Command, "", Cmd::BaselineCorrection},
    {MenuEntry::Command, "", Cmd::ShiftPeak},
    {MenuEntry::Command, "", Cmd::Smooth},
    {MenuEntry::Command, "", Cmd::LinearInterpolation},
    {MenuEntry::Command, "", Cmd::OverlapSets},
    {MenuEntry::Command, "", Cmd::OverlapContInt},
    {MenuEntry::Command, "", Cmd::OverlapScalingX},
    {MenuEntry::Command, "", Cmd::CombineSets},
    {MenuEntry::Command, "", Cmd::SortSet},
    {MenuEntry::Command, "", Cmd::Translate},
    {MenuEntry::Command, "", Cmd::ReverseDataset},
    {MenuEntry::Command, "", Cmd::InvertDataset},
    {MenuEntry::Command, "", Cmd::ScaledSubtr},
    {MenuEntry::Command, "", Cmd::ScaleUp},
    {MenuEntry::Command, "", Cmd::ScaleDown},
    {MenuEntry::Command, "", Cmd::ScaleIncrease},
    {MenuEntry::Command, "", Cmd::ScaleDecrease},
    {MenuEntry::Command, "", Cmd::SaveScaledSub},
    {MenuEntry::Command, "", Cmd::IntegrateDataset},
    {MenuEntry::Command, "", Cmd::DifferentiateDataset},
    {MenuEntry::Menu, "&Analysis", {}},
    {MenuEntry::Command, "", Cmd::Fit},
    {MenuEntry::Command, "", Cmd::RefitSet},
    {MenuEntry::Command, "", Cmd::RefitLastEditedFit},
    {MenuEntry::Command, "", Cmd::DeleteFit},
    {MenuEntry::Command, "", Cmd::HideShowFit},
    {MenuEntry::Command, "", Cmd::HideAllFits},
    {MenuEntry::Command, "", Cmd::DeleteAllFits},
    {MenuEntry::Command, "", Cmd::GlobalFit},
    {MenuEntry::Menu, "&Calculate", {}},
    {MenuEntry::Command, "", Cmd::Integral},
    {MenuEntry::Command, "", Cmd::Mean},
    {MenuEntry::Command, "", Cmd::StandardDev},
    {MenuEntry::Command, "", Cmd::Autocorrelation},
    {MenuEntry::Command, "", Cmd::ResidualAutocorrelation},
    {MenuEntry::Command, "", Cmd::FourierTransform},
    {MenuEntry::Command, "", Cmd::PowerSpectrum},
    {MenuEntry::Command, "", Cmd::Properties},
    {MenuEntry::Command, "", Cmd::Deconvolve},
    {MenuEntry::Command, "", Cmd::Convolution},
    {MenuEntry::Menu, "&Help", {}},
    {MenuEntry::Command, "", Cmd::HelpTopics},
    {MenuEntry::Separator, "", {}},
    {MenuEntry::Command, "", Cmd::About},
};

const std::optional<Cmd> kToolbar[] = {Cmd::New, Cmd::Open, Cmd::Save, std::nullopt, Cmd::Cut, Cmd::Copy, Cmd::Paste, std::nullopt, Cmd::Print, Cmd::About, Cmd::ContextHelp};

}  // namespace

std::span<const CommandInfo> AllCommands() { return Table(); }
std::span<const MenuEntry> MenuBarLayout() { return kMenuBar; }
std::span<const std::optional<Cmd>> ToolbarLayout() { return kToolbar; }
std::span<const BindingList> BindingLists() { return kBindingLists; }

const CommandInfo* FindCommand(int id) {
  for (const auto& command : Table())
    if (command.id == id) return &command;
  return nullptr;
}

const CommandInfo& FindCommand(Cmd id) { return *FindCommand(CommandNumber(id)); }

std::string MenuName(const CommandInfo& command) {
  std::string text(command.caption);
  std::erase(text, '&');
  if (auto dots = text.find("..."); dots != std::string::npos) text.erase(dots, 3);
  std::string name;
  bool pendingBlank = false;
  for (char c : text) {
    if (c == ' ') {
      pendingBlank = !name.empty();
      continue;
    }
    if (pendingBlank) name += ' ';
    pendingBlank = false;
    name += c;
  }
  return name;
}

std::string ScriptName(const CommandInfo& command) {
  std::string name = MenuName(command);
  for (char& c : name) c = c == ' ' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

const CommandInfo* FindCommandByScriptName(std::string_view name) {
  int id = 0;
  const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), id);
  if (error == std::errc() && end == name.data() + name.size()) return FindCommand(id);
  for (const auto& command : Table())
    if (!command.caption.empty() && ScriptName(command) == name) return &command;
  return nullptr;
}

bool IsCommandEnabled(const CZentrelDoc& doc, const CommandInfo& command) {
  if (command.handler == nullptr) return false;
  if (command.state == MenuState::Enable && command.stateOf != nullptr) return command.stateOf(doc);
  return true;
}

bool IsCommandChecked(const CZentrelDoc& doc, const CommandInfo& command) {
  return command.state == MenuState::Check && command.stateOf != nullptr && command.stateOf(doc);
}

}  // namespace zentrel
