#pragma once
// One idle pass of fit iteration: every iterating fit advances by one step,
// so several fits iterate at once while the person keeps working. The GUI
// calls it from its idle timer, scripts from `iterate` lines.

namespace zentrel {

class CZentrelDoc;
class Ui;

// One step per iterating fit, sets and fits in document order, on the
// fit's set's columns as they are now; each fit's engine workspace is kept
// here from pass to pass and dropped with the fit. A failed step shows its
// message and ends that fit's iteration.
// True while some fit still iterates (the caller should call again).
bool IterateFitsOnce(CZentrelDoc& doc, Ui& ui);

// Whether any fit of the document iterates.
bool AnyFitIterating(const CZentrelDoc& doc);

}  // namespace zentrel
