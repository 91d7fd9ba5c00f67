// The whole of scene 1 on the headless platform at a fixed frame period: the cues
// it opens and when, where it returns, and golden hashes of one screen per phase.
//
// A golden hash covers the 64000 frame bytes and the 256 colours in force at the
// first pump at or after its time. A change that alters the scene's pictures (its
// code, the render kit, the palettes or the generated resources) fails here; the
// failure prints the new table, which goes in with a line in the commit message
// saying why the pictures changed.
#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "app/timeline.h"
#include "scene1_fixture.h"

namespace {

struct Golden {
    double ms;
    const char* what;
    uint64_t hash;
};

const Golden goldens[] = {
    {600, "opening fade, pass 42", 0x427af78b1a002b18ull},
    {3000, "opening picture held", 0xd8be6af4d1e12460ull},
    {3300, "warp burst", 0xf55fe96bb4d76121ull},
    {7000, "logo", 0xd6633ae0516d3b19ull},
    {13000, "curves A", 0xedbc75f8baac9116ull},
    {18000, "curves B", 0x249957bc5a909c83ull},
    {24000, "curves C", 0x8aa8786c3c501782ull},
    {30000, "tunnel", 0x6c96ecd595f23229ull},
};
constexpr int GOLDEN_COUNT = int(sizeof goldens / sizeof goldens[0]);

struct Record {
    std::vector<double> cue_opened_ms;  // virtual time of the first pump that saw each cue
    std::vector<uint64_t> hashes;
    uint64_t pumps = 0;
};

Record run_scene() {
    Record rec;
    size_t next = 0;
    scene1_run([&](const HeadlessScreen& s) {
        rec.pumps = s.pumps;
        while (int(rec.cue_opened_ms.size()) <= cue_index) rec.cue_opened_ms.push_back(headless_time_ms());
        while (next < GOLDEN_COUNT && headless_time_ms() >= goldens[next].ms) {
            rec.hashes.push_back(screen_hash(s));
            ++next;
        }
    });
    return rec;
}

using Show = Scene1Test;

TEST_F(Show, ConsumesCuesZeroToSixAndReturnsAtTheFirstPumpAfter34200) {
    const Record rec = run_scene();
    EXPECT_EQ(cue_index, 6);
    EXPECT_GE(headless_time_ms(), 34200.0);
    EXPECT_LT(headless_time_ms(), 34200.0 + SCENE1_FRAME_MS);
    // Cue k opens with the first frame after cue k-1 ended (the phase's set-up
    // pumps nothing, so its first pump comes one period later).
    ASSERT_EQ(rec.cue_opened_ms.size(), 7u);
    for (int k = 1; k < 7; ++k) {
        EXPECT_GE(rec.cue_opened_ms[k], double(cue_table[k - 1]) + SCENE1_FRAME_MS) << k;
        EXPECT_LT(rec.cue_opened_ms[k], double(cue_table[k - 1]) + 2 * SCENE1_FRAME_MS) << k;
    }
}

TEST_F(Show, GoldenFramesOnePerPhase) {
    const Record rec = run_scene();
    ASSERT_EQ(int(rec.hashes.size()), GOLDEN_COUNT);
    std::string table;
    bool same = true;
    for (int i = 0; i < GOLDEN_COUNT; ++i) {
        char line[160];
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

TEST_F(Show, RunsTheSameTwiceInOneProcess) {
    // The scene's globals carry over between runs; put back to their start they
    // give the same pictures, so the run depends on nothing but the virtual clock.
    const Record a = run_scene();
    const Record b = run_scene();
    EXPECT_EQ(a.hashes, b.hashes);
    EXPECT_EQ(a.pumps, b.pumps);
}

}  // namespace
