// The full-screen presenter on SDL2. The display is switched to the mode of the
// zoom; each frame is converted through a 256-entry palette table into one 320x200
// streaming texture that the renderer stretches over the whole screen, nearest
// neighbour, and every present waits for the display's refresh. A copy of the last
// shown frame lets a palette change take effect at once, as on a 256-colour display.
#include <SDL.h>

#include <atomic>
#include <cstring>

#include "platform/fatal.h"
#include "display/convert.h"
#include "display/display.h"
#include "display/fullscreen.h"
#include "platform/real.h"

static SDL_Renderer* renderer = nullptr;
static SDL_Texture* texture = nullptr;
// Index -> 0x00RRGGBB: the palette the screen shows now.
static uint32_t screen_palette[256];
// The picture on screen, as indices; shown again under each new palette.
static uint8_t shown_frame[FRAME_BYTES];
// Set by the event watch (which may run on whichever thread pushes the event) when
// the renderer lost its targets or its device; the next present restores.
static std::atomic<bool> targets_lost{false};
static std::atomic<bool> device_lost{false};
static bool watching = false;
// True from the moment the display mode was asked for until it was given back.
static bool took_screen = false;

// The mode of the zoom: 320x200 at zoom 1, zoom*320 x zoom*240 otherwise, so that
// zoom 2 and 4 stretch the picture to the 4:3 screen.
static int fullscreen_mode_width(int zoom) { return FRAME_W * zoom; }
static int fullscreen_mode_height(int zoom) { return zoom == 1 ? FRAME_H : 240 * zoom; }

static int lost_watch(void*, SDL_Event* e) {
    if (e->type == SDL_RENDER_TARGETS_RESET) targets_lost = true;
    if (e->type == SDL_RENDER_DEVICE_RESET) device_lost = targets_lost = true;
    return 0;
}

static SDL_Texture* make_texture() {
    SDL_Texture* t = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                       FRAME_W, FRAME_H);
    if (!t) return nullptr;
    // Whole-pixel stretching: 2 x 2.4 and 4 x 4.8 come out as uneven blocks, never blurred.
    SDL_SetTextureScaleMode(t, SDL_ScaleModeNearest);
    SDL_SetTextureBlendMode(t, SDL_BLENDMODE_NONE);
    return t;
}

// Converts the frame into the texture, stretches it over the whole screen and flips,
// waiting for the refresh when the renderer can. False when the frame could not be
// put into the texture (nothing was shown).
static bool show(const uint8_t* frame) {
    void* pixels = nullptr;
    int pitch = 0;
    if (!texture || SDL_LockTexture(texture, nullptr, &pixels, &pitch) != 0) return false;
    convert_frame_rgb(frame, screen_palette, static_cast<uint32_t*>(pixels), pitch / 4, 1);
    SDL_UnlockTexture(texture);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
    return true;
}

// The mode to ask for: the one of the zoom, or the nearest one the display has
// (the smallest at least as large). False when no mode is that large: the desktop
// then keeps its own mode and the picture is stretched over it.
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

void fullscreen_start(int zoom) {
    // Grey ramp: index i shows grey level i until the first set_palette.
    for (uint32_t i = 0; i < 256; ++i) screen_palette[i] = i << 16 | i << 8 | i;
    memset(shown_frame, 0, sizeof shown_frame);
    targets_lost = device_lost = false;

    // Each set-up step that can fail reports with the show's own text for it: the
    // display the window is on, the renderer with its flip chain, the frame texture,
    // the mode.
    const int w = fullscreen_mode_width(zoom), h = fullscreen_mode_height(zoom);
    const int display = SDL_GetWindowDisplayIndex(app_window);
    check_fatal(display < 0, "Error creating direct draw object");
    // The renderer comes first, while the window is hidden: SDL may make the window
    // anew for it, which must not happen to a window already on screen. The hidden
    // window already has the size of the mode.
    renderer = SDL_CreateRenderer(app_window, -1, SDL_RENDERER_PRESENTVSYNC);
    // A renderer that cannot wait for the refresh still shows every frame.
    if (!renderer) renderer = SDL_CreateRenderer(app_window, -1, 0);
    check_fatal(!renderer, "Error creating primary display surface");
    texture = make_texture();
    check_fatal(!texture, "Error creating secondary display surface");
    if (!watching) SDL_AddEventWatch(lost_watch, nullptr);
    watching = true;

    took_screen = true;
    check_fatal(set_mode(display, zoom), "Could not set mode %d x %d x 8", w, h);

    SDL_ShowCursor(SDL_DISABLE);
    // The screen starts as the frame of zeros under the grey ramp: black.
    show(shown_frame);
}

void fullscreen_present(const uint8_t* frame) {
    if (targets_lost.exchange(false)) {
        // The frame is dropped; textures are made again when the device went.
        if (device_lost.exchange(false)) {
            if (texture) SDL_DestroyTexture(texture);
            texture = make_texture();
        }
        return;
    }
    if (!texture) texture = make_texture();  // a restore that failed is tried again
    if (show(frame)) memcpy(shown_frame, frame, FRAME_BYTES);
}

void fullscreen_set_palette(const uint8_t* entries) {
    for (int i = 0; i < 256; ++i, entries += 4)
        screen_palette[i] = uint32_t(entries[0]) << 16 | uint32_t(entries[1]) << 8 | entries[2];
    // Shown at once under the new colours, as a hardware palette would; while the
    // target is lost there is nothing valid to show until the next present.
    if (renderer && !targets_lost) show(shown_frame);
}

void fullscreen_leave() {
    if (!took_screen || !app_window) return;
    SDL_SetWindowFullscreen(app_window, 0);
    SDL_ShowCursor(SDL_ENABLE);
    took_screen = false;
}

void fullscreen_stop() {
    if (watching) SDL_DelEventWatch(lost_watch, nullptr);
    watching = false;
    if (texture) SDL_DestroyTexture(texture);
    texture = nullptr;
    fullscreen_leave();
    if (renderer) SDL_DestroyRenderer(renderer);
    renderer = nullptr;
}
