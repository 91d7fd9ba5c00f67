// Frames per second of each phase of scene 8 on the headless platform: one frame
// drawn, presented to memory and pumped per iteration, on the built resources.
// Run from the build folder (it reads resource.rar there), on one core:
//   cd build && taskset -c 0 ./bench_scene08
// "fps" is frames per second of that phase; "x_copy" the frame's time as a multiple
// of one 64000-byte frame copy measured in the same run.
#include <benchmark/benchmark.h>

#include "bench_show.h"
#include "scenes/palettes.h"
#include "scenes/scene08_spinning_knot.h"

namespace {

void BM_KnotFrame(benchmark::State& state) {
    start_scene(scene08_check_resources);
    set_palette(scene8_palette);
    KnotRun run;
    run_phase(state, [&] { knot_frame(run); });
}
BENCHMARK(BM_KnotFrame);

void BM_KnotFadeFrame(benchmark::State& state) {
    start_scene(scene08_check_resources);
    set_palette(scene8_palette);
    KnotRun run;
    int n = KNOT_FADE_FIRST_TINT;
    run_phase(state, [&] {
        knot_fade_frame(run, uint8_t(n));
        if (--n < KNOT_FADE_LAST_TINT) n = KNOT_FADE_FIRST_TINT;
    });
}
BENCHMARK(BM_KnotFadeFrame);

}  // namespace
