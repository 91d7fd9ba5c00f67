// The whole of scene 1 on the headless platform at a fixed frame period: the cues
// it opens and when, and where it returns.
// Its golden frames are in the whole-show tests (tests/show/).
#include <vector>

#include "scene_fixture.h"
#include "scenes/timeline.h"

namespace {

struct Record {
    std::vector<double> cue_opened_ms;  // virtual time of the first pump that saw each cue
};

Record run_scene() {
    Record rec;
    ::run_scene(1, [&](const HeadlessScreen&) {
        while (int(rec.cue_opened_ms.size()) <= cue_index) rec.cue_opened_ms.push_back(headless_time_ms());
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

}  // namespace
