// The whole show on the headless platform at 70 frames per second: where it ends,
// and golden hashes of chosen screens, one or more per phase of every scene.
//
// A golden hash covers the 64000 frame bytes and the 256 colours in force at the
// first pump at or after its time. A change that alters a picture (a scene's code,
// the render kit, the palettes, the generated resources, or anything an earlier
// scene leaves behind for a later one) fails here and names the phase; the failure
// prints the new table, which goes in with a line in the commit message saying why
// the pictures changed.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "app/timeline.h"
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
    {600, "scene 1 opening fade, pass 42", 0x427af78b1a002b18ull},
    {3000, "scene 1 opening picture held", 0xd8be6af4d1e12460ull},
    {3300, "scene 1 warp burst", 0xf55fe96bb4d76121ull},
    {7000, "scene 1 logo", 0xd6633ae0516d3b19ull},
    {13000, "scene 1 curves A", 0xedbc75f8baac9116ull},
    {18000, "scene 1 curves B", 0x249957bc5a909c83ull},
    {24000, "scene 1 curves C", 0x8aa8786c3c501782ull},
    {30000, "scene 1 tunnel", 0x6c96ecd595f23229ull},
    // scene 2
    // scene 3
    // scene 4
    // scene 5
    // scene 6
    {73000, "scene 6 cloud, first line", 0xfe408032e2f082ffull},
    {75000, "scene 6 cloud, two lines", 0x249ea654fcca801aull},
    {77000, "scene 6 cloud, three lines", 0x58354aa08d1ada62ull},
    {79000, "scene 6 cloud, four lines", 0x4f3cd0fb4c0802dfull},
    {81000, "scene 6 cloud, five lines", 0x992e33b720d37d6aull},
    // scene 7
    // scene 8
    // scene 9
    // scene 10
};
constexpr int GOLDEN_COUNT = int(sizeof goldens / sizeof goldens[0]);

struct Record {
    std::vector<uint64_t> hashes;
    double end_ms = 0;
    int end_cue = -1;
    uint64_t pumps = 0;
};

// The show is run once per test program; every test reads the same record.
const Record& show_record() {
    static const Record rec = [] {
        Record r;
        size_t next = 0;
        run_whole_show([&](const HeadlessScreen& s) {
            r.pumps = s.pumps;
            while (next < GOLDEN_COUNT && headless_time_ms() >= goldens[next].ms) {
                r.hashes.push_back(screen_hash(s));
                ++next;
            }
        });
        r.end_ms = headless_time_ms();
        r.end_cue = cue_index;
        return r;
    }();
    return rec;
}

TEST(WholeShow, EndsWithCueTwentyTwoAtTheFirstPumpAfter150000) {
    const Record& rec = show_record();
    EXPECT_EQ(rec.end_cue, CUE_COUNT - 1);
    EXPECT_GE(rec.end_ms, 150000.0);
    EXPECT_LT(rec.end_ms, 150000.0 + SHOW_FRAME_MS + 1e-6);
}

TEST(WholeShow, GoldenFrames) {
    const Record& rec = show_record();
    ASSERT_EQ(int(rec.hashes.size()), GOLDEN_COUNT);
    std::string table;
    bool same = true;
    for (int i = 0; i < GOLDEN_COUNT; ++i) {
        char line[200];
        snprintf(line, sizeof line, "    {%g, \"%s\", 0x%016" PRIx64 "ull},\n", goldens[i].ms, goldens[i].what,
                 rec.hashes[i]);
        table += line;
        if (rec.hashes[i] != goldens[i].hash) {
            same = false;
            ADD_FAILURE() << "screen at " << goldens[i].ms << " ms (" << goldens[i].what << ") changed";
        }
    }
    if (!same) printf("New golden table:\n%s", table.c_str());
}

}  // namespace
