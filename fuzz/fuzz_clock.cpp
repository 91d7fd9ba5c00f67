// The log clock for the fuzz build, which links the reader without the platform
// seam: always the monotonic clock.
#include "archive/log_clock.h"
#include "platform/clock.h"

uint32_t extract_log_ticks() { return monotonic_ms(); }
