#include "stats/families/serials.h"

namespace tessara {}  // namespace tessara
