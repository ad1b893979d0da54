#pragma once
#include <QIcon>

namespace zentrel {

// The program's icon: a decay curve over a set of points, drawn at each size.
QIcon AppIcon();

}  // namespace zentrel
