// Compiled by the layers test with only the model library's include root:
// a file of model/ that reaches up to view/ must not compile.
#include "view/surface.h"
