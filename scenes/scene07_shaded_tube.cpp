// Scene 7: the entry operation, its set-up and its frame.
#include "scenes/scene07_shaded_tube.h"

#include "archive/resources.h"
#include "display/display.h"
#include "render/blit.h"
#include "render/tube.h"
#include "scenes/palettes.h"
#include "scenes/phase.h"
#include "scenes/timeline.h"

ShadedTubeRun scene07_run;

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

void shaded_tube_start() {
    blank_screen(scene7_palette);
    fill_frame(back_frame, 32);
    ++cue_index;
}

void shaded_tube_frame(ShadedTubeRun& run) {
    jump_tube_camera(run.flight.targets, run.driver);
    if (timeline_unseen_through_cue(cue_index)) {
        // Running ahead past the scene's end: none of its frames is shown and scene 8
        // starts from black and its own picture, so only the flight's state moves.
        skip_tube_grid(run.flight.grid);
    } else {
        // The shade alone, times four (0..252): the nearest walls land on the black
        // entries from 192 up, far ones on the flat cyan below 55.
        sample_tube_grid(run.flight.grid, [](const TubeHit& h) { return uint8_t(4 * h.shade); });
        smooth_samples();
        blit_keyed(resource_slot[RES_FACE], 0, FACE_DAT_X, 0, FACE_DAT_W, FACE_DAT_H);
        blit_add_capped(resource_slot[RES_PAY_ATT], 0, PAY_ATT_X, PAY_ATT_Y, PAY_ATT_W, PAY_ATT_H, PAY_ATT_CAP);
        present_frame(screen_frame);
    }
    if (end_flight_frame(run.flight, run.driver)) {
        int& step = run.flight.grid.step;
        step += run.step_change;
        if (step < STEP_LOW || step > STEP_HIGH) run.step_change = -run.step_change;
    }
}

void scene_shaded_tube() {
    scene07_check_resources();
    shaded_tube_start();
    scene07_run = ShadedTubeRun{};
    while (cue_running()) {
        shaded_tube_frame(scene07_run);
        pump_messages();
    }
}
