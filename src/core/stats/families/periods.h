#pragma once

#include "stats/custom_stat.h"

namespace tessara {}  // namespace tessara
