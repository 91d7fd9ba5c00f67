// Frames per second of each phase of scene 5 on the headless platform: one frame
// drawn, presented to memory and pumped per iteration, on the built resources.
// Run from the build folder (it reads resource.rar there), on one core:
//   cd build && taskset -c 0 ./bench_scene05
// "fps" is frames per second of that phase; "x_copy" the frame's time as a multiple
// of one 64000-byte frame copy measured in the same run.
#include <benchmark/benchmark.h>

#include "bench_show.h"
#include "render/blit.h"
#include "scenes/palettes.h"
#include "scenes/scene05_textured_tube.h"

namespace {

void start_scene05() {
    start_scene(scene05_check_resources);
    set_palette(scene5_palette);
    fill_frame(back_frame, 32);
    fill_frame(screen_frame, 32);
}

// Phase A: the blending zoom, a running through its 36 values again and again.
void BM_ZoomInFrame(benchmark::State& state) {
    start_scene05();
    double a = 1.0;
    run_phase(state, [&] {
        zoom_blend(float(a));
        a = a + a * 0.1f;
        if (a >= 30.0) a = 1.0;
        present_frame(screen_frame);
    });
}
BENCHMARK(BM_ZoomInFrame);

// Phase C: drift, step-8 samples, smoothing and the copying zoom.
void BM_ZoomOutFrame(benchmark::State& state) {
    start_scene05();
    TexturedTubeRun run;
    run.flight.grid.step = 8;
    DriftPoint to;
    double a = 30.91;
    run_phase(state, [&] {
        zoom_out_frame(run, to, float(a));
        a = a - a * 0.1f;
        if (a <= 1.0) a = 30.91;
    });
}
BENCHMARK(BM_ZoomOutFrame);

// Phase D before the sprite (arg 0) and with the sprite and its full trail (arg 1;
// the trail is started again whenever it has closed up).
void BM_FlightFrame(benchmark::State& state) {
    start_scene05();
    TexturedTubeRun run;
    run.flight.grid.step = 4;
    const bool sprite = state.range(0) != 0;
    run_phase(state, [&] {
        if (sprite && run.trail_finished) {
            run.slide_x = 0;
            run.trail_gap = 20;
            run.trail_finished = false;
        }
        flight_frame(run, sprite ? SPRITE_FIRST_FRAME : 1);
    });
}
BENCHMARK(BM_FlightFrame)->Arg(0)->Arg(1);

}  // namespace
