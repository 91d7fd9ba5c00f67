// Full screen on SDL2: the display is switched to the mode of the zoom, and the
// screen of display/screen.h stretches each frame over the whole mode, or keeps it
// at 4:3 with black borders when the display ended up in a mode of another shape.
#include <SDL.h>

#include "display/display.h"
#include "display/fullscreen.h"
#include "display/picture_rect.h"
#include "display/screen.h"
#include "platform/fatal.h"
#include "platform/real.h"

// True from the moment the display mode was asked for until it was given back.
static bool took_screen = false;

// The mode of the zoom: 320x200 at zoom 1, zoom*320 x zoom*240 otherwise, so that
// zoom 2 and 4 stretch the picture to the 4:3 screen.
static int fullscreen_mode_width(int zoom) { return FRAME_W * zoom; }
static int fullscreen_mode_height(int zoom) { return zoom == 1 ? FRAME_H : 240 * zoom; }

// The mode to ask for: the one of the zoom, or the nearest one the display has
// (the smallest at least as large). False when no mode is that large: the desktop
// then keeps its own mode and the picture is shown on it at 4:3.
static bool pick_mode(int display, int zoom, SDL_DisplayMode* mode) {
    SDL_DisplayMode want{SDL_PIXELFORMAT_UNKNOWN, fullscreen_mode_width(zoom),
                         fullscreen_mode_height(zoom), 0, nullptr};
    return SDL_GetClosestDisplayMode(display, &want, mode) != nullptr;
}

void fullscreen_window_rect(int zoom, int* x, int* y, int* w, int* h) {
    SDL_Rect bounds{0, 0, fullscreen_mode_width(zoom), fullscreen_mode_height(zoom)};
    SDL_GetDisplayBounds(0, &bounds);
    SDL_DisplayMode mode;
    const bool own_mode = pick_mode(0, zoom, &mode);
    *x = bounds.x;
    *y = bounds.y;
    *w = own_mode ? mode.w : bounds.w;
    *h = own_mode ? mode.h : bounds.h;
}

// Shows the window in full screen in the mode picked for the zoom. Returns 0 when the
// display shows that mode (or keeps the desktop's, when none was large enough).
static int set_mode(int display, int zoom) {
    SDL_DisplayMode mode;
    const bool own_mode = pick_mode(display, zoom, &mode);
    if (own_mode && SDL_SetWindowDisplayMode(app_window, &mode) != 0) return -1;
    // Set while hidden, so that the window appears in full screen straight away.
    if (SDL_SetWindowFullscreen(app_window, own_mode ? SDL_WINDOW_FULLSCREEN
                                                     : SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
        return -1;
    SDL_ShowWindow(app_window);
    if (!own_mode) return 0;
    SDL_DisplayMode now;
    if (SDL_GetCurrentDisplayMode(display, &now) != 0) return -1;
    return now.w == mode.w && now.h == mode.h ? 0 : -1;
}

// The picture's place in full screen: the whole mode asked for, or a centred shape.
static void fit_fullscreen(int zoom, Aspect aspect) {
    int sw = 4, sh = 3;
    picture_shape(aspect, true, &sw, &sh);
    if (aspect == Aspect::square)
        screen_set_fit(0, 0, sw, sh);
    else
        screen_set_fit(fullscreen_mode_width(zoom), fullscreen_mode_height(zoom), sw, sh);
}

void fullscreen_start(int zoom, Aspect aspect, const uint32_t* lookup) {
    // Each set-up step that can fail reports with the show's own text for it: the
    // display the window is on, the renderer with its flip chain, the frame texture,
    // the mode.
    const int w = fullscreen_mode_width(zoom), h = fullscreen_mode_height(zoom);
    const int display = SDL_GetWindowDisplayIndex(app_window);
    check_fatal(display < 0, "Error creating direct draw object");
    // The renderer comes first, while the window is hidden: SDL may make the window
    // anew for it, which must not happen to a window already on screen. The hidden
    // window already has the size of the mode.
    check_fatal(!screen_create_renderer(), "Error creating primary display surface");
    check_fatal(!screen_create_texture(), "Error creating secondary display surface");

    took_screen = true;
    check_fatal(set_mode(display, zoom), "Could not set mode %d x %d x 8", w, h);
    // The output now has the size of the mode, or the desktop's where no mode was
    // large enough; a mode of another shape than the one asked for keeps 4:3.
    fit_fullscreen(zoom, aspect);

    SDL_ShowCursor(SDL_DISABLE);
    screen_show_again(lookup);
}

bool fullscreen_enter(int zoom, Aspect aspect) {
    const int display = SDL_GetWindowDisplayIndex(app_window);
    if (display < 0) return false;
    took_screen = true;
    if (set_mode(display, zoom) != 0) {
        fullscreen_leave();
        return false;
    }
    fit_fullscreen(zoom, aspect);
    SDL_ShowCursor(SDL_DISABLE);
    return true;
}

void fullscreen_leave() {
    if (!took_screen || !app_window) return;
    SDL_SetWindowFullscreen(app_window, 0);
    SDL_ShowCursor(SDL_ENABLE);
    took_screen = false;
}
