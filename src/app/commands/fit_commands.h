#pragma once
// Commands that create, reopen, hide, delete and analyse the fits attached
// to data sets, and the fit picker they share.

#include <string>

#include "app/commands/command_outcome.h"

namespace zentrel {

class CZentrelDoc;
class Data_Set;
class Fit;
class Ui;

// No fits: none. One fit and autoPickSingle: that fit, nothing shown.
// Otherwise the "Select a Set" list of the fits' names decides.
Fit* PickFit(Data_Set& set, Ui& ui, const std::string& prompt, bool autoPickSingle);

CommandOutcome OnFit(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnRefitSet(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnRefitLastEditedFit(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnDeleteFit(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnDeleteAllFits(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnHideShowFit(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnHideAllFits(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnResidualAutocorrelation(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnCreateDataSetFromFit(CZentrelDoc& doc, Ui& ui);
// Export Fit Report...: the picked fit's report (.md or .json) and its plot beside it.
CommandOutcome OnExportFitReport(CZentrelDoc& doc, Ui& ui);
// Global Fit...: the Global Fit dialog over the active sets (global_fit_command.cpp).
CommandOutcome OnGlobalFit(CZentrelDoc& doc, Ui& ui);

}  // namespace zentrel
