// The extraction log's clock: the platform's ticks when a platform is installed.
#include "archive/log_clock.h"

#include <ctime>

#include "platform/platform.h"

uint32_t monotonic_ticks() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint32_t(uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u);
}

uint32_t extract_log_ticks() {
    if (platform.sys != nullptr && platform.sys->ticks != nullptr) return platform.sys->ticks();
    return monotonic_ticks();
}
