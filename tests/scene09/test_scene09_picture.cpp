// Scene 9's picture and texture together: the sphere's wrapping subtraction must
// not wrap the light picture into the palette's black half, and the tube must
// leave the glowing curves room below their cap of 127.
#include "render/texture_warp.h"
#include "scene_fixture.h"
#include "scenes/palettes.h"
#include "scenes/scene09_warped_picture.h"

namespace {

using WarpedTexture = SceneTest;

constexpr int LIGHT_RAMP = 64;  // the palette's orange-to-white ramp starts here
constexpr int DEEP_BROWN = 40;  // below this the brown ramp is deep and dark
constexpr int BLACK = 3;        // 0..3 show as black

TEST_F(WarpedTexture, SphereOnlyDarkensThePicture) {
    // The sphere's subtraction wraps: where the texture takes more than a pixel
    // holds, the result lands in 128..255, which the palette shows black. It must
    // never wrap further, back into the lit colours, where a dark panel would
    // flash brighter than the picture under it.
    const uint8_t* plant = resource_slot[RES_PLANT];
    const Palette& palette = scene8_palette;
    WarpedRun run;
    // The swing and the widening: turns either side and the focus down to near 0.
    for (double focus : {0.6, 0.3, 0.01})
        for (double phi : {3.55, 4.0, 5.1, 5.6}) {
            run.camera.focus = focus;
            draw_sphere_frame(run, phi);
            for (int i = 0; i < FRAME_BYTES; ++i) {
                const uint8_t v = screen_frame[i];
                if (v >= 128) {
                    ASSERT_EQ(palette.rgb[v * 3] | palette.rgb[v * 3 + 1] | palette.rgb[v * 3 + 2], 0) << v;
                } else {
                    ASSERT_LE(v, plant[i]) << "pixel " << i << " at " << phi;
                }
            }
        }
}

TEST_F(WarpedTexture, TubeLeavesTheGlowsHeadroom) {
    // One dot's core adds 63: over a tube pixel of 64 or more it reaches the cap.
    // Those pixels stay a small share of the frame, so that only where the curves
    // overlap do they burn white.
    WarpedRun run;
    run.camera.focus = 1.0;
    int frames = 0, above = 0;
    for (int f = 0; f < 64; ++f) {
        draw_tube_frame(run);
        ++frames;
        for (int i = 0; i < FRAME_BYTES; ++i) above += screen_frame[i] >= LIGHT_RAMP;
    }
    const double share = double(above) / (double(frames) * FRAME_BYTES);
    EXPECT_LT(share, 0.08) << share;
}

TEST_F(WarpedTexture, TubeIsDarkReliefNotEmptyBlack) {
    // Under the curves the tube is mostly deep brown (the palette's first forty
    // entries), so the glows read as light on a dark shaft; but only its grooves
    // and the silhouettes go black, so its rings and rails show as relief instead
    // of large empty areas.
    WarpedRun run;
    run.camera.focus = 1.0;
    int frames = 0, deep = 0, black = 0;
    for (int f = 0; f < 64; ++f) {
        draw_tube_frame(run);
        ++frames;
        for (int i = 0; i < FRAME_BYTES; ++i) {
            deep += screen_frame[i] < DEEP_BROWN;
            black += screen_frame[i] <= BLACK;
        }
    }
    const double pixels = double(frames) * FRAME_BYTES;
    EXPECT_GT(deep / pixels, 0.6) << deep / pixels;
    EXPECT_LT(black / pixels, 0.35) << black / pixels;
}

}  // namespace
