// Scene 8's picture as the knot meets it: the knot is shaded from near black (its
// near faces, and 15 for its wire) to orange (64, its far faces), so a picture
// drawn in those shades would swallow it.
#include "scene_fixture.h"

namespace {

using KnotPicture = SceneTest;

constexpr int KNOT_NEAR_BLACK = 15;  // the near faces' shades and the wire colour
constexpr int PALE = 64;             // the palette's orange-to-white ramp starts here
constexpr int WHITE_STEPS = 125;     // the last entries before white
constexpr int CREAM = 85;            // from here on the ramp is pale cream to white

TEST_F(KnotPicture, UpperHalfKeepsOutOfTheKnotsMidAndBrightShades) {
    const uint8_t* plant = resource_slot[RES_PLANT];
    int in_knot_shades = 0;
    for (int i = 0; i < FRAME_BYTES / 2; ++i) in_knot_shades += plant[i] >= 16 && plant[i] <= 64;
    // At most a tenth of the upper half: edges and details, never the sky.
    EXPECT_LE(in_knot_shades * 10, FRAME_BYTES / 2) << in_knot_shades << " pixels";
}

TEST_F(KnotPicture, KnotStandsOnPaleGroundAndNothingMatchesItsNearBlack) {
    const uint8_t* plant = resource_slot[RES_PLANT];
    // Silhouettes and ground are browns above the knot's near faces, and the sun
    // stays a few steps below white, so the knot never breaks it into flat blocks.
    int near_black = 0, burnt = 0;
    for (int i = 0; i < FRAME_BYTES; ++i) {
        near_black += plant[i] <= KNOT_NEAR_BLACK;
        burnt += plant[i] >= WHITE_STEPS && plant[i] < 128;
    }
    EXPECT_EQ(near_black, 0);
    EXPECT_EQ(burnt, 0);
    // Where the knot turns (it is centred at (100, 100) and stays within 3..197),
    // nearly everything behind it is pale: only the near bank and its reeds along
    // the bottom are not.
    // More than half of it is far up the ramp, cream to white, where even the
    // knot's brightest orange reads darker than the sky by a wide step.
    int pale = 0, bright = 0, behind = 0;
    for (int y = 3; y <= 197; ++y)
        for (int x = 3; x <= 197; ++x) {
            ++behind;
            pale += plant[y * FRAME_W + x] >= PALE;
            bright += plant[y * FRAME_W + x] >= CREAM;
        }
    EXPECT_GE(pale * 100, behind * 90) << pale << " of " << behind;
    EXPECT_GE(bright * 2, behind) << bright << " of " << behind;
}

}  // namespace
