#pragma once
// An ordered list of owned data sets, as the document and its undo levels
// hold them.

#include <memory>
#include <vector>

#include "model/data_set.h"

namespace zentrel {

using SetList = std::vector<std::unique_ptr<Data_Set>>;

// Copy of a set list (the copies share their columns with the originals
// until either writes). Convolution sources that point into `from` are
// re-pointed at the matching copy, so a copied list never refers to sets it
// does not own (a snapshot outlives the sets it was taken from).
SetList CopySetList(const SetList& from);

}  // namespace zentrel
