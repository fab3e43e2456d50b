#include "wine_test_support.h"
