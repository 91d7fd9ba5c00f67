// Frames per second of each phase of scene 1 on the headless platform: one frame
// drawn, presented to memory and pumped per iteration, on the built resources.
// Run from the build folder (it reads resource.rar there), on one core:
//   cd build && taskset -c 0 ./bench_scene1
// "fps" is frames per second of that phase; "x_copy" the frame's time as a multiple
// of one 64000-byte frame copy measured in the same run.
#include <benchmark/benchmark.h>

#include "bench_show.h"
#include "scenes/palettes.h"
#include "scenes/scene01_curves.h"
#include "scenes/scene01_opening.h"
#include "scenes/scene01_tunnel.h"

namespace {

void BM_OpeningFadePass(benchmark::State& state) {
    start_scene(scene01_check_resources);
    Palette fade{};
    run_phase(state, [&] {
        for (int i = 0; i < 768; ++i)
            if (fade.rgb[i] < opening_palette.rgb[i]) ++fade.rgb[i];
        set_palette(fade);
        if (fade.rgb[765] == opening_palette.rgb[765]) fade = Palette{};
    });
}
BENCHMARK(BM_OpeningFadePass);

void BM_WarpBurstPass(benchmark::State& state) {
    start_scene(scene01_check_resources);
    copy_frame(back_frame, resource_slot[RES_PSX]);
    uint8_t n = 0;
    run_phase(state, [&] { warp_burst_pass(n++); });
}
BENCHMARK(BM_WarpBurstPass);

void BM_LogoFrame(benchmark::State& state) {
    start_scene(scene01_check_resources);
    set_palette(logo_palette);
    LogoRun run;
    init_glow_blobs(run);
    run_phase(state, [&] { logo_frame(run); });
}
BENCHMARK(BM_LogoFrame);

void BM_CurvesFrame(benchmark::State& state) {
    start_scene(scene01_check_resources);
    CurvesRun run;
    curves_init(run);
    set_palette(curves_palette);
    const int phase = int(state.range(0));
    run_phase(state, [&] { curves_phase_frame(run, phase); });
}
BENCHMARK(BM_CurvesFrame)->Arg(0)->Arg(1)->Arg(2);

void BM_TunnelFrame(benchmark::State& state) {
    start_scene(scene01_check_resources);
    set_palette(tunnel_palette);
    TunnelRun run;
    run_phase(state, [&] { tunnel_frame(run); });
}
BENCHMARK(BM_TunnelFrame);

}  // namespace
