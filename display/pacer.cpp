// The stand-in refresh of the SDL presenter; see pacer.h.
#include "display/pacer.h"

void pacer_set_refresh(FramePacer* pacer, int refresh_hz) {
    const int hz = refresh_hz > STAND_IN_REFRESH_HZ ? refresh_hz : STAND_IN_REFRESH_HZ;
    pacer->period_ns = 1000000000u / uint64_t(hz);  // truncates: at most 1 ns short
}

uint64_t pacer_next(FramePacer* pacer, uint64_t now_ns) {
    if (pacer->due_ns == 0 || now_ns >= pacer->due_ns) {
        pacer->due_ns = now_ns + pacer->period_ns;
        return 0;
    }
    const uint64_t wait_until = pacer->due_ns;
    pacer->due_ns += pacer->period_ns;
    return wait_until;
}
