// Scene 10: the entry operation, its set-up, the sliding sprites and the three
// phases (a counted shrink, the hold of cue 21, the fade of cue 22).
#include "scenes/scene10_closing.h"

#include "archive/resources.h"
#include "display/display.h"
#include "render/blit.h"
#include "scenes/palettes.h"
#include "scenes/phase.h"
#include "scenes/timeline.h"

ClosingRun scene10_run;

namespace {

constexpr ResourceNeed scene10_needs[] = {
    {RES_APFRM, FRAME_BYTES},
    {RES_UPPERA, UPPERA_W * UPPERA_H},
    {RES_LOWERA, LOWERA_W * LOWERA_H},
    {RES_DOTP, DOTP_W * DOTP_H},
};

// The frame both sliding phases draw; only the shrink moves the scale, and it
// places the outlines before the step and sizes the dots after it.
void sprite_frame(ClosingRun& run, double step) {
    copy_frame(screen_frame, resource_slot[RES_APFRM]);
    draw_sprites(run.sprites);
    advance_dots(run.trails);
    place_outlines(run.trails, run.scale);
    run.scale += step;
    draw_dots(run.trails, run.scale);
    if (++run.c6 >= DIM_EVERY) {
        run.c6 = 0;
        dim_step(run.fades);
    }
    present_frame(screen_frame);
    slide_sprites(run.sprites);
}

}  // namespace

void scene10_check_resources() {
    require_resources(scene10_needs);
}

void closing_setup(ClosingRun& run) {
    fill_dot_indices(run.trails);
    blank_screen(scene10_palette);
}

void draw_sprites(const ClosingSprites& s) {
    blit_keyed_clipped(resource_slot[RES_UPPERA], UPPERA_W, UPPERA_H, s.ua, UPPERA_Y, SPRITE_KEY);
    blit_keyed_clipped(resource_slot[RES_LOWERA], LOWERA_W, LOWERA_H, s.la, LOWERA_Y, SPRITE_KEY);
    blit_keyed_clipped(resource_slot[RES_DOTP], DOTP_W, DOTP_H, s.dp, DOTP_Y, SPRITE_KEY);
}

void slide_sprites(ClosingSprites& s) {
    s.ua = s.ua >= UPPERA_TO ? UPPERA_TO : int16_t(s.ua + 1);
    s.la = s.la >= LOWERA_TO ? LOWERA_TO : int16_t(s.la + 1);
    s.dp = s.dp <= DOTP_TO ? DOTP_TO : int16_t(s.dp - 1);
}

void shrink_frame(ClosingRun& run) { sprite_frame(run, SHRINK_STEP); }

void hold_frame(ClosingRun& run) { sprite_frame(run, 0.0); }

void fade_frame(ClosingRun& run) {
    copy_frame(screen_frame, resource_slot[RES_APFRM]);
    advance_dots(run.trails);
    place_outlines(run.trails, 1.0);
    draw_dots(run.trails, 1.0);
    present_frame(screen_frame);
    fade_step(run.fades);
}

void shrink_phase(ClosingRun& run) {
    do {
        shrink_frame(run);
        pump_messages();
    } while (run.scale > SHRINK_UNTIL);
}

void hold_phase(ClosingRun& run) {
    ++cue_index;
    while (cue_running()) {
        hold_frame(run);
        pump_messages();
    }
}

void fade_phase(ClosingRun& run) {
    ++cue_index;
    while (cue_running()) {
        fade_frame(run);
        pump_messages();
    }
}

void scene_closing() {
    scene10_check_resources();
    scene10_run = ClosingRun{};
    ClosingRun& run = scene10_run;
    closing_setup(run);
    shrink_phase(run);
    hold_phase(run);
    fade_phase(run);
}
