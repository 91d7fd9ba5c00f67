// The stand-in refresh and the picture's place on a full screen: the rules the SDL
// presenters follow, checked without a display.
#include <gtest/gtest.h>

#include "display/pacer.h"
#include "display/picture_rect.h"

namespace {

constexpr uint64_t MS = 1000000;

TEST(Pacer, PeriodIsTheFasterOfTheDisplaysRefreshAndSeventy) {
    FramePacer p;
    for (auto [hz, period] : {std::pair{0, 14285714ull}, {60, 14285714ull}, {70, 14285714ull},
                              {144, 6944444ull}, {-5, 14285714ull}}) {
        pacer_set_refresh(&p, hz);
        EXPECT_EQ(p.period_ns, period) << hz;
    }
}

TEST(Pacer, PresentsInARowLieOnAGridAndALateOneStartsItAgain) {
    FramePacer p;
    pacer_set_refresh(&p, 0);
    const uint64_t P = p.period_ns;
    const uint64_t t0 = 5000 * MS;
    EXPECT_EQ(pacer_next(&p, t0), 0u) << "the first present waits for nothing";
    // Fast presents each wait for their place on the grid, so N of them span N periods
    // however late each sleep ends.
    EXPECT_EQ(pacer_next(&p, t0 + 1 * MS), t0 + P);
    EXPECT_EQ(pacer_next(&p, t0 + P + 3 * MS), t0 + 2 * P);
    EXPECT_EQ(pacer_next(&p, t0 + 2 * P + 1), t0 + 3 * P);
    // A present that ends after its moment (a slow frame, or a real refresh that
    // already waited) waits for nothing, and the next period counts from it.
    const uint64_t late = t0 + 3 * P + 40 * MS;
    EXPECT_EQ(pacer_next(&p, late), 0u);
    EXPECT_EQ(pacer_next(&p, late + 2 * MS), late + P);
    // Exactly on its moment is not early.
    EXPECT_EQ(pacer_next(&p, late + 2 * P), 0u);
}

TEST(PictureRect, TheModeAskedForIsFilledAnyOtherShapeKeepsFourToThreeCentred) {
    struct Case {
        int out_w, out_h, mode_w, mode_h;
        PictureRect r;
    };
    for (const Case& c : {
             Case{320, 200, 320, 200, {0, 0, 320, 200}},      // zoom 1's own mode: 1:1
             Case{1280, 1024, 1280, 960, {0, 32, 1280, 960}},   // 5:4 panel
             Case{1920, 1080, 640, 480, {240, 0, 1440, 1080}},  // 16:9
             Case{1024, 768, 1280, 960, {0, 0, 1024, 768}},     // another 4:3 mode
             Case{641, 400, 320, 200, {54, 0, 533, 400}},       // sizes round down
         }) {
        const PictureRect r = picture_rect(c.out_w, c.out_h, c.mode_w, c.mode_h);
        EXPECT_EQ(r.x, c.r.x) << c.out_w << "x" << c.out_h;
        EXPECT_EQ(r.y, c.r.y) << c.out_w << "x" << c.out_h;
        EXPECT_EQ(r.w, c.r.w) << c.out_w << "x" << c.out_h;
        EXPECT_EQ(r.h, c.r.h) << c.out_w << "x" << c.out_h;
    }
}

}  // namespace
