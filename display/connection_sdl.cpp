// The display's connection on SDL2 and, under X11, Xlib; see connection.h.
#include <SDL.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstring>

#include "display/connection.h"

bool connection_shows_pictures() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && strcmp(driver, "offscreen") != 0 && strcmp(driver, "dummy") != 0;
}

// Xlib calls this when the connection breaks, from whatever call noticed it. It must
// not return (Xlib would then exit(), running the exit handlers, which talk to the
// dead display: SDL_Quit spins or trips Xlib's own assertions), and it must not use
// the display: only async-signal-safe calls.
static int connection_lost(Display*) {
    static const char line[] = "kelvora: Core Error: lost the connection to the display\n";
    ssize_t written = write(STDERR_FILENO, line, sizeof line - 1);
    (void)written;  // nothing more can be done about a failed write here
    _exit(1);
}

void connection_watch() {
    const char* driver = SDL_GetCurrentVideoDriver();
    // SDL loads the same libX11 that this links, so the handler is the one its
    // connection uses.
    if (driver && strcmp(driver, "x11") == 0) XSetIOErrorHandler(connection_lost);
}
