#pragma once
// Commands that create, reopen, hide, delete and analyse the fits attached
// to data sets, and the fit picker they share.

#include <string>

namespace zentrel {

class CZentrelDoc;
class Data_Set;
class Fit;
class Ui;

// No fits: none. One fit and autoPickSingle: that fit, nothing shown.
// Otherwise the "Select a Set" list of the fits' names decides.
Fit* PickFit(Data_Set& set, Ui& ui, const std::string& prompt, bool autoPickSingle);

void OnFit(CZentrelDoc& doc, Ui& ui);                     // 32789
void OnRefitSet(CZentrelDoc& doc, Ui& ui);                // 32790
void OnRefitLastEditedFit(CZentrelDoc& doc, Ui& ui);      // 32850
void OnDeleteFit(CZentrelDoc& doc, Ui& ui);               // 32795
void OnDeleteAllFits(CZentrelDoc& doc, Ui& ui);           // 32870
void OnHideShowFit(CZentrelDoc& doc, Ui& ui);             // 32803
void OnHideAllFits(CZentrelDoc& doc, Ui& ui);             // 32869
void OnResidualAutocorrelation(CZentrelDoc& doc, Ui& ui); // 32834
void OnCreateDataSetFromFit(CZentrelDoc& doc, Ui& ui);    // 32807

}  // namespace zentrel
