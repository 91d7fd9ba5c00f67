// Frames per second of the phases of scenes 2 and 4 on the headless platform: one
// frame drawn, presented to memory and pumped per iteration, on the built resources.
//   cd build && taskset -c 0 ./bench_scene02_04
// "fps" is frames per second of that phase; "x_copy" the frame's time as a multiple
// of one 64000-byte frame copy measured in the same run.
#include <benchmark/benchmark.h>

#include "bench_show.h"
#include "scenes/palettes.h"
#include "scenes/scene02_lens_girl.h"
#include "scenes/scene04_lens_boy.h"

namespace {

// The set-up the portrait phase makes before its loop, without its presents.
LensRun start_lens(const Palette& palette, ResourceId picture) {
    set_palette(palette);
    const LensRun run{resource_slot[picture]};
    copy_frame(back_frame, run.picture);
    return run;
}

void BM_GirlLensFrame(benchmark::State& state) {
    start_scene(scene02_check_resources);
    LensRun run = start_lens(scene2_palette, RES_SELF_G);
    run_phase(state, [&] { lens_feedback_draw(run, girl_lens_x.data(), girl_lens_y.data(), resource_slot[RES_GIRL]); });
}
BENCHMARK(BM_GirlLensFrame);

void BM_BoyLensFrame(benchmark::State& state) {
    start_scene(scene04_check_resources);
    LensRun run = start_lens(scene4_palette, RES_SELF_B);
    run_phase(state, [&] { lens_feedback_draw(run, boy_lens_x.data(), boy_lens_y.data(), resource_slot[RES_BOY]); });
}
BENCHMARK(BM_BoyLensFrame);

void BM_MeltWarpFrame(benchmark::State& state) {
    start_scene(scene04_check_resources);
    LensRun run = start_lens(scene4_palette, RES_SELF_B);
    for (int i = 0; i < 100; ++i)
        lens_feedback_draw(run, boy_lens_x.data(), boy_lens_y.data(), resource_slot[RES_BOY]);
    copy_frame(back_frame, screen_frame);
    uint8_t n = 0;
    run_phase(state, [&] { melt_warp_frame(n++); });
}
BENCHMARK(BM_MeltWarpFrame);

}  // namespace
