// Frames per second of each phase of scene 9 on the headless platform: one frame
// drawn, presented to memory and pumped per iteration, on the built resources; and
// the warps' two passes on their own. Run from the build folder, on one core:
//   cd build && taskset -c 0 ./bench_scene09
// "fps" is frames per second of that phase; "x_copy" the frame's time as a multiple
// of one 64000-byte frame copy measured in the same run.
#include <benchmark/benchmark.h>

#include "bench_show.h"
#include "render/texture_warp.h"
#include "scenes/palettes.h"
#include "scenes/scene09_warped_picture.h"

namespace {

void start_scene09() {
    start_scene(scene09_check_resources);
    set_palette(scene8_palette);
}

void BM_SpherePhaseFrame(benchmark::State& state) {
    start_scene09();
    WarpedRun run;
    double phi = 3.55;
    run_phase(state, [&] {
        draw_sphere_frame(run, phi);
        phi += 0.01;
        present_frame(screen_frame);
    });
}
BENCHMARK(BM_SpherePhaseFrame);

void BM_WideningPhaseFrame(benchmark::State& state) {
    start_scene09();
    WarpedRun run;
    double phi = 5.06;
    run_phase(state, [&] {
        draw_sphere_frame(run, phi);
        phi += 0.01;
        run.camera.focus -= 0.005;
        if (run.camera.focus < 0.000001) run.camera.focus = 0.6;
        present_frame(screen_frame);
    });
}
BENCHMARK(BM_WideningPhaseFrame);

void BM_TubeFocusPhaseFrame(benchmark::State& state) {
    start_scene09();
    WarpedRun run;
    run.camera.focus = 0.0;
    run_phase(state, [&] {
        draw_tube_frame(run);
        present_frame(screen_frame);
        run.camera.focus += 0.01;
        if (run.camera.focus > 1.0) run.camera.focus = 0.0;
    });
}
BENCHMARK(BM_TubeFocusPhaseFrame);

void BM_TubeRunPhaseFrame(benchmark::State& state) {
    start_scene09();
    WarpedRun run;
    run.camera.focus = 1.0;
    run_phase(state, [&] {
        draw_tube_frame(run);
        present_frame(screen_frame);
    });
}
BENCHMARK(BM_TubeRunPhaseFrame);

void BM_CurvesPhaseFrame(benchmark::State& state) {
    start_scene09();
    WarpedRun run;
    warped_picture_start(run);
    run.camera.focus = 1.0;
    double phi = 0.0;
    uint32_t f = 0;
    run_phase(state, [&] {
        draw_curves_tube_frame(run, phi);
        phi += 0.01;
        present_frame(screen_frame);
        if ((++f & 0x39) == 0) renew_curve0_spin(run);
    });
}
BENCHMARK(BM_CurvesPhaseFrame);

// The parts of a warp frame: the 1066 rays of each grid, and the block pass.
void BM_SphereGridPass(benchmark::State& state) {
    start_scene09();
    const WarpCamera camera;
    double phi = 3.55;
    run_against_copy(state, [&] { sphere_grid_pass(camera, phi += 0.01); });
}
BENCHMARK(BM_SphereGridPass);

void BM_TubeGridPass(benchmark::State& state) {
    start_scene09();
    const WarpCamera camera{1.0, 0.0};
    double phi = 0.0;
    run_against_copy(state, [&] { tube_grid_pass(camera, phi += 0.01); });
}
BENCHMARK(BM_TubeGridPass);

void BM_BlockPass(benchmark::State& state) {
    start_scene09();
    tube_grid_pass(WarpCamera{1.0, 500.0}, 0.3);
    const bool wrapping = state.range(0) == 0;
    run_against_copy(state, [&] {
        wrapping ? darken_wrapping(screen_frame, resource_slot[RES_FDTEX])
                 : darken_clamped(screen_frame, resource_slot[RES_FDTEX], 12);
    });
}
BENCHMARK(BM_BlockPass)->Arg(0)->Arg(1);

}  // namespace
