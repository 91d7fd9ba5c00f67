// fatal_error and check_fatal: one line on stderr, the platform's error box, exit 1.
#include "platform/fatal.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

// The shared end of both reporters: box with this caption and the text, exit 1.
[[noreturn]] static void fatal_report(const char* caption, const char* format, va_list args) {
    // Every message the show formats is far shorter than this; vsnprintf truncates
    // anything longer rather than overrunning.
    char text[512];
    vsnprintf(text, sizeof text, format, args);

    // stderr gets one line: the message's own line breaks become blanks.
    char line[sizeof text];
    size_t n = strlen(text);
    while (n > 0 && text[n - 1] == '\n') --n;
    for (size_t i = 0; i < n; ++i) line[i] = text[i] == '\n' ? ' ' : text[i];
    line[n] = '\0';
    fprintf(stderr, "kelvora: %s: %s\n", caption, line);
    fflush(stderr);

    platform.sys->error_box(caption, text);
    platform.sys->exit_process(1);
    abort();  // exit_process never returns; this keeps fatal_report's promise if one did
}

void fatal_error(const char* format, ...) {
    va_list args;
    va_start(args, format);
    fatal_report("Core Error", format, args);
}

void check_fatal(int status, const char* format, ...) {
    if (status == 0) return;
    va_list args;
    va_start(args, format);
    fatal_report("Error", format, args);
}
