// The picture on a real screen with SDL2's renderer; see screen.h.
#include <SDL.h>
#include <time.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "display/convert.h"
#include "display/display.h"
#include "display/pacer.h"
#include "display/picture_rect.h"
#include "display/screen.h"
#include "platform/clock.h"
#include "platform/real.h"

static SDL_Renderer* renderer = nullptr;
static SDL_Texture* texture = nullptr;
// The picture on screen, as indices; shown again under each new palette.
static uint8_t shown_frame[FRAME_BYTES];
static int fit_w = 0, fit_h = 0;  // the full-screen mode asked for; 0: none
static int shape_w = 8, shape_h = 5;  // the picture's shape on any other output
static FramePacer pacer;
// A palette change is held, not shown on its own at once: the frame's present
// shows it, or the frame's end when the frame presents nothing (a fade, a flash),
// or the next frame's present when the change came after this frame's. A frame
// that changes the palette and presents then waits for one refresh, not two, as
// under a hardware palette, so frame-counted phases keep their pace.
static bool presented_this_frame = false;
static uint32_t held_lookup[256];
static bool holding = false;
// Set by the event watch (which may run on whichever thread pushes the event) when
// the renderer lost its targets or its device; the next present restores.
static std::atomic<bool> targets_lost{false};
static std::atomic<bool> device_lost{false};
static bool watching = false;

static int lost_watch(void*, SDL_Event* e) {
    if (e->type == SDL_RENDER_TARGETS_RESET) targets_lost = true;
    if (e->type == SDL_RENDER_DEVICE_RESET) device_lost = targets_lost = true;
    return 0;
}

static void sleep_until(uint64_t ns) {
    timespec ts;
    ts.tv_sec = time_t(ns / 1000000000u);
    ts.tv_nsec = long(ns % 1000000000u);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

static SDL_Texture* make_texture() {
    SDL_Texture* t = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                       FRAME_W, FRAME_H);
    if (!t) return nullptr;
    // Whole-pixel enlargement: uneven factors (2 x 2.4 and the like) give uneven
    // blocks, never a blur.
    SDL_SetTextureScaleMode(t, SDL_ScaleModeNearest);
    SDL_SetTextureBlendMode(t, SDL_BLENDMODE_NONE);
    return t;
}

bool screen_create_renderer() {
    renderer = SDL_CreateRenderer(app_window, -1, SDL_RENDERER_PRESENTVSYNC);
    // A renderer that cannot wait for the refresh still shows every frame; the pacer
    // stands in for the refresh.
    if (!renderer) renderer = SDL_CreateRenderer(app_window, -1, 0);
    if (!renderer) return false;
    targets_lost = device_lost = false;
    if (!watching) SDL_AddEventWatch(lost_watch, nullptr);
    watching = true;
    pacer = FramePacer{};
    return true;
}

bool screen_create_texture() {
    memset(shown_frame, 0, sizeof shown_frame);
    texture = make_texture();
    return texture != nullptr;
}

void screen_set_fit(int fit_mode_w, int fit_mode_h, int picture_w, int picture_h) {
    fit_w = fit_mode_w;
    fit_h = fit_mode_h;
    shape_w = picture_w;
    shape_h = picture_h;
    SDL_DisplayMode mode;
    const int display = SDL_GetWindowDisplayIndex(app_window);
    const bool known = display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0;
    pacer_set_refresh(&pacer, known ? mode.refresh_rate : 0);
}

// Converts the frame into the texture, draws it into its place on a black screen
// and presents. False when the frame could not be put into the texture.
static bool draw(const uint8_t* frame, const uint32_t* lookup) {
    void* pixels = nullptr;
    int pitch = 0;
    if (!texture || SDL_LockTexture(texture, nullptr, &pixels, &pitch) != 0) return false;
    convert_frame_rgb(frame, lookup, static_cast<uint32_t*>(pixels), pitch / 4);
    SDL_UnlockTexture(texture);

    int out_w = 0, out_h = 0;
    SDL_GetRendererOutputSize(renderer, &out_w, &out_h);
    // A window the viewer resized, or a mode of another shape than the one asked for.
    const PictureRect r = fit_w > 0 && out_w == fit_w && out_h == fit_h ? PictureRect{0, 0, out_w, out_h}
                                                                        : fit_rect(out_w, out_h, shape_w, shape_h);
    const SDL_Rect place{r.x, r.y, r.w, r.h};
    // The back buffer holds anything after a flip: the borders are cleared every time.
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, &place);
    SDL_RenderPresent(renderer);
    if (const uint64_t until = pacer_next(&pacer, monotonic_ns())) sleep_until(until);
    return true;
}

void screen_show(const uint8_t* frame, const uint32_t* lookup) {
    presented_this_frame = true;
    holding = false;  // this present shows the palette in force
    if (targets_lost.exchange(false)) {
        // The frame is dropped; textures are made again when the device went.
        if (device_lost.exchange(false)) {
            if (texture) SDL_DestroyTexture(texture);
            texture = make_texture();
        }
        return;
    }
    if (!texture) texture = make_texture();  // a restore that failed is tried again
    if (draw(frame, lookup)) memcpy(shown_frame, frame, FRAME_BYTES);
}

void screen_show_again(const uint32_t* lookup) {
    if (renderer && !targets_lost) draw(shown_frame, lookup);
}

void screen_reshow(const uint32_t* lookup) {
    // While the target is lost there is nothing valid to show until the next present.
    if (!renderer || targets_lost) return;
    memcpy(held_lookup, lookup, sizeof held_lookup);
    holding = true;
}

void screen_frame_end() {
    if (holding && !presented_this_frame && renderer && !targets_lost) {
        draw(shown_frame, held_lookup);
        holding = false;
    }
    presented_this_frame = false;
}

void screen_close() {
    if (watching) SDL_DelEventWatch(lost_watch, nullptr);
    watching = false;
    if (texture) SDL_DestroyTexture(texture);
    texture = nullptr;
    if (renderer) SDL_DestroyRenderer(renderer);
    renderer = nullptr;
    presented_this_frame = false;
    holding = false;
}
