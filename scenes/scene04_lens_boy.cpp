// Scene 4: the boy's portrait under the circling lens, then the melting warp.
#include "scenes/scene04_lens_boy.h"

#include "display/display.h"
#include "render/carried.h"
#include "render/xor_warp.h"
#include "scenes/palettes.h"
#include "scenes/timeline.h"

void scene04_check_resources() { lens_portrait_check_resources(RES_SELF_B, RES_BOY); }

namespace {
// Scene 5 zooms into the melt's last picture; none of its frames is shown when the
// start lies past its flight, the cue after the melt's.
constexpr int READ_UNTIL_CUE = 11;
}  // namespace

void boy_lens_phase() {
    lens_portrait_phase(scene4_palette, RES_SELF_B, RES_BOY, boy_lens_x, boy_lens_y, READ_UNTIL_CUE);
}

void melt_warp_frame(uint8_t n) {
    draw_xor_stripes(n);
    warp_frame();
    present_frame(screen_frame);
}

void melt_warp_phase() {
    copy_frame(back_frame, screen_frame);
    ++cue_index;
    uint8_t n = 0;  // wraps modulo 256
    const bool unseen = timeline_unseen_through_cue(READ_UNTIL_CUE);
    while (cue_running()) {
        if (unseen)
            carried.stripe_flip ^= 1;  // the stripes' only state, as draw_xor_stripes turns it
        else
            melt_warp_frame(n);
        ++n;
        pump_messages();
    }
}

void scene_lens_portrait_b() {
    scene04_check_resources();
    boy_lens_phase();
    melt_warp_phase();
}
