// The show order and the reset of every scene's state to program start.
#include "scenes/scenes.h"

#include "render/bezier_trace.h"
#include "render/carried.h"
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
    carried = Carried{};
    curve_point_count = 0;  // the curve tracer's list: nothing traced yet
    scene01_run = OpeningRun{};
    scene03_run = RevealRun{};
    scene05_run = TexturedTubeRun{};
    scene06_run = GlowCloudRun{};
    scene07_run = ShadedTubeRun{};
    scene08_run = KnotRun{};
    scene09_run = WarpedRun{};
    scene10_run = ClosingRun{};
}
