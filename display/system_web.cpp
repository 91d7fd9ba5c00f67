// The browser's clock, message pump, error box and process end.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/page_web.h"
#include "platform/web.h"

static double fixed_frame_ms = 0.0;  // 0: the page's real clock
static double fixed_ms = 0.0;        // show time on the fixed clock

void web_clock_fixed(double frame_ms) {
    fixed_frame_ms = frame_ms;
    fixed_ms = 0.0;
}

static uint32_t web_ticks() {
    // Milliseconds since the page opened (on the fixed clock, since the show
    // started), truncated; wraps modulo 2^32 like any tick counter.
    const double ms = fixed_frame_ms > 0.0 ? fixed_ms : emscripten_get_now();
    return uint32_t(uint64_t(ms));
}

static bool web_poll_quit() {
    if (fixed_frame_ms > 0.0) {
        fixed_ms += fixed_frame_ms;
        page_pumped(fixed_ms);
    }
    // The scenes' loops never return to the browser on their own: this turn is
    // where the page draws, hears keys and feeds the music.
    page_wait();
    return page_quit_requested() != 0;
}

static uint32_t web_take_requests() { return uint32_t(page_take_requests()); }

static void web_error_box(const char* caption, const char* text) {
    // The page shows the line stderr got: the text's line breaks become blanks.
    char line[600];
    snprintf(line, sizeof line, "kelvora: %s: %s", caption, text);
    size_t n = strlen(line);
    while (n > 0 && line[n - 1] == '\n') line[--n] = '\0';
    for (size_t i = 0; i < n; ++i)
        if (line[i] == '\n') line[i] = ' ';
    page_error(line);
}

[[noreturn]] static void web_exit(int code) {
    fflush(stdout);
    fflush(stderr);
    page_end(code);
    // exit() unwinds the program's stack back to the page (emscripten throws
    // ExitStatus there); nothing of the show runs after it.
    exit(code);
}

const SystemDriver web_system = {web_ticks, web_poll_quit, web_error_box, web_exit, web_take_requests};
