#pragma once
// Set arithmetic commands: Set Operate, Combine sets, the three overlaps and
// the scaled subtraction with its arrow-key companions.

namespace zentrel {

class CZentrelDoc;
class Ui;

void OnSetOperate(CZentrelDoc& doc, Ui& ui);       // 32808, Alt+O
void OnCombineSets(CZentrelDoc& doc, Ui& ui);      // 32800
void OnOverlapSets(CZentrelDoc& doc, Ui& ui);      // 32799, V
void OnOverlapContInt(CZentrelDoc& doc, Ui& ui);   // 32866
void OnOverlapScalingX(CZentrelDoc& doc, Ui& ui);  // 32872
void OnScaledSubtr(CZentrelDoc& doc, Ui& ui);      // 32844
void OnScaleUp(CZentrelDoc& doc, Ui& ui);          // 32845, Up: step x 10
void OnScaleDown(CZentrelDoc& doc, Ui& ui);        // 32846, Down: step x 0.1
void OnScaleIncrease(CZentrelDoc& doc, Ui& ui);    // 32847, Right: factor + step
void OnScaleDecrease(CZentrelDoc& doc, Ui& ui);    // 32848, Left: factor - step
void OnSaveScaledSub(CZentrelDoc& doc, Ui& ui);    // 32849

}  // namespace zentrel
