#include "stats/families/periods.h"

namespace tessara {}  // namespace tessara
