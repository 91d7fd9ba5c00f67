// Scene 7: the entry operation, its frame and its capped additive banner.
#include "scenes/scene07_shaded_tube.h"

#include "app/timeline.h"
#include "archive/resources.h"
#include "display/display.h"
#include "render/blit.h"
#include "render/tube.h"
#include "scenes/palettes.h"
#include "scenes/scenes.h"

namespace {

constexpr ResourceNeed scene07_needs[] = {
    {RES_FACE, FACE_DAT_W * FACE_DAT_H},
    {RES_PAY_ATT, PAY_ATT_W * PAY_ATT_H},
};

constexpr int STEP_LOW = 5, STEP_HIGH = 7;  // the change turns outside this range

}  // namespace

void scene07_check_resources() {
    require_resources(scene07_needs);
}

void blit_add_capped(const uint8_t* sprite, uint8_t key, uint16_t x, uint16_t y, uint16_t w,
                     uint16_t h, uint8_t cap) {
    if (x >= FRAME_W || y >= FRAME_H) return;
    const int cols = w < FRAME_W - x ? w : FRAME_W - x;
    const int rows = h < FRAME_H - y ? h : FRAME_H - y;
    for (int r = 0; r < rows; ++r, sprite += w) {
        uint8_t* p = screen_frame + row_offset[y + r] + x;
        for (int i = 0; i < cols; ++i) {
            const unsigned sum = unsigned(p[i]) + sprite[i];  // at most 510: no wrap
            const uint8_t capped = sum < cap ? uint8_t(sum) : cap;
            p[i] = sprite[i] == key ? p[i] : capped;
        }
    }
}

void shaded_tube_start() {
    clear_frame(screen_frame);
    present_frame(screen_frame);
    set_palette(scene7_palette);
    fill_frame(back_frame, 32);
    fill_frame(screen_frame, 1);
    ++cue_index;
}

void shaded_tube_frame(ShadedTube& run) {
    jump_tube_camera(run.flight.targets, run.driver);
    // The shade alone, times four (0..252): the nearest walls land on the black
    // entries from 192 up, far ones on the flat cyan below 55.
    sample_tube_grid(run.flight.grid, [](const TubeHit& h) { return uint8_t(4 * h.shade); });
    smooth_samples();
    blit_keyed(resource_slot[RES_FACE], 0, FACE_DAT_X, 0, FACE_DAT_W, FACE_DAT_H);
    blit_add_capped(resource_slot[RES_PAY_ATT], 0, PAY_ATT_X, PAY_ATT_Y, PAY_ATT_W, PAY_ATT_H, PAY_ATT_CAP);
    present_frame(screen_frame);
    if (end_flight_frame(run.flight, run.driver)) {
        int& step = run.flight.grid.step;
        step += run.step_change;
        if (step < STEP_LOW || step > STEP_HIGH) run.step_change = -run.step_change;
    }
}

void scene_shaded_tube() {
    scene07_check_resources();
    shaded_tube_start();
    ShadedTube run;
    while (cue_running()) {
        shaded_tube_frame(run);
        pump_messages();
    }
}
