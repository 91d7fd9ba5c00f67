// Scene 5: the entry operation, its four phases and the sliding sprite.
#include "scenes/scene05_textured_tube.h"

#include "archive/resources.h"
#include "display/display.h"
#include "render/blit.h"
#include "render/random.h"
#include "render/tube.h"
#include "scenes/palettes.h"
#include "scenes/phase.h"
#include "scenes/timeline.h"

TexturedTubeRun scene05_run;

namespace {

constexpr int ZOOM_OUT_STEP = 8;
constexpr int FLIGHT_STEP = 4;
constexpr int SLIDE_SPEED = 12;  // pixels per frame until the stop
constexpr double ZOOM_IN_END = 30.0;
constexpr float ZOOM_RATE = 0.1f;  // single precision, widened when a is double
constexpr int LAST_CUE = 11;       // the flight's; the zooms run before it opens

constexpr ResourceNeed scene05_needs[] = {
    {RES_TEXTURE, TEXTURE_DAT_SIZE * TEXTURE_DAT_SIZE},
    {RES_APSAVE, APSAVE_W * APSAVE_H},
    {RES_K1, K1_W * K1_H},
    {RES_K2, K1_W * K1_H},
};

// Samples back_frame on the flight's grid; each cast stores its texel plus its
// shade, wrapping modulo 256.
void sample_textured_tube(TubeFlight& flight) {
    const uint8_t* texture = resource_slot[RES_TEXTURE];
    sample_tube_grid(flight.grid, [texture](const TubeHit& h) {
        return uint8_t(texture[h.v * TEXTURE_DAT_SIZE + h.u] + h.shade);
    });
}

// Paints every pixel of the k2.dat silhouette at (x, 0) whose mask byte is not 0
// in colour c. 0 <= x <= 320 - K1_W.
void paint_silhouette(int x, uint8_t c) {
    const uint8_t* mask = resource_slot[RES_K2];
    for (int r = 0; r < K1_H; ++r, mask += K1_W) {
        uint8_t* p = screen_frame + row_offset[r] + x;
        for (int i = 0; i < K1_W; ++i) p[i] = mask[i] ? c : p[i];
    }
}

// Running ahead past the flight's end: no frame of the scene is shown and scene 6
// starts from black and its own background, so only the scene's state moves on
// (zoom factors, camera, grid phase, period rule, random draws, the sprite's slide).
bool scene_unseen() { return timeline_unseen_through_cue(LAST_CUE); }

}  // namespace

void scene05_check_resources() {
    require_resources(scene05_needs);
}

// --- Phase A: zoom into the previous scene's picture -----------------------------

double zoom_in_phase() {
    double a = 1.0;
    const bool unseen = scene_unseen();
    do {
        if (!unseen) zoom_blend(float(a));
        a = a + a * ZOOM_RATE;
        if (!unseen) present_frame(screen_frame);
        pump_messages();
    } while (a < ZOOM_IN_END);
    return a;
}

// --- Phase B: the cut ----------------------------------------------------------------

DriftPoint cut_phase() {
    blank_screen(scene5_palette);
    DriftPoint to;
    to.x = show_rand() % 128;
    to.y = -(show_rand() % 128);
    return to;
}

// --- Phase C: zoom out of the tube ---------------------------------------------------

void zoom_out_frame(TexturedTubeRun& run, DriftPoint& to, float a) {
    drift_tube_camera(to, run.flight.targets, run.tube_z);
    if (scene_unseen()) {
        skip_tube_grid(run.flight.grid);
        end_flight_frame(run.flight, run.tube_z);
        return;
    }
    sample_textured_tube(run.flight);  // over whatever back_frame still holds
    smooth_samples();
    end_flight_frame(run.flight, run.tube_z);
    zoom_copy(a);
    present_frame(screen_frame);
}

void zoom_out_phase(TexturedTubeRun& run, double a, DriftPoint to) {
    // The row phase runs 0..3 here too, so rows 4..7 of every band of eight are
    // never sampled in this phase: smoothing alone fills them.
    run.flight.grid.step = ZOOM_OUT_STEP;
    while (a > 1.0) {
        zoom_out_frame(run, to, float(a));
        a = a - a * ZOOM_RATE;
        pump_messages();
    }
}

// --- Phase D: the flight -------------------------------------------------------------

void flight_frame(TexturedTubeRun& run, int n) {
    jump_tube_camera(run.flight.targets, run.tube_z);
    if (scene_unseen()) {
        skip_tube_grid(run.flight.grid);
        if (n >= SPRITE_FIRST_FRAME) slide_sprite(run);
        end_flight_frame(run.flight, run.tube_z);
        return;
    }
    sample_textured_tube(run.flight);
    smooth_samples();
    blit_blend(resource_slot[RES_APSAVE], 0, 0, APSAVE_Y, APSAVE_W, APSAVE_H);
    if (n < SPRITE_FIRST_FRAME)
        present_frame(screen_frame);
    else
        draw_sliding_sprite(run);
    end_flight_frame(run.flight, run.tube_z);
}

void flight_phase(TexturedTubeRun& run) {
    fill_frame(back_frame, 32);
    run.flight.grid.step = FLIGHT_STEP;
    run.flight.grid.column_phase = 0;
    ++cue_index;
    int n = 0;  // stops at the sprite's first frame
    while (cue_running()) {
        if (n < SPRITE_FIRST_FRAME) ++n;
        flight_frame(run, n);
        pump_messages();
    }
}

void draw_sliding_sprite(TexturedTubeRun& run) {
    if (!run.trail_finished) {
        // Each later, darker silhouette is painted over the one before.
        int x = run.slide_x;
        for (int i = 0; i < TRAIL_COUNT; ++i) {
            x -= run.trail_gap;
            if (x < 0) x = 0;
            paint_silhouette(x, uint8_t(TRAIL_FIRST_COLOUR + i));
        }
    }
    blit_keyed(resource_slot[RES_K1], 0, uint16_t(run.slide_x), 0, K1_W, K1_H);
    slide_sprite(run);
    present_frame(screen_frame);
}

void slide_sprite(TexturedTubeRun& run) {
    if (run.trail_finished) return;
    run.slide_x += SLIDE_SPEED;
    if (run.slide_x > SLIDE_STOP) {
        run.slide_x = SLIDE_STOP;
        if (run.trail_gap > 0) --run.trail_gap;
        else run.trail_finished = true;
    }
}

void scene_textured_tube() {
    scene05_check_resources();
    scene05_run = TexturedTubeRun{};
    const double a = zoom_in_phase();
    const DriftPoint to = cut_phase();
    zoom_out_phase(scene05_run, a, to);
    flight_phase(scene05_run);
}
