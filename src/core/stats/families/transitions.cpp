#include "stats/families/transitions.h"

namespace tessara {}  // namespace tessara
