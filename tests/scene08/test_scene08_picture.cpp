// Scene 8's picture as the knot meets it: the knot is shaded from 0 to 64 over its
// depth, so a sky drawn in those shades would swallow it.
#include "scene_fixture.h"

namespace {

using KnotPicture = SceneTest;

TEST_F(KnotPicture, UpperHalfKeepsOutOfTheKnotsMidAndBrightShades) {
    const uint8_t* plant = resource_slot[RES_PLANT];
    int in_knot_shades = 0;
    for (int i = 0; i < FRAME_BYTES / 2; ++i) in_knot_shades += plant[i] >= 16 && plant[i] <= 64;
    // At most a tenth of the upper half: edges and details, never the sky.
    EXPECT_LE(in_knot_shades * 10, FRAME_BYTES / 2) << in_knot_shades << " pixels";
}

}  // namespace
