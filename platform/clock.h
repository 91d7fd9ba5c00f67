// The machine's monotonic clock, for the real tick counter, the presenter's pacing,
// the extraction log and the capture tool's timings.
#pragma once

#include <time.h>

#include <cstdint>

// Nanoseconds of CLOCK_MONOTONIC; never goes back, unrelated to the time of day.
inline uint64_t monotonic_ns() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint64_t(ts.tv_sec) * 1000000000u + uint64_t(ts.tv_nsec);
}

// Milliseconds of the same clock, truncated, wrapping modulo 2^32 like any tick
// counter.
inline uint32_t monotonic_ms() { return uint32_t(monotonic_ns() / 1000000u); }
