// Progress reporting; see progress.h.
#include "progress.h"

#include <unistd.h>

#include <cstdio>

#include "platform/clock.h"

static void draw_bar(const Progress* p, double ms, int percent) {
    constexpr int width = 40;
    char bar[width + 1];
    const int filled = percent * width / 100;
    for (int i = 0; i < width; ++i) bar[i] = i < filled ? '#' : '-';
    bar[width] = '\0';
    fprintf(stderr, "\rkelvora-capture [%s] %3d%%  %.1f of %.1f s", bar, percent, ms / 1000.0,
            p->total_ms / 1000.0);
    fflush(stderr);
}

void progress_start(Progress* p, double total_ms) {
    p->tty = isatty(STDERR_FILENO) != 0;
    p->total_ms = total_ms > 0.0 ? total_ms : 1.0;
    // A plain log starts at 10%: a line saying 0% tells nothing.
    p->last_shown = p->tty ? -1 : 0;
    p->last_draw_ns = 0;
}

void progress_update(Progress* p, double ms) {
    double fraction = ms / p->total_ms;
    if (fraction > 1.0) fraction = 1.0;
    if (fraction < 0.0) fraction = 0.0;
    const int percent = int(fraction * 100.0);
    if (p->tty) {
        // Redraw on a new percentage, at most ten times a second.
        if (percent == p->last_shown) return;
        const uint64_t t = monotonic_ns();
        if (p->last_shown >= 0 && t - p->last_draw_ns < 100000000u) return;
        p->last_draw_ns = t;
        p->last_shown = percent;
        draw_bar(p, ms, percent);
    } else {
        const int tenth = percent / 10;
        if (tenth <= p->last_shown) return;
        p->last_shown = tenth;
        fprintf(stderr, "kelvora-capture: %d%%\n", tenth * 10);
    }
}

void progress_finish(Progress* p, bool done) {
    if (p->tty) {
        if (done) draw_bar(p, p->total_ms, 100);
        if (p->last_shown >= 0 || done) fputc('\n', stderr);
    } else if (done && p->last_shown < 10) {
        fprintf(stderr, "kelvora-capture: 100%%\n");
    }
    p->last_shown = 10000;
}
