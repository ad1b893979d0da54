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
    {57600, "&New", "Ctrl+N", {"Ctrl+N"}, "Create a new document", "New", MenuState::None, false},
    {57601, "&Open...", "Ctrl+O", {"Ctrl+O"}, "Open an existing document", "Open", MenuState::None, false},
    {32784, "Import Graph", "Ctrl+I", {"Ctrl+I"}, "Imports all data sets from another graph.", "", MenuState::None, true},
    {32771, "&Import Data", " I", {"I"}, "Imports a data file", "", MenuState::None, true},
    {32826, "Multiple File Importing", "M", {"M"}, "Import multiple files at once.", "", MenuState::None, true},
    {32772, "&Close Data", "C", {"C"}, "Close a data file", "", MenuState::None, false},
    {32774, "Select &Active  DataSets", "S", {"S"}, "Toggles Activation of a Data Set.", "", MenuState::None, false},
    {32776, "&Export Data", "E", {"E"}, "Saves a data set the selected format", "", MenuState::None, false},
    {32773, "Create DataSet", "", {}, "Creates a DataSet from an Equation", "", MenuState::None, true},
    {32807, "Create DataSet From Fit", "", {}, "Creates a Dataset from a fit.", "", MenuState::None, true},
    {32831, "Copy DataSet", "", {}, "Makes a copy of a dataset.", "", MenuState::None, true},
    {57603, "&Save", "Ctrl+S", {"Ctrl+S"}, "Save the active document", "Save", MenuState::None, false},
    {57604, "Save &As...", "", {}, "Save the active document with a new name", "Save As", MenuState::None, false},
    {57607, "&Print...", "Ctrl+P", {"Ctrl+P"}, "Print the active document", "Print", MenuState::None, false},
    {57609, "Print Pre&view", "", {}, "Display full pages", "Print Preview", MenuState::None, false},
    {57606, "P&rint Setup...", "", {}, "Change the printer and printing options", "Print Setup", MenuState::None, false},
    {32806, "Print Size", "", {}, "Set the printed size of the graph.", "", MenuState::None, false},
    {57616, "Recent File", "", {}, "Open this document", "", MenuState::None, false},
    {57665, "E&xit", "", {}, "Quit the application; prompts to save documents", "Exit", MenuState::None, false},
    {57643, "&Undo", "Ctrl+Z", {"Alt+Backspace", "Ctrl+Z"}, "Undo the last action", "Undo", MenuState::Enable, false},
    {57635, "Cu&t", "Ctrl+X", {"Shift+Delete", "Ctrl+X"}, "Cut the selection and put it on the Clipboard", "Cut", MenuState::None, false},
    {57634, "&Copy", "Ctrl+C", {"Ctrl+C", "Ctrl+Insert"}, "Copy the selection and put it on the Clipboard", "Copy", MenuState::None, false},
    {57637, "&Paste", "Ctrl+V", {"Ctrl+V", "Shift+Insert"}, "Insert Clipboard contents", "Paste", MenuState::None, false},
    {59392, "&Toolbar", "", {}, "Show or hide the toolbar", "Toggle ToolBar", MenuState::None, false},
    {59393, "&Status Bar", "", {}, "Show or hide the status bar", "Toggle StatusBar", MenuState::None, false},
    {32777, "&Autoscale", "A", {"A"}, "Autoscale graph to display all points.", "", MenuState::None, false},
    {32787, "Box Area", "Ctrl-B", {"Ctrl+B"}, "Allows you to input a selection rectangle.", "", MenuState::None, false},
    {32778, "&Zoom", "Z", {"Z"}, "Zooms in on the selected area of the graph", "", MenuState::None, false},
    {32809, "&Unzoom", "U", {"U"}, "Undo last zoom.", "", MenuState::None, false},
    {32781, "Show &Point Markers", "", {}, "Toggles Point Markers", "", MenuState::Check, false},
    {32833, "Connection Lines", "", {}, "Toggles the visibility of connecting lines on a set", "", MenuState::None, true},
    {32871, "Use Axis Abbreviations", "", {}, "Toggles the use of abbreviations (m,u,M,K etc) for axes", "", MenuState::Check, false},
    {32796, "Show Zero Lines", "Alt-Z", {"Alt+Z"}, "Toggles lines at X=0 and Y=0", "", MenuState::Check, false},
    {32823, "Show Fit Equations", "", {}, "Toggles visibility of fit equations", "", MenuState::Check, false},
    {32824, "Show Y Error Bars", "", {}, "Toggles Display of Y error bars", "", MenuState::Check, false},
    {32825, "Show X Error Bars", "", {}, "Toggles Display of X error Bars", "", MenuState::Check, false},
    {32791, "Draw Residuals", "R", {"R"}, "Draw the residuals of all fits.", "", MenuState::Check, false},
    {32794, "Shrink Residual", "-", {"-"}, "Shrink the Boundaries Currently Displayed.", "", MenuState::None, false},
    {32793, "Enlarge Residual", "+", {"+"}, "Enlarges the fit residuals", "", MenuState::None, false},
    {32775, "Log X Axis", "Ctrl-L", {"Ctrl+L"}, "Uses a Logarithmic scale for the X axis when checked.", "", MenuState::Check, false},
    {32782, "Log Y Axis", "L", {"L"}, "Uses a Logarithmic scale for the Y axis when checked.", "", MenuState::Check, false},
    {32785, "Change Set Color", "Alt-C", {"Alt+C"}, "Changes the color of a dataset.", "", MenuState::None, true},
    {32821, "Rename Dataset", "", {}, "Renames a dataset", "", MenuState::None, true},
    {32822, "Labels", "", {}, "Change Axis Labels & Title", "", MenuState::None, true},
    {32828, "Move Dataset to front", "", {}, "Makes a dataset the first set drawn.", "", MenuState::None, false},
    {32829, "Move Dataset to back", "", {}, "Makes a dataset the last to be drawn", "", MenuState::None, false},
    {32832, "Edit Comments", "Ctrl-E", {"Ctrl+E"}, "Edit a Dataset's comments", "", MenuState::None, true},
    {32836, "Polar Plot", "", {}, "Plot using Polar coodinates instead of rectangular coordinates", "", MenuState::Check, false},
    {32838, "Use Radians", "", {}, "Changes polar units between radians and degrees", "", MenuState::Check, false},
    {32839, "Rotate Polar Origin", "", {}, "Rotates Polar Origin.", "", MenuState::None, false},
    {32779, "&Delete Points", "Ctrl-D", {"Ctrl+D"}, "Delete Selected Points", "", MenuState::None, true},
    {32780, "&Operate", "O", {"O"}, "Operate on selected data sets", "", MenuState::None, true},
    {32808, "&Set Operate", "Alt-O", {"Alt+O"}, "Operate between two sets or fits", "", MenuState::None, true},
    {32783, "&Normalize", "N", {"N"}, "Scales data set so the the selected peak is 1.0", "", MenuState::None, true},
    {32786, "&Baseline Correction", "B", {"B"}, "Subtracts average of all the selected points.", "", MenuState::None, true},
    {32788, "Shift &Peak", "P", {"P"}, "Moves peak to X=0", "", MenuState::None, true},
    {32797, "&Smooth", "Alt-S", {"Alt+S"}, "Smooth data set.", "", MenuState::None, true},
    {32798, "&Linear Interpolation", "", {}, "Interpolate points between each current point.", "", MenuState::None, true},
    {32799, "O&verlap sets", "V", {"V"}, "Tries to overlap selected data sets.", "", MenuState::None, true},
    {32866, "Overlap cont int", "", {}, "Overlap with integrals continuous.", "", MenuState::None, true},
    {32872, "Overlap scaling X", "", {}, "Overlaps sets by scaling the X Values", "", MenuState::None, true},
    {32800, "&Combine sets", "", {}, "Combines selected sets togeather.", "", MenuState::None, true},
    {32804, "Sort Set", "", {}, "Sort Data ascending", "", MenuState::None, false},
    {32805, "&Translate", "", {}, "Translate datasets and fits", "", MenuState::None, true},
    {32840, "Reverse Dataset", "Alt-R", {"Alt+R"}, "Reverses the X-axis", "", MenuState::None, true},
    {32842, "Invert Dataset", "Alt-I", {"Alt+I"}, "", "", MenuState::None, true},
    {32844, "Scaled Subtr", "", {}, "Subtracts on set from another multiplied by a scaling factor", "", MenuState::None, false},
    {32845, "Scale up ", "uparrow", {"Up"}, "Increase scaled subtr scale", "", MenuState::None, false},
    {32846, "Scale Down", "downarrow", {"Down"}, "Decreases scaled subtr scale", "", MenuState::None, false},
    {32847, "Scale increase", "rightarrow", {"Right"}, "Increase scaling factor", "", MenuState::None, false},
    {32848, "Scale decrease", "leftarrow", {"Left"}, "Decrease scaling factor", "", MenuState::None, false},
    {32849, "Save Scaled sub", "", {}, "Saves the scaled subtraction to a dataset", "", MenuState::None, true},
    {32864, "Integrate dataset", "", {}, "Integrates the dataset at each point", "", MenuState::None, false},
    {32865, "Differentiate dataset", "", {}, "Convert dataset to its derivative", "", MenuState::None, false},
    {32789, "Fit", "f", {"F"}, "Brings up the fitting dialog box.", "", MenuState::None, true},
    {32790, "&Refit set ", "Ctrl-r", {"Ctrl+R"}, "Try to refine a fit.", "", MenuState::None, false},
    {32850, "Refit Last Edited Fit", "Alt-L", {"Alt+L"}, "Refits the last fit that was edited.", "", MenuState::None, false},
    {32795, "&Delete Fit", "", {}, "Deletes an unwanted fit.", "", MenuState::None, true},
    {32803, "&Hide/Show Fit", " Ctrl-H", {"Ctrl+H"}, "Toggle visibility of  a fit", "", MenuState::None, true},
    {32869, "Hide All Fits", "", {}, "Hides all the fits associated with a particular dataset.", "", MenuState::None, true},
    {32870, "Delete All Fits", "", {}, "Deletes all fits for a selected dataset.", "", MenuState::None, true},
    {32792, "Integral", "Ctrl-Alt-I", {"Ctrl+Alt+I"}, "Calculate Integral of selected area.", "", MenuState::None, false},
    {32802, "Mean", "", {}, "Calculate Mean of selected Area", "", MenuState::None, false},
    {32830, "Standard Dev", "", {}, "Calculates the standard deviation of  the selected area", "", MenuState::None, false},
    {32827, "Autocorrelation", "", {}, "Calculated a sets autocorrelaton (assumes equally spaced points)", "", MenuState::None, true},
    {32834, "Residual Autocorrelaiton", "", {}, "Calculate the autocorrelation of a fit residual.", "", MenuState::None, true},
    {32843, "Fourier Transform", "", {}, "Calculate the fourier Transform of a dataset", "", MenuState::None, true},
    {32851, "Power Spectrum", "", {}, "Calculate a set's power specturm", "", MenuState::None, true},
    {32863, "Properties", "", {}, "Display a requestor with properties of a dataset", "", MenuState::None, false},
    {32867, "Deconvolve", "", {}, "Deconvolve two datasets", "", MenuState::None, true},
    {32862, "Convolution", "", {}, "Calculate the convolution of two datasets", "", MenuState::None, true},
    {57667, "&Help Topics", "", {}, "List Help topics", "Help Topics", MenuState::None, false},
    {57664, "&About Zentrel...", "", {}, "Display program information, version number and copyright", "About", MenuState::None, false},
    {32811, "", "", {"1"}, "", "", MenuState::None, false},
    {32812, "", "", {"2"}, "", "", MenuState::None, false},
    {32813, "", "", {"3"}, "", "", MenuState::None, false},
    {32814, "", "", {"4"}, "", "", MenuState::None, false},
    {32815, "", "", {"5"}, "", "", MenuState::None, false},
    {32816, "", "", {"6"}, "", "", MenuState::None, false},
    {32817, "", "", {"7"}, "", "", MenuState::None, false},
    {32818, "", "", {"8"}, "", "", MenuState::None, false},
    {32819, "", "", {"9"}, "", "", MenuState::None, false},
    {32820, "", "", {"0"}, "", "", MenuState::None, false},
    {32852, "", "", {"Ctrl+1"}, "", "", MenuState::None, false},
    {32854, "", "", {"Ctrl+2"}, "", "", MenuState::None, false},
    {32853, "", "", {"Ctrl+3"}, "", "", MenuState::None, false},
    {32855, "", "", {"Ctrl+4"}, "", "", MenuState::None, false},
    {32856, "", "", {"Ctrl+5"}, "", "", MenuState::None, false},
    {32857, "", "", {"Ctrl+6"}, "", "", MenuState::None, false},
    {32858, "", "", {"Ctrl+7"}, "", "", MenuState::None, false},
    {32859, "", "", {"Ctrl+8"}, "", "", MenuState::None, false},
    {32860, "", "", {"Ctrl+9"}, "", "", MenuState::None, false},
    {32861, "", "", {"Ctrl+0"}, "", "", MenuState::None, false},
    {32835, "", "", {"X"}, "Test loading a .wav file", "", MenuState::None, false},
    {57670, "", "", {"F1"}, "Display help for current task or command", "Help", MenuState::None, false},
    {57669, "", "", {"Shift+F1"}, "Display help for clicked on buttons, menus and windows", "Help", MenuState::None, false},
    {57680, "", "", {"F6"}, "Switch to the next window pane", "Next Pane", MenuState::None, false},
    {57681, "", "", {"Shift+F6"}, "Switch back to the previous window pane", "Previous Pane", MenuState::None, false},
  };
}

// Every subsystem's command bindings.
constexpr std::span<const CommandBinding> (*kBindingLists[])() = {
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
          if (row.id != binding.id) continue;
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
    {MenuEntry::Menu, "&File", 0},
    {MenuEntry::Command, "", 57600},
    {MenuEntry::Command, "", 57601},
    {MenuEntry::Command, "", 32784},
    {MenuEntry::Command, "", 32771},
    {MenuEntry::Command, "", 32826},
    {MenuEntry::Command, "", 32772},
    {MenuEntry::Command, "", 32774},
    {MenuEntry::Command, "", 32776},
    {MenuEntry::Command, "", 32773},
    {MenuEntry::Command, "", 32807},
    {MenuEntry::Command, "", 32831},
    {MenuEntry::Command, "", 57603},
    {MenuEntry::Command, "", 57604},
    {MenuEntry::Separator, "", 0},
    {MenuEntry::Command, "", 57607},
    {MenuEntry::Command, "", 57609},
    {MenuEntry::Command, "", 57606},
    {MenuEntry::Command, "", 32806},
    {MenuEntry::Separator, "", 0},
    {MenuEntry::Command, "", 57616},
    {MenuEntry::Separator, "", 0},
    {MenuEntry::Command, "", 57665},
    {MenuEntry::Menu, "&Edit", 0},
    {MenuEntry::Command, "", 57643},
    {MenuEntry::Separator, "", 0},
    {MenuEntry::Command, "", 57635},
    {MenuEntry::Command, "", 57634},
    {MenuEntry::Command, "", 57637},
    {MenuEntry::Menu, "&View", 0},
    {MenuEntry::Command, "", 59392},
    {MenuEntry::Command, "", 59393},
    {MenuEntry::Command, "", 32777},
    {MenuEntry::Command, "", 32787},
    {MenuEntry::Command, "", 32778},
    {MenuEntry::Command, "", 32809},
    {MenuEntry::Command, "", 32781},
    {MenuEntry::Command, "", 32833},
    {MenuEntry::Command, "", 32871},
    {MenuEntry::Command, "", 32796},
    {MenuEntry::Command, "", 32823},
    {MenuEntry::Command, "", 32824},
    {MenuEntry::Command, "", 32825},
    {MenuEntry::Command, "", 32791},
    {MenuEntry::Command, "", 32794},
    {MenuEntry::Command, "", 32793},
    {MenuEntry::Command, "", 32775},
    {MenuEntry::Command, "", 32782},
    {MenuEntry::Command, "", 32785},
    {MenuEntry::Command, "", 32821},
    {MenuEntry::Command, "", 32822},
    {MenuEntry::Command, "", 32828},
    {MenuEntry::Command, "", 32829},
    {MenuEntry::Command, "", 32832},
    {MenuEntry::Command, "", 32836},
    {MenuEntry::Command, "", 32838},
    {MenuEntry::Command, "", 32839},
    {MenuEntry::Menu, "&Modify", 0},
    {MenuEntry::Command, "", 32779},
    {MenuEntry::Command, "", 32780},
    {MenuEntry::Command, "", 32808},
    {MenuEntry::Command, "", 32783},
    {MenuEntry::Command, "", 32786},
    {MenuEntry::Command, "", 32788},
    {MenuEntry::Command, "", 32797},
    {MenuEntry::Command, "", 32798},
    {MenuEntry::Command, "", 32799},
    {MenuEntry::Command, "", 32866},
    {MenuEntry::Command, "", 32872},
    {MenuEntry::Command, "", 32800},
    {MenuEntry::Command, "", 32804},
    {MenuEntry::Command, "", 32805},
    {MenuEntry::Command, "", 32840},
    {MenuEntry::Command, "", 32842},
    {MenuEntry::Command, "", 32844},
    {MenuEntry::Command, "", 32845},
    {MenuEntry::Command, "", 32846},
    {MenuEntry::Command, "", 32847},
    {MenuEntry::Command, "", 32848},
    {MenuEntry::Command, "", 32849},
    {MenuEntry::Command, "", 32864},
    {MenuEntry::Command, "", 32865},
    {MenuEntry::Menu, "&Analysis", 0},
    {MenuEntry::Command, "", 32789},
    {MenuEntry::Command, "", 32790},
    {MenuEntry::Command, "", 32850},
    {MenuEntry::Command, "", 32795},
    {MenuEntry::Command, "", 32803},
    {MenuEntry::Command, "", 32869},
    {MenuEntry::Command, "", 32870},
    {MenuEntry::Menu, "&Calculate", 0},
    {MenuEntry::Command, "", 32792},
    {MenuEntry::Command, "", 32802},
    {MenuEntry::Command, "", 32830},
    {MenuEntry::Command, "", 32827},
    {MenuEntry::Command, "", 32834},
    {MenuEntry::Command, "", 32843},
    {MenuEntry::Command, "", 32851},
    {MenuEntry::Command, "", 32863},
    {MenuEntry::Command, "", 32867},
    {MenuEntry::Command, "", 32862},
    {MenuEntry::Menu, "&Help", 0},
    {MenuEntry::Command, "", 57667},
    {MenuEntry::Separator, "", 0},
    {MenuEntry::Command, "", 57664},
};

const int kToolbar[] = {57600, 57601, 57603, 0, 57635, 57634, 57637, 0, 57607, 57664, 57669};

}  // namespace

std::span<const CommandInfo> AllCommands() { return Table(); }
std::span<const MenuEntry> MenuBarLayout() { return kMenuBar; }
std::span<const int> ToolbarLayout() { return kToolbar; }

const CommandInfo* FindCommand(int id) {
  for (const auto& command : Table())
    if (command.id == id) return &command;
  return nullptr;
}

std::string ScriptName(const CommandInfo& command) {
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
    if (pendingBlank) name += '-';
    pendingBlank = false;
    name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
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
