// The show's window and the windowed presenter on SDL2. The window is a renderer's:
// each present converts the frame through rgb_lookup into the 320x200 texture of
// display/screen.h, which the GPU enlarges by the zoom, and waits for the display's
// refresh (or the stand-in refresh where there is none), like the full screen. A
// palette change shows the last frame again through the new lookup by the frame's
// end (display/screen.h). The
// full-screen presenter lives in display/fullscreen_sdl.cpp.
#include <SDL.h>

#include <cstdlib>

#include "display/display.h"
#include "display/fullscreen.h"
#include "display/screen.h"
#include "platform/real.h"

static bool sdl_open_window(int zoom, bool fullscreen) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    atexit(SDL_Quit);  // gives the desktop its mode back on every exit
    if (fullscreen) {
        // Never seen as a window: it appears directly in full screen, covering the
        // mode from the display's origin even where no window manager places it.
        int x = 0, y = 0, w = 0, h = 0;
        fullscreen_window_rect(zoom, &x, &y, &w, &h);
        app_window = SDL_CreateWindow("kelvora", x, y, w, h, SDL_WINDOW_HIDDEN);
        return app_window != nullptr;
    }
    // Hidden until its renderer exists: SDL may make the window anew for a renderer,
    // which must not happen to a window already on screen.
    app_window = SDL_CreateWindow("kelvora", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                  FRAME_W * zoom, FRAME_H * zoom, SDL_WINDOW_HIDDEN);
    if (!app_window) return false;
    // Without a renderer there is nothing to show the show in: no window to be had.
    if (screen_create_renderer()) return true;
    SDL_DestroyWindow(app_window);
    app_window = nullptr;
    return false;
}

static bool sdl_start_windowed(int) {
    if (!screen_create_texture()) return false;
    screen_set_fit(0, 0);
    SDL_ShowWindow(app_window);
    // The window starts as the frame of zeros under the all-black lookup.
    screen_show_again(rgb_lookup);
    return true;
}

static void sdl_present_rgb(const uint8_t* frame, const uint32_t* lookup) { screen_show(frame, lookup); }

static void sdl_repaint_rgb(const uint32_t* lookup) { screen_reshow(lookup); }

static void sdl_stop() {
    fullscreen_leave();
    screen_close();
    if (app_window) SDL_DestroyWindow(app_window);
    app_window = nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

const VideoDriver sdl_video = {sdl_open_window,    sdl_start_windowed, fullscreen_start,
                               sdl_present_rgb,    sdl_repaint_rgb,    fullscreen_present,
                               fullscreen_set_palette, sdl_stop};
