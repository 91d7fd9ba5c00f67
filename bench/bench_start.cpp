// CPU time a later start spends running the show ahead, unseen, to its first frame
// on the headless platform (full screen, zoom 1, no sound), on the built resources.
// Run from the build folder, on one core:
//   cd build && taskset -c 0 ./bench_start
// The argument is the start in seconds; "CPU" is the process's time to reach it. The
// reference, measured in the same run, is the show drawn frame by frame from the
// start up to the same moment: what a later start cost before it skipped unseen
// drawing. Read the ratio of the two.
#include <benchmark/benchmark.h>

#include "bench_show.h"

namespace {

// Thrown from the pump once the show runs live: the start is reached.
struct Started {};

void leave_once_live(void*) {
    if (!timeline_running_ahead()) throw Started{};
}

void BM_RunAheadTo(benchmark::State& state) {
    start_show();
    HeadlessConfig c;
    c.settings = RunSettings{true, false, 44100, 1};
    c.on_pump = leave_once_live;
    headless_install(c);
    for (auto _ : state) {
        scenes_reset_state();
        timeline_start(uint32_t(state.range(0)) * 1000);
        try {
            play_scenes();
        } catch (const Started&) {
        }
    }
    timeline_start(0);
}
int reference_until_ms = 0;

void leave_at_reference_time(void*) {
    if (show_ticks() >= uint32_t(reference_until_ms)) throw Started{};
}

void BM_DrawEveryFrameTo(benchmark::State& state) {
    start_show();
    HeadlessConfig c;
    c.settings = RunSettings{true, false, 44100, 1};
    c.on_pump = leave_at_reference_time;
    reference_until_ms = int(state.range(0)) * 1000;
    for (auto _ : state) {
        headless_install(c);  // the virtual clock from zero again
        scenes_reset_state();
        timeline_start(0);
        try {
            play_scenes();
        } catch (const Started&) {
        }
    }
}

BENCHMARK(BM_RunAheadTo)->Arg(30)->Arg(60)->Arg(100)->Arg(140)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_DrawEveryFrameTo)->Arg(30)->Arg(60)->Arg(100)->Arg(140)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
