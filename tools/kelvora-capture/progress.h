// Progress of a long capture on stderr: a bar redrawn in place on a terminal, a
// plain line every tenth of the way otherwise.
#pragma once

#include <cstdint>

struct Progress {
    bool tty = false;
    double total_ms = 0.0;      // show time at which the run ends
    int last_shown = -1;        // last percentage (tty) or tenth (plain) written
    uint64_t last_draw_ns = 0;  // monotonic time of the last redraw
};

// Starts reporting a run that ends at total_ms of show time.
void progress_start(Progress* p, double total_ms);

// Reports that the run reached show time ms. Cheap when nothing changes; called at
// every pump.
void progress_update(Progress* p, double ms);

// Completes the bar (100%, then a line break on a terminal). Called once at the end
// of a successful run, and with done false on a failure to end the line only.
void progress_finish(Progress* p, bool done);
