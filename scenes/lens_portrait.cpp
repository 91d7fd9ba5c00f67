// The shared portrait phase of scenes 2 and 4 and its resource check.
#include "scenes/lens_portrait.h"

#include "render/lens.h"
#include "scenes/phase.h"
#include "scenes/timeline.h"

void lens_portrait_check_resources(ResourceId picture, ResourceId figure) {
    const ResourceNeed needs[] = {{picture, FRAME_BYTES}, {figure, FIGURE_W * FIGURE_H}};
    require_resources(needs);
}

void lens_portrait_phase(const Palette& palette, ResourceId picture, ResourceId figure,
                         const LensTable& lens_x, const LensTable& lens_y, int read_until) {
    // Black shown twice, so that both pages of a flipping presenter start black.
    clear_frame(screen_frame);
    present_frame(screen_frame);
    blank_screen(palette);
    LensRun run{resource_slot[picture]};
    ++cue_index;
    copy_frame(back_frame, run.picture);
    // The lens's step lives and dies with the phase: frames never shown, whose
    // pictures nothing shown reads, need not be drawn at all.
    const bool unseen = timeline_unseen_through_cue(read_until);
    while (cue_running()) {
        if (!unseen) lens_feedback_draw(run, lens_x.data(), lens_y.data(), resource_slot[figure]);
        pump_messages();
    }
}
