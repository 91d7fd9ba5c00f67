// The show's window and the windowed presenter on SDL2: each present converts the
// frame through rgb_lookup straight into the window's surface, replicating pixels
// by the zoom, and hands it to the window system without waiting for a refresh.
// The full-screen presenter lives in display/fullscreen_sdl.cpp.
#include <SDL.h>

#include <cstdlib>

#include "display/convert.h"
#include "display/display.h"
#include "display/fullscreen.h"
#include "platform/real.h"

static int window_zoom = 1;
// Used when the window's surface is not 32-bit XRGB: convert here, then blit.
static SDL_Surface* staging = nullptr;

static bool sdl_open_window(int zoom, bool fullscreen) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    atexit(SDL_Quit);  // gives the desktop its mode back on every exit
    window_zoom = zoom;
    if (fullscreen) {
        // Never seen as a window: it appears directly in full screen, covering the
        // mode from the display's origin even where no window manager places it.
        int x = 0, y = 0, w = 0, h = 0;
        fullscreen_window_rect(zoom, &x, &y, &w, &h);
        app_window = SDL_CreateWindow("kelvora", x, y, w, h, SDL_WINDOW_HIDDEN);
    } else {
        app_window = SDL_CreateWindow("kelvora", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                      FRAME_W * zoom, FRAME_H * zoom, SDL_WINDOW_SHOWN);
    }
    return app_window != nullptr;
}

static bool is_xrgb(const SDL_Surface* s) {
    return s->format->BytesPerPixel == 4 && s->format->Rmask == 0x00FF0000 &&
           s->format->Gmask == 0x0000FF00 && s->format->Bmask == 0x000000FF;
}

static bool sdl_start_windowed(int zoom) {
    SDL_Surface* surface = SDL_GetWindowSurface(app_window);
    if (surface && is_xrgb(surface)) return true;
    staging = SDL_CreateRGBSurfaceWithFormat(0, FRAME_W * zoom, FRAME_H * zoom, 32,
                                             SDL_PIXELFORMAT_RGB888);
    return staging != nullptr;
}

static void sdl_present_rgb(const uint8_t* frame, const uint32_t* lookup) {
    SDL_Surface* surface = SDL_GetWindowSurface(app_window);
    if (!surface) return;  // drawing errors are ignored; the next present tries again
    SDL_Surface* target = staging && !is_xrgb(surface) ? staging : surface;
    if (target->w < FRAME_W * window_zoom || target->h < FRAME_H * window_zoom) return;
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return;
    convert_frame_rgb(frame, lookup, static_cast<uint32_t*>(target->pixels), target->pitch / 4,
                      window_zoom);
    if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
    if (target != surface) SDL_BlitSurface(target, nullptr, surface, nullptr);
    SDL_UpdateWindowSurface(app_window);
}

static void sdl_stop() {
    fullscreen_stop();
    if (staging) SDL_FreeSurface(staging);
    staging = nullptr;
    if (app_window) SDL_DestroyWindow(app_window);
    app_window = nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

const VideoDriver sdl_video = {sdl_open_window,    sdl_start_windowed,  fullscreen_start,
                               sdl_present_rgb,    fullscreen_present,  fullscreen_set_palette,
                               sdl_stop};
