// Frames per second of each phase of scene 10 on the headless platform: one frame
// drawn, presented to memory and pumped per iteration, on the built resources.
// Run from the build folder (it reads resource.rar there), on one core:
//   cd build && taskset -c 0 ./bench_scene10
// "fps" is frames per second of that phase; "x_copy" the frame's time as a multiple
// of one 64000-byte frame copy measured in the same run.
#include <benchmark/benchmark.h>

#include "bench_show.h"
#include "scenes/scene10_closing.h"
#include "scenes/scene10_fades.h"

namespace {

// The shrink starts over every 105 frames, so every scale and radius it passes
// through is measured.
void BM_ShrinkFrame(benchmark::State& state) {
    start_scene(scene10_check_resources);
    ClosingRun run;
    closing_setup(run);
    run_phase(state, [&run] {
        shrink_frame(run);
        if (!(run.scale > SHRINK_UNTIL)) {
            // The sprites and the scale start over; the trains and the dimming go on.
            const ClosingRun fresh;
            run.sprites = fresh.sprites;
            run.c6 = fresh.c6;
            run.scale = fresh.scale;
        }
    });
}
BENCHMARK(BM_ShrinkFrame);

// The hold with the sprites at their end places and the dots at their final scale.
void BM_HoldFrame(benchmark::State& state) {
    start_scene(scene10_check_resources);
    ClosingRun run;
    closing_setup(run);
    while (run.scale > SHRINK_UNTIL) shrink_frame(run);
    for (int k = 0; k < 300; ++k) slide_sprites(run.sprites);
    run_phase(state, [&run] { hold_frame(run); });
}
BENCHMARK(BM_HoldFrame);

// The fade, its counters put back whenever it has reached black.
void BM_FadeFrame(benchmark::State& state) {
    start_scene(scene10_check_resources);
    ClosingRun run;
    closing_setup(run);
    run_phase(state, [&run] {
        fade_frame(run);
        if (run.fades.fade_level == FADE_STEPS) run.fades = ClosingFades{};
    });
}
BENCHMARK(BM_FadeFrame);

}  // namespace
