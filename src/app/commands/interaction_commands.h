#pragma once
// View commands that ask for values or move the data: Box Area, Translate,
// Rotate Polar Origin, Labels and Print Size.

namespace zentrel {

class CZentrelDoc;
class Ui;

void OnBoxArea(CZentrelDoc& doc, Ui& ui);          // 32787, Ctrl+B
void OnTranslate(CZentrelDoc& doc, Ui& ui);        // 32805
void OnRotatePolarOrigin(CZentrelDoc& doc, Ui& ui);  // 32839
void OnLabels(CZentrelDoc& doc, Ui& ui);           // 32822
void OnPrintSize(CZentrelDoc& doc, Ui& ui);        // 32806

}  // namespace zentrel
