// Shared by the scene benchmarks: the driver's start-up on the headless platform
// and the per-frame measure of a phase. Run them from the build folder (they read
// resource.rar there), on one core: cd build && taskset -c 0 ./bench_sceneN
#pragma once

#include <benchmark/benchmark.h>

#include "app/driver.h"
#include "archive/resources.h"
#include "bench_common.h"
#include "display/display.h"
#include "platform/headless.h"
#include "platform/settings.h"
#include "scenes/scenes.h"
#include "scenes/timeline.h"

// The driver's start-up on the headless platform (full screen, zoom 1, no sound),
// once per process: resources, tables, display.
inline void start_show() {
    static bool started = false;
    if (started) return;
    started = true;
    HeadlessConfig c;
    c.settings = RunSettings{true, false, 44100, 1};
    headless_install(c);
    prepare_show();
    display_start(c.settings);
}

// Before a scene's benchmark: the start-up once, every scene's state back to its
// program-start values (so a benchmark measures the same whatever ran before it or
// was filtered out), and the scene's resource check.
inline void start_scene(void (*check_resources)()) {
    start_show();
    scenes_reset_state();
    check_resources();
}

// Measures one frame of a phase per iteration: frame() draws and presents, then the
// pump the phase's loop makes. Adds "fps" (frames per second of that phase) beside
// run_against_copy's "x_copy".
template <class Frame>
void run_phase(benchmark::State& state, Frame&& frame) {
    run_against_copy(state, [&] {
        frame();
        pump_messages();
    });
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
