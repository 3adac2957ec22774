#include "stat_test_support.h"
