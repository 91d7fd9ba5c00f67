// Frames per second of scene 7 on the headless platform: one frame drawn,
// presented to memory and pumped per iteration, on the built resources.
// Run from the build folder (it reads resource.rar there), on one core:
//   cd build && taskset -c 0 ./bench_scene07
// "fps" is frames per second; "x_copy" the frame's time as a multiple of one
// 64000-byte frame copy measured in the same run.
#include <benchmark/benchmark.h>

#include "bench_show.h"
#include "scenes/scene07_shaded_tube.h"

namespace {

// The step alternates 4, 3 with the periods, as in the show.
void BM_ShadedTubeFrame(benchmark::State& state) {
    start_scene(scene07_check_resources);
    shaded_tube_start();
    ShadedTubeRun run;
    run_phase(state, [&] { shaded_tube_frame(run); });
}
BENCHMARK(BM_ShadedTubeFrame);

}  // namespace
