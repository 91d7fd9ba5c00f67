// The log clock for the fuzz build, which links the reader without the platform
// seam: always the monotonic clock.
#include <ctime>

#include "archive/log_clock.h"

uint32_t monotonic_ticks() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint32_t(uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u);
}

uint32_t extract_log_ticks() { return monotonic_ticks(); }
