// The extraction log's millisecond clock.
#pragma once

#include <cstdint>

// The platform's tick counter, or a monotonic clock when no platform is installed
// (tools use the reader without one). Wraps modulo 2^32. Called by the
// extraction log for its start tick and every record.
uint32_t extract_log_ticks();
