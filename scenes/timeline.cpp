// Cue table, cue_running and pump_messages.
#include "scenes/timeline.h"

#include "display/display.h"
#include "music/music.h"
#include "platform/platform.h"

const uint32_t cue_table[CUE_COUNT] = {
    3220,  3500,  11020, 15000, 20500, 26350,  34200,  41620,
    53000, 62450, 62650, 71990, 73800, 75800,  77750,  79700,
    81530, 97500, 111000, 115000, 144000, 148300, 150000,
};

int32_t cue_index = 0;
uint32_t start_ticks = 0;

bool cue_running() {
    // A scene that advanced past the last cue has nothing left to run.
    if (cue_index < 0 || cue_index >= CUE_COUNT) return false;
    const uint32_t elapsed = platform.sys->ticks() - start_ticks;  // wraps modulo 2^32
    return elapsed < cue_table[cue_index];
}

void pump_messages() {
    platform.presenter->end_frame();
    if (!platform.sys->poll_quit()) return;
    music_close();
    display_stop();
    platform.sys->exit_process(1);
}
