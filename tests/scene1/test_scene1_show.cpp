// The whole of scene 1 on the headless platform at a fixed frame period: the cues
// it opens and when, where it returns, and that a second run repeats the first.
// Its golden frames are in the whole-show tests (tests/show/).
#include <vector>

#include "app/timeline.h"
#include "scene_fixture.h"

namespace {

struct Record {
    std::vector<double> cue_opened_ms;  // virtual time of the first pump that saw each cue
    std::vector<uint64_t> hashes;    // of every 97th pump's screen
    uint64_t pumps = 0;
};

Record run_scene() {
    Record rec;
    ::run_scene(1, [&](const HeadlessScreen& s) {
        rec.pumps = s.pumps;
        while (int(rec.cue_opened_ms.size()) <= cue_index) rec.cue_opened_ms.push_back(headless_time_ms());
        if (s.pumps % 97 == 0) rec.hashes.push_back(screen_hash(s));
    });
    return rec;
}

using Show = SceneTest;

TEST_F(Show, ConsumesCuesZeroToSixAndReturnsAtTheFirstPumpAfter34200) {
    const Record rec = run_scene();
    EXPECT_EQ(cue_index, 6);
    EXPECT_GE(headless_time_ms(), 34200.0);
    EXPECT_LT(headless_time_ms(), 34200.0 + SHOW_FRAME_MS);
    // Cue k opens with the first frame after cue k-1 ended (the phase's set-up
    // pumps nothing, so its first pump comes one period later).
    ASSERT_EQ(rec.cue_opened_ms.size(), 7u);
    for (int k = 1; k < 7; ++k) {
        EXPECT_GE(rec.cue_opened_ms[k], double(cue_table[k - 1]) + SHOW_FRAME_MS) << k;
        EXPECT_LT(rec.cue_opened_ms[k], double(cue_table[k - 1]) + 2 * SHOW_FRAME_MS) << k;
    }
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
