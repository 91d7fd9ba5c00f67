// Scene 2: the girl's portrait under the circling lens.
#include "scenes/scene02_lens_girl.h"


#include "scenes/palettes.h"
#include "scenes/timeline.h"

void scene02_check_resources() { lens_portrait_check_resources(RES_SELF_G, RES_GIRL); }

void scene_lens_portrait_a() {
    scene02_check_resources();
    lens_portrait_phase(scene2_palette, RES_SELF_G, RES_GIRL, girl_lens_x, girl_lens_y, cue_index + 1);
}
