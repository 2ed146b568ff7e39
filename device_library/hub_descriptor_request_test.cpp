#include "device_library/test_support.h"
