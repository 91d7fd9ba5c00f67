// The mask and what shows through it: caption shapes and discs against the flat
// background, the reveal, and the softening pass.
#include <cstring>
#include <vector>

#include "reference.h"
#include "render/blit.h"
#include "scene_fixture.h"
#include "scenes/scene03_cloud_reveal.h"

namespace {

using Reveal = SceneTest;

TEST_F(Reveal, OnlyNonZeroCaptionBytesUncoverThePicture) {
    // Every byte value a caption can hold, on a picture that is never 32.
    std::vector<uint8_t> caption(ALWORK_W * ALWORK_H);
    for (size_t i = 0; i < caption.size(); ++i) caption[i] = uint8_t(i * 7);
    std::vector<uint8_t> picture(FRAME_BYTES);
    for (int i = 0; i < FRAME_BYTES; ++i) picture[i] = uint8_t(200 + i % 50);
    use_resource(RES_ALWORK, caption);
    use_resource(RES_ALIEN, picture);

    fill_frame(screen_frame, REVEAL_BACKGROUND);
    blit_add(caption.data(), 0, ALWORK_X, ALWORK_Y, ALWORK_W, ALWORK_H);
    reveal_picture();
    for (int y = 0; y < FRAME_H; ++y)
        for (int x = 0; x < FRAME_W; ++x) {
            const int cx = x - ALWORK_X, cy = y - ALWORK_Y;
            const bool in = cx >= 0 && cx < ALWORK_W && cy >= 0 && cy < ALWORK_H;
            const bool shown = in && caption[cy * ALWORK_W + cx] != 0;
            ASSERT_EQ(px(back_frame, x, y), shown ? picture[y * FRAME_W + x] : 32) << x << ", " << y;
        }
}

TEST_F(Reveal, RevealMatchesTheDirectReadingOnAnyMask) {
    std::vector<uint8_t> picture = noise_block(FRAME_BYTES);
    use_resource(RES_ALIEN, picture);
    std::vector<uint8_t> mask = noise_block(FRAME_BYTES), expect(FRAME_BYTES);
    for (size_t i = 0; i < mask.size(); i += 3) mask[i] = 32;
    std::memcpy(screen_frame, mask.data(), FRAME_BYTES);
    reveal_picture();
    reference_reveal(expect.data(), mask.data(), picture.data());
    EXPECT_EQ(std::memcmp(back_frame, expect.data(), FRAME_BYTES), 0);
}

TEST_F(Reveal, SofteningMatchesTheDirectReading) {
    // Background runs of every length between revealed pixels of any value, so the
    // pass's skipping over background meets every alignment.
    std::vector<uint8_t> frame(FRAME_BYTES);
    for (int round = 0; round < 20; ++round) {
        size_t i = 0;
        while (i < frame.size()) {
            const size_t run = rng_() % (round < 10 ? 20 : 3);
            for (size_t k = 0; k < run && i < frame.size(); ++k) frame[i++] = 32;
            const size_t lit = rng_() % 12;
            for (size_t k = 0; k < lit && i < frame.size(); ++k) frame[i++] = uint8_t(rng_());
        }
        std::memcpy(back_frame, frame.data(), FRAME_BYTES);
        soften_back();
        reference_soften(frame.data());
        ASSERT_EQ(std::memcmp(back_frame, frame.data(), FRAME_BYTES), 0) << "round " << round;
    }
}

}  // namespace
