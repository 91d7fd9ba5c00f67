// Scene 4: the boy's portrait under the circling lens, then the melting warp.
#include "scenes/scene04_lens_boy.h"

#include "display/display.h"
#include "render/xor_warp.h"
#include "scenes/palettes.h"
#include "scenes/timeline.h"

void scene04_check_resources() { lens_portrait_check_resources(RES_SELF_B, RES_BOY); }

void boy_lens_phase() { lens_portrait_phase(scene4_palette, RES_SELF_B, RES_BOY, boy_lens_x, boy_lens_y); }

void melt_warp_frame(uint8_t n) {
    draw_xor_stripes(n);
    warp_frame();
    present_frame(screen_frame);
}

void melt_warp_phase() {
    copy_frame(back_frame, screen_frame);
    ++cue_index;
    uint8_t n = 0;  // wraps modulo 256
    while (cue_running()) {
        melt_warp_frame(n++);
        pump_messages();
    }
}

void scene_lens_portrait_b() {
    scene04_check_resources();
    boy_lens_phase();
    melt_warp_phase();
}
