// The presenter on SDL2, in a window or full screen. The window is a renderer's:
// each present converts the frame through the lookup it is given into the 320x200
// texture of display/screen.h, which the GPU enlarges by the zoom, and waits for the
// display's refresh (or the stand-in refresh where there is none). A palette change
// shows the last frame again through the new lookup by the frame's end. The mode
// switching of full screen lives in display/fullscreen_sdl.cpp.
#include <SDL.h>

#include <cstdlib>

#include "display/connection.h"
#include "display/display.h"
#include "display/fullscreen.h"
#include "display/picture_rect.h"
#include "display/screen.h"
#include "platform/fatal.h"
#include "platform/real.h"

static RunSettings opened;  // the settings the presenter was opened with

// The window's picture: its shape in whatever size the viewer gives the window.
static void fit_window() {
    int sw = 8, sh = 5;
    picture_shape(opened.aspect, false, &sw, &sh);
    screen_set_fit(0, 0, sw, sh);
}

// Full screen: a hidden window over the mode, switched by fullscreen_start.
static bool open_fullscreen(int zoom, const uint32_t* lookup) {
    // Never seen as a window: it appears directly in full screen, covering the
    // mode from the display's origin even where no window manager places it.
    int x = 0, y = 0, w = 0, h = 0;
    fullscreen_window_rect(zoom, &x, &y, &w, &h);
    app_window = SDL_CreateWindow("kelvora", x, y, w, h, SDL_WINDOW_HIDDEN);
    if (!app_window) return false;
    fullscreen_start(zoom, opened.aspect, lookup);
    return true;
}

static bool open_window(int zoom, const uint32_t* lookup) {
    // Hidden until its renderer exists: SDL may make the window anew for a renderer,
    // which must not happen to a window already on screen.
    int w = 0, h = 0;
    window_size(opened.aspect, zoom, &w, &h);
    app_window = SDL_CreateWindow("kelvora", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                                  SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (!app_window) return false;
    // Without a renderer there is nothing to show the show in: no window to be had.
    if (!screen_create_renderer()) {
        SDL_DestroyWindow(app_window);
        app_window = nullptr;
        return false;
    }
    if (!screen_create_texture()) fatal_error("Out of memory (tmp)");
    fit_window();
    SDL_ShowWindow(app_window);
    screen_show_again(lookup);
    return true;
}

static bool sdl_open(const RunSettings& settings, const uint32_t* lookup) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    // Where SDL found no display it falls back on drivers that show nothing: a show
    // nobody sees is a window that could not be made.
    if (!connection_shows_pictures()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    connection_watch();
    atexit(SDL_Quit);  // gives the desktop its mode back on every exit
    opened = settings;
    return settings.fullscreen ? open_fullscreen(settings.zoom, lookup) : open_window(settings.zoom, lookup);
}

static void sdl_close() {
    fullscreen_leave();
    screen_close();
    if (app_window) SDL_DestroyWindow(app_window);
    app_window = nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

// The viewer's switch while the show runs: the same window, renderer and texture,
// on the mode of the zoom or back on the desktop at the window's starting size.
static bool sdl_set_fullscreen(bool fullscreen, const uint32_t* lookup) {
    if (!app_window) return false;
    if (fullscreen) {
        if (!fullscreen_enter(opened.zoom, opened.aspect)) return false;
    } else {
        fullscreen_leave();
        int w = 0, h = 0;
        window_size(opened.aspect, opened.zoom, &w, &h);
        SDL_SetWindowResizable(app_window, SDL_TRUE);
        SDL_SetWindowSize(app_window, w, h);
        SDL_SetWindowPosition(app_window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        fit_window();
    }
    screen_show_again(lookup);
    return true;
}

const Presenter sdl_presenter = {sdl_open, screen_show, screen_reshow, screen_frame_end, sdl_close, sdl_set_fullscreen};
