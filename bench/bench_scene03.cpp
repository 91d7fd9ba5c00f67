// Frames per second of scene 3 on the headless platform: one frame drawn, presented
// to memory and pumped per iteration, on the built resources, and the frame's three
// heaviest steps on their own. Run from the build folder, on one core:
//   cd build && taskset -c 0 ./bench_scene03
// "fps" is frames per second; "x_copy" the time as a multiple of one 64000-byte
// frame copy measured in the same run.
#include <benchmark/benchmark.h>

#include "bench_show.h"
#include "render/blit.h"
#include "scenes/scene03_cloud_reveal.h"

namespace {

void BM_CloudFrame(benchmark::State& state) {
    start_scene(scene03_check_resources);
    static RevealRun run;
    run = RevealRun{};
    cloud_setup(run);
    run_phase(state, [] { cloud_frame(run); });
}
BENCHMARK(BM_CloudFrame);

// The parts, each on a mask as the scene makes it (the cloud keeps turning).
void BM_CloudDiscs(benchmark::State& state) {
    start_scene(scene03_check_resources);
    static RevealRun run;
    run = RevealRun{};
    cloud_setup(run);
    run_against_copy(state, [] {
        fill_frame(screen_frame, REVEAL_BACKGROUND);
        draw_reveal_discs(run);
    });
}
BENCHMARK(BM_CloudDiscs);

void BM_CloudReveal(benchmark::State& state) {
    start_scene(scene03_check_resources);
    static RevealRun run;
    run = RevealRun{};
    cloud_setup(run);
    cloud_frame(run);
    run_against_copy(state, [] { reveal_picture(); });
}
BENCHMARK(BM_CloudReveal);

void BM_CloudSoften(benchmark::State& state) {
    start_scene(scene03_check_resources);
    static RevealRun run;
    run = RevealRun{};
    cloud_setup(run);
    cloud_frame(run);
    run_against_copy(state, [] {
        reveal_picture();
        soften_back();
    });
}
BENCHMARK(BM_CloudSoften);

}  // namespace
