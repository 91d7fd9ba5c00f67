// Frames per second of each phase of scene 6 on the headless platform: one frame
// drawn, presented to memory and pumped per iteration, on the built resources.
// Run from the build folder (it reads resource.rar there), on one core:
//   cd build && taskset -c 0 ./bench_scene06
// "fps" is frames per second of that phase; "x_copy" the frame's time as a multiple
// of one 64000-byte frame copy measured in the same run.
#include <benchmark/benchmark.h>

#include "bench_show.h"
#include "render/blit.h"
#include "scenes/palettes.h"
#include "scenes/scene06_glow_cloud.h"

namespace {

// Phase 0 draws one fresh line; phase 4 one fresh line and four smudged ones.
void BM_GlowCloudFrame(benchmark::State& state) {
    start_scene(scene06_check_resources);
    set_palette(scene6_palette);
    fill_frame(back_frame, CLOUD_BACKGROUND);
    GlowCloudRun run;
    seed_cloud(run);
    const int phase = int(state.range(0));
    run_phase(state, [&] { glow_cloud_frame(run, phase); });
}
BENCHMARK(BM_GlowCloudFrame)->DenseRange(0, WORD_LINES - 1);

}  // namespace
