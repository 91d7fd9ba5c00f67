// The show order and the reset of every scene's state to program start.
#include "scenes/scenes.h"

#include "render/random.h"
#include "scenes/lens_portrait.h"
#include "scenes/scene01_opening.h"
#include "scenes/scene02_lens_girl.h"
#include "scenes/scene03_cloud_reveal.h"
#include "scenes/scene04_lens_boy.h"
#include "scenes/scene05_textured_tube.h"
#include "scenes/scene06_glow_cloud.h"
#include "scenes/scene07_shaded_tube.h"
#include "scenes/scene08_spinning_knot.h"
#include "scenes/scene09_warped_picture.h"
#include "scenes/scene10_closing.h"

void (*const scene_entry[SCENE_COUNT])() = {
    scene_opening,       scene_lens_portrait_a, scene_cloud_reveal, scene_lens_portrait_b,
    scene_textured_tube, scene_glow_cloud,      scene_shaded_tube,  scene_spinning_knot,
    scene_warped_picture, scene_closing,
};

void scenes_reset_state() {
    show_srand(1);
    scene01_reset_state();
    scene03_reset_state();
    scene05_reset_state();
    scene08_reset_state();
    scene10_reset_state();
    lens_portrait_reset_state();
    scene09_reset_state();
    scene06_reset_state();
}
