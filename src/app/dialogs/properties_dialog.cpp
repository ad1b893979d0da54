#include "app/dialogs/properties_dialog.h"

#include "analysis/calculus.h"
#include "model/data_set.h"

namespace zentrel {

PropertiesDialogModel::PropertiesDialogModel(const Data_Set& set)
    : name(set.name),
      minimumY(set.ColumnMin(1)),
      maximumY(set.ColumnMax(1)),
      minimumX(set.ColumnMin(0)),
      maximumX(set.ColumnMax(0)),
      points(set.PointCount(0)),
      sorted(set.IsSortedByX()) {
  const Spacing spacing = PointSpacing(set);
  pointSpacing = spacing.spacing;
  evenlySpaced = spacing.evenlySpaced;
}

}  // namespace zentrel
