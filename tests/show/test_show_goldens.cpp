// The whole show on the headless platform at 70 frames per second: where it ends,
// and golden hashes of chosen screens, one or more per phase of every scene and the
// last frame. The show runs full screen at zoom 1 and in a window at zooms 2 and 4,
// one after the other in one process: what a viewer sees is the same picture on
// each, so the hashes are too, and a second and third run in one process show that
// every scene starts over from program start.
//
// A golden hash covers the 64000 frame bytes and the 256 colours in force at the
// first pump at or after its time. A change that alters a picture (a scene's code,
// the render kit, the palettes, the generated resources, or anything an earlier
// scene leaves behind for a later one) fails here and names the phase; the failure
// prints the new table, which goes in with a line in the commit message saying why
// the pictures changed (the full-screen run prints it).
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "scenes/timeline.h"
#include "show_run.h"

namespace {

struct Golden {
    double ms;
    const char* what;
    uint64_t hash;
};

// Rows in time order; each scene's rows sit under its own heading.
const Golden goldens[] = {
    // scene 1
    {600, "scene 1 opening fade, pass 42", 0x8ed64815bc778074ull},
    {3000, "scene 1 opening picture held", 0x604c2ab9616232fcull},
    {3300, "scene 1 warp burst", 0x7f6519c74c6c9cbbull},
    {7000, "scene 1 logo", 0xe072c0f81cf76f3aull},
    {13000, "scene 1 curves A", 0xf2826ccf105dc426ull},
    {18000, "scene 1 curves B", 0x557db96416069e05ull},
    {24000, "scene 1 curves C", 0x3075fc331fc84dadull},
    {30000, "scene 1 tunnel", 0xe7ed53f9644ee677ull},
    // scene 2
    {38000, "scene 2 lens, girl", 0x511a3f71e8f42c22ull},
    // scene 3
    {44000, "scene 3 cloud, early turn", 0x2d6530a9a82a9b7cull},
    {51000, "scene 3 cloud, late turn", 0xc07f4276a5dbd9ceull},
    // scene 4
    {58000, "scene 4 lens, boy", 0x8e8e2345ac33c812ull},
    {62550, "scene 4 melting warp", 0xcbf7cc08a7b9ca56ull},
    // scene 5
    {62900, "scene 5 zoom into scene 4's picture", 0x5a0c5313496ee0aeull},
    {63400, "scene 5 tube zoom-out", 0x2b4f5f68d89ee8cfull},
    {64200, "scene 5 flight", 0x5214097c17f909baull},
    {65000, "scene 5 flight, sprite and closing trail", 0xf24f8b35d77b44b5ull},
    {70000, "scene 5 flight, sprite at rest", 0x747e71d41885e924ull},
    // scene 6
    {73000, "scene 6 cloud, first line", 0xa5233dd573e9ac86ull},
    {75000, "scene 6 cloud, two lines", 0xd5e675a638aa3a87ull},
    {77000, "scene 6 cloud, three lines", 0x03aab2dad3459b49ull},
    {79000, "scene 6 cloud, four lines", 0x284a3c264ed30325ull},
    {81000, "scene 6 cloud, five lines", 0x0bcd14fbfc19f554ull},
    // scene 7
    {84000, "scene 7 shaded tube", 0x95a5741f615d9405ull},
    {95000, "scene 7 shaded tube, late", 0x628a4a9fb7217059ull},
    // scene 8
    {97520, "scene 8 knot, first frame", 0x50937737896fd18cull},
    {104500, "scene 8 spinning knot", 0x99c33be52e6ce4b1ull},
    {111500, "scene 8 tinted fade", 0x8c259d724671f5c4ull},
    // scene 9
    {112600, "scene 9 sphere", 0x07d0e884bf74b2c1ull},
    {114500, "scene 9 sphere widening", 0xc949e7f48f21785eull},
    {116100, "scene 9 tube, focus growing", 0x84c409846107f864ull},
    {117500, "scene 9 tube", 0x5d58460519aa8ecbull},
    {130000, "scene 9 tube with curves", 0x330c0c95efc5dd47ull},
    // scene 10
    {144700, "scene 10 shrink, trails at 1.5 times", 0x15f3207ee1a813a2ull},
    {147800, "scene 10 hold, sprites at rest", 0xfe6fefde252479eaull},
    {149000, "scene 10 fade, step 24", 0x5383aab26c9c62e1ull},
    // the end
    {150000, "last frame", 0xe3b4a117d2b425a5ull},
};
constexpr int GOLDEN_COUNT = int(sizeof goldens / sizeof goldens[0]);

struct Presenter {
    bool fullscreen;
    int zoom;
    const char* name;
};

// Full screen first: its run prints the new golden table when a picture changed.
// The two windows then play the show again in the same process, so they also find
// any state a scene leaves behind that scenes_reset_state does not put back.
const Presenter presenters[] = {
    {true, 1, "FullScreenZoom1"},
    {false, 2, "WindowZoom2"},
    {false, 4, "WindowZoom4"},
};

TEST(WholeShow, GoldenFramesAndTheEndOnEveryPresenterInTurn) {
    for (const Presenter& p : presenters) {
        SCOPED_TRACE(p.name);
        std::vector<uint64_t> hashes;
        size_t next = 0;
        run_whole_show(
            [&](const HeadlessScreen& s) {
                while (next < GOLDEN_COUNT && headless_time_ms() >= goldens[next].ms) {
                    hashes.push_back(screen_hash(s));
                    ++next;
                }
            },
            p.fullscreen, p.zoom);

        // The show ends with cue 22 at the first pump after 150000 ms.
        EXPECT_EQ(cue_index, CUE_COUNT - 1);
        EXPECT_GE(headless_time_ms(), 150000.0);
        EXPECT_LT(headless_time_ms(), 150000.0 + SHOW_FRAME_MS + 1e-6);

        ASSERT_EQ(int(hashes.size()), GOLDEN_COUNT);
        std::string table;
        bool same = true;
        for (int i = 0; i < GOLDEN_COUNT; ++i) {
            char line[200];
            snprintf(line, sizeof line, "    {%g, \"%s\", 0x%016" PRIx64 "ull},\n", goldens[i].ms, goldens[i].what,
                     hashes[i]);
            table += line;
            if (hashes[i] != goldens[i].hash) {
                same = false;
                ADD_FAILURE() << "screen at " << goldens[i].ms << " ms (" << goldens[i].what << ") changed";
            }
        }
        if (!same && &p == &presenters[0]) printf("New golden table:\n%s", table.c_str());
    }
}

}  // namespace
