// The extraction log's clock: the platform's ticks when a platform is installed.
#include "archive/log_clock.h"

#include "platform/clock.h"
#include "platform/platform.h"

uint32_t extract_log_ticks() {
    if (platform.sys != nullptr && platform.sys->ticks != nullptr) return platform.sys->ticks();
    return monotonic_ms();
}
