// The lens window, the packed feedback mix, the tiling and one whole effect frame.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "render/blit.h"
#include "render/lens.h"
#include "render/tables.h"
#include "tests/render/render_fixture.h"

namespace {

class Lens : public RenderTest {};

// The mix as described: 16000 little-endian words assembled byte by byte.
void reference_mix(uint8_t* dst, const uint8_t* src) {
    for (int i = 0; i < 64000; i += 4) {
        uint32_t a = 0, b = 0;
        for (int j = 3; j >= 0; --j) {
            a = a << 8 | dst[i + j];
            b = b << 8 | src[i + j];
        }
        uint32_t v = ((a + b) * 2u) & 0x3FBFBFBEu;
        for (int j = 0; j < 4; ++j, v >>= 8) dst[i + j] = uint8_t(v);
    }
}

void put_word(uint8_t* f, uint32_t w) {
    for (int j = 0; j < 4; ++j, w >>= 8) f[j] = uint8_t(w);
}
uint32_t get_word(const uint8_t* f) { return f[0] | f[1] << 8 | f[2] << 16 | uint32_t(f[3]) << 24; }

TEST_F(Lens, MixCarriesAcrossPixels) {
    feedback_mix(screen_frame, back_frame);
    for (int i = 0; i < FRAME_BYTES; ++i) ASSERT_EQ(screen_frame[i], 0);
    put_word(screen_frame, 0x01010101);
    feedback_mix(screen_frame, back_frame);
    EXPECT_EQ(get_word(screen_frame), 0x02020202u);
    put_word(screen_frame + 400, 0x00000080);
    put_word(back_frame + 400, 0x00000080);
    feedback_mix(screen_frame, back_frame);
    EXPECT_EQ(get_word(screen_frame + 400), 0x00000200u);
}

TEST_F(Lens, MixMatchesTheWordReference) {
    for (int round = 0; round < 3; ++round) {
        noise(screen_frame, FRAME_BYTES);
        noise(back_frame, FRAME_BYTES);
        auto expect = frame_copy(screen_frame);
        reference_mix(expect.data(), back_frame);
        feedback_mix(screen_frame, back_frame);
        ASSERT_EQ(frame_copy(screen_frame), expect);
    }
}

TEST_F(Lens, MixIsNotAPerPixelFormula) {
    // 0x80 + 0x80 in the first pixel: a per-pixel reading would give 0 everywhere.
    put_word(screen_frame, 0x000000C0);
    put_word(back_frame, 0x00000040);
    feedback_mix(screen_frame, back_frame);
    EXPECT_EQ(screen_frame[0], 0);
    EXPECT_EQ(screen_frame[1], 2);
}

TEST_F(Lens, WindowShowsTheShiftedPictureExceptOnProtectedPixels) {
    auto picture = noise_block(FRAME_BYTES);
    for (size_t i = 0; i < picture.size(); i += 7) picture[i] = 1;
    copy_frame(screen_frame, picture.data());
    const int ox = 86, oy = 12;
    lens_window(picture.data(), ox, oy);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x) {
            const int k = y * 320 + x;
            const bool inside = x >= 75 && x <= 222 && y >= 23 && y <= 169;
            // The shifted source exists only inside the window: outside it the index
            // would leave the picture.
            const uint8_t want = inside && picture[k] != 1
                                     ? picture[(y - 23 + oy) * 320 + (x - 75 + ox)]
                                     : picture[k];
            ASSERT_EQ(screen_frame[k], want) << x << "," << y;
        }
    // The buffer holds the whole 148x148 block, its last row included.
    EXPECT_EQ(lens_buffer[147 * 148 + 147], picture[(oy + 147) * 320 + ox + 147]);
}

TEST_F(Lens, WindowOriginIsKeptInsideThePicture) {
    auto picture = noise_block(FRAME_BYTES);
    lens_window(picture.data(), 65535, 65535);  // would read far past the picture
    EXPECT_EQ(px(screen_frame, 75, 23), picture[52 * 320 + 172]);
}

TEST_F(Lens, TilingRepeatsTheHalfFrame) {
    noise(screen_frame, FRAME_BYTES);
    tile_quarters();
    for (int r = 0; r < 100; ++r)
        for (int c = 0; c < 160; ++c) {
            const uint8_t v = screen_frame[2 * r * 320 + 2 * c];
            ASSERT_EQ(half_buffer[r * 160 + c], v);
            ASSERT_EQ(px(back_frame, c, r), v);
            ASSERT_EQ(px(back_frame, c + 160, r), v);
            ASSERT_EQ(px(back_frame, c, r + 100), v);
            ASSERT_EQ(px(back_frame, c + 160, r + 100), v);
        }
}

const uint8_t* presented = nullptr;
int presents = 0;
void capture(const uint8_t* f, const uint32_t*) {
    presented = f;
    ++presents;
}

// The installed presenter with its present replaced by capture, for one scope.
struct CapturedPresents {
    Platform saved = platform;
    Presenter capturing = *platform.presenter;
    CapturedPresents() {
        capturing.present = capture;
        Platform p = saved;
        p.presenter = &capturing;
        platform_install(p);
    }
    ~CapturedPresents() { platform_install(saved); }
};

TEST_F(Lens, OneFrameOfTheEffect) {
    auto picture = noise_block(FRAME_BYTES);
    auto figure = noise_block(108 * 188);
    uint16_t tx[64], ty[64];
    for (int i = 0; i < 64; ++i) {
        tx[i] = uint16_t(64 + i % 23);
        ty[i] = uint16_t(12 + i % 23);
    }
    LensRun run{picture.data(), 62};
    copy_frame(back_frame, picture.data());
    presents = 0;

    // Expected: picture, window at step 62, mix with the old back frame.
    std::vector<uint8_t> expect = picture;
    {
        uint8_t* real_screen = screen_frame;
        screen_frame = expect.data();
        lens_window(picture.data(), tx[62], ty[62]);
        screen_frame = real_screen;
        reference_mix(expect.data(), back_frame);
    }
    {
        CapturedPresents captured;
        lens_feedback_draw(run, tx, ty, figure.data());
    }

    EXPECT_EQ(run.index, 63);
    EXPECT_EQ(presents, 1);
    EXPECT_EQ(presented, work_frame);
    EXPECT_EQ(frame_copy(screen_frame), expect);  // no figure in the feedback
    for (int r = 0; r < 200; ++r)
        for (int c = 0; c < 320; ++c) {
            const bool fig = c >= 108 && c < 216 && r >= 5 && r < 193;
            const uint8_t want = fig ? figure[(r - 5) * 108 + (c - 108)] : expect[r * 320 + c];
            ASSERT_EQ(px(work_frame, c, r), want) << c << "," << r;
            ASSERT_EQ(px(back_frame, c, r), expect[(2 * (r % 100)) * 320 + 2 * (c % 160)]);
        }

    {
        CapturedPresents captured;
        lens_feedback_draw(run, tx, ty, figure.data());  // step 63, then back to 0
    }
    EXPECT_EQ(run.index, 0);
}

}  // namespace
