// The real clock, event pump, error box and process end, on SDL2; beside the
// presenter because its events and its error box belong to the show's window.
#include <SDL.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>

#include "display/fullscreen.h"
#include "platform/clock.h"
#include "platform/real.h"

SDL_Window* app_window = nullptr;

static uint32_t sdl_ticks() { return monotonic_ms(); }

// The viewer's requests seen by sdl_poll_quit and not yet taken.
static uint32_t requests = 0;

// The keys of the viewer's requests, on the press (a key held down repeats nothing).
static uint32_t request_of(const SDL_KeyboardEvent& key) {
    if (key.repeat) return 0;
    const SDL_Keycode k = key.keysym.sym;
    if (k == SDLK_F11 || ((k == SDLK_RETURN || k == SDLK_KP_ENTER) && (key.keysym.mod & KMOD_ALT)))
        return REQUEST_FULLSCREEN;
    if (k == SDLK_SPACE) return REQUEST_PAUSE;
    if (k == SDLK_F12) return REQUEST_SCREENSHOT;
    return 0;
}

static bool sdl_poll_quit() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        // A quit ends the show at once; the rest of the queue is not looked at.
        if (e.type == SDL_QUIT) return true;
        if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE) return true;
        // Escape counts when it is released, not when it is pressed.
        if (e.type == SDL_KEYUP && e.key.keysym.sym == SDLK_ESCAPE) return true;
        if (e.type == SDL_KEYDOWN) requests |= request_of(e.key);
    }
    return false;
}

static void sdl_error_box(const char* caption, const char* text) {
    // A box behind a full-screen picture, without a cursor, could never be answered.
    fullscreen_leave();
    // Without a display the box cannot be shown; the text is already on stderr.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, app_window);
}

[[noreturn]] static void sdl_exit(int code) {
    fflush(stdout);
    fflush(stderr);
    std::exit(code);  // atexit(SDL_Quit) gives the desktop back
}

static uint32_t sdl_take_requests() {
    const uint32_t r = requests;
    requests = 0;
    return r;
}

const SystemDriver sdl_system = {sdl_ticks, sdl_poll_quit, sdl_error_box, sdl_exit, sdl_take_requests};
