#pragma once
// The forms of the view commands: the selection rectangle, the polar
// origin, the labels and the printed size.

#include "app/dialogs/form_dialog.h"

namespace zentrel {

class CZentrelDoc;

// Dialog 130: Xmin, Ymin, Xmax, Ymax, starting at the visible range rounded
// outwards to tick values.
FormDialogModel MakeBoxAreaDialog(const CZentrelDoc& doc);
// Dialog 143: one number, starting at 0 whatever the current origin.
FormDialogModel MakePolarOriginDialog();
// Dialog 135: Title, XAxis, YAxis.
FormDialogModel MakeLabelsDialog(const CZentrelDoc& doc);
// Dialog 132: Xmin, Xmax, Ymin, Ymax in inches, each 0 to 11.
FormDialogModel MakePrintSizeDialog(const CZentrelDoc& doc);

inline constexpr double kMaxPrintInches = 11.0;

}  // namespace zentrel
