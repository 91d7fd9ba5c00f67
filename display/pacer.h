// The pace of presents on a real screen. Where the display's refresh holds each
// present back, the pacer never has to; where nothing does (a virtual X server, a
// renderer that ignores vsync), it stands in for a refresh, so that steps counted
// in frames last as long as they do on a display.
#pragma once

#include <cstdint>

// The refresh the pacer stands in for where none is known or the display's is slower.
constexpr int STAND_IN_REFRESH_HZ = 70;

struct FramePacer {
    uint64_t period_ns = 1000000000u / STAND_IN_REFRESH_HZ;
    uint64_t due_ns = 0;  // earliest moment the next present may end; 0 before the first
};

// Sets the shortest time between presents for a display refreshing at refresh_hz
// (0 when unknown): one period of max(refresh_hz, 70). A working vsync at any rate
// already spaces presents at least that far, so the pacer then never waits.
// Called by the SDL presenter when it starts and whenever the display mode changes.
void pacer_set_refresh(FramePacer* pacer, int refresh_hz);

// Called as a present ends, at now_ns on a monotonic clock. Returns the moment the
// present must wait for before it returns, or 0 when it may return at once. The
// moments lie on a grid one period apart, so N presents in a row take at least N
// periods whatever the sleeps overshoot; a present that comes late (after its
// moment) starts the grid again from now instead of hurrying the ones after it.
uint64_t pacer_next(FramePacer* pacer, uint64_t now_ns);
