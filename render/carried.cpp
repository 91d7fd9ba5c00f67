// The state the scenes hand on; see carried.h.
#include "render/carried.h"

Carried carried;
