// Speed of the render kit's whole-frame passes, each per call and as a ratio to a
// plain 64000-byte copy (memcpy) timed in the same run, and of the tube caster in
// rays per second.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <cstring>
#include <random>
#include <vector>

#include "display/display.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "render/blit.h"
#include "render/blobs.h"
#include "render/carried.h"
#include "render/lens.h"
#include "render/tables.h"
#include "render/tube.h"
#include "render/xor_warp.h"

namespace {

// This thread's CPU time in nanoseconds: the ratios stay fair when other work
// shares the machine.
double cpu_ns() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e9 + double(ts.tv_nsec);
}

std::vector<uint8_t> g_screen(FRAME_BYTES), g_back(FRAME_BYTES), g_work(FRAME_BYTES),
    g_picture(FRAME_BYTES), g_sprite(FRAME_BYTES);

void noise(std::vector<uint8_t>& v, unsigned seed) {
    std::mt19937 rng(seed);
    for (uint8_t& b : v) b = uint8_t(rng());
}

// Frames, tables and the headless platform, once.
void setup() {
    static bool done = false;
    if (done) return;
    done = true;
    headless_install(HeadlessConfig{});
    build_lookup_tables();
    screen_frame = g_screen.data();
    back_frame = g_back.data();
    work_frame = g_work.data();
    // The effects' own cost: presents go nowhere.
    static Presenter quiet = *platform.presenter;
    quiet.present = [](const uint8_t*, const uint32_t*) {};
    Platform p = platform;
    p.presenter = &quiet;
    platform_install(p);
    noise(g_screen, 1);
    noise(g_back, 2);
    noise(g_work, 3);
    noise(g_picture, 4);
    noise(g_sprite, 5);
}

// CPU nanoseconds for one 64000-byte memcpy: the best of several timed batches.
double copy_ns() {
    static double ns = 0;
    if (ns > 0) return ns;
    setup();
    std::vector<uint8_t> a(FRAME_BYTES, 1), b(FRAME_BYTES);
    double best = 1e30;
    for (int batch = 0; batch < 20; ++batch) {
        const double t0 = cpu_ns();
        for (int i = 0; i < 2000; ++i) {
            memcpy(b.data(), a.data(), FRAME_BYTES);
            benchmark::ClobberMemory();
        }
        const double t = (cpu_ns() - t0) / 2000;
        best = std::min(best, t);
    }
    return ns = best;
}

// Runs body once per iteration and reports the ratio of its CPU time to the copy's.
template <class Body>
void measure(benchmark::State& state, Body body) {
    setup();
    const double ref = copy_ns();
    int64_t n = 0;
    const double t0 = cpu_ns();
    for (auto _ : state) {
        body();
        benchmark::ClobberMemory();
        ++n;
    }
    const double per = (cpu_ns() - t0) / double(n);
    state.counters["x_copy"] = per / ref;
}

void BM_memcpy_reference(benchmark::State& s) {
    measure(s, [] { memcpy(work_frame, back_frame, FRAME_BYTES); });
}
void BM_fill_frame(benchmark::State& s) {
    measure(s, [] { fill_frame(work_frame, 32); });
}
void BM_blit_opaque_full(benchmark::State& s) {
    measure(s, [] { blit_opaque(g_sprite.data(), 0, 0, 320, 200); });
}
void BM_blit_keyed_full(benchmark::State& s) {
    measure(s, [] { blit_keyed(g_sprite.data(), 160, 0, 0, 320, 200); });
}
void BM_blit_add_full(benchmark::State& s) {
    measure(s, [] { blit_add(g_sprite.data(), 0, 0, 0, 320, 200); });
}
void BM_blit_aligned_full(benchmark::State& s) {
    measure(s, [] { blit_aligned(work_frame, g_sprite.data(), 0, 0, 320, 200); });
}
void BM_blit_keyed_clipped_full(benchmark::State& s) {
    measure(s, [] { blit_keyed_clipped(g_sprite.data(), 340, 220, -10, -10, 160); });
}
// blit_blend over rows 1..198 with a sprite that is half key pixels in runs, as a
// logo over a background is; and the two extremes (no key pixels, all key pixels).
void blend_bench(benchmark::State& s, int key_share) {
    setup();
    static std::vector<uint8_t> sprite(FRAME_BYTES);
    std::mt19937 rng(9);
    for (int i = 0; i < FRAME_BYTES; i += 16) {
        const bool key = int(rng() % 100) < key_share;
        for (int j = 0; j < 16; ++j) sprite[i + j] = key ? 160 : uint8_t(rng() % 160);
    }
    measure(s, [] { blit_blend(sprite.data(), 160, 0, 1, 320, 198); });
}
void BM_blit_blend_no_key(benchmark::State& s) { blend_bench(s, 0); }
void BM_blit_blend_half_key(benchmark::State& s) { blend_bench(s, 50); }
void BM_blit_blend_all_key(benchmark::State& s) { blend_bench(s, 100); }
// The filters above run over their own output and darken it frame by frame; these
// draw the picture first each time (one frame copy, included in the ratio), as a
// scene does.
void blend_bench_fresh(benchmark::State& s, int key_share) {
    setup();
    static std::vector<uint8_t> sprite(FRAME_BYTES);
    std::mt19937 rng(9);
    for (int i = 0; i < FRAME_BYTES; i += 16) {
        const bool key = int(rng() % 100) < key_share;
        for (int j = 0; j < 16; ++j) sprite[i + j] = key ? 160 : uint8_t(rng() % 160);
    }
    measure(s, [] {
        memcpy(screen_frame, g_picture.data(), FRAME_BYTES);
        blit_blend(sprite.data(), 160, 0, 1, 320, 198);
    });
}
void BM_blit_blend_half_key_fresh(benchmark::State& s) { blend_bench_fresh(s, 50); }
void BM_blit_blend_all_key_fresh(benchmark::State& s) { blend_bench_fresh(s, 100); }
void BM_add_glow_d20(benchmark::State& s) {
    measure(s, [] { add_glow(160, 100, 20); });
}
void BM_feedback_mix(benchmark::State& s) {
    measure(s, [] { feedback_mix(work_frame, back_frame); });
}
void BM_tile_quarters(benchmark::State& s) {
    measure(s, [] { tile_quarters(); });
}
void BM_lens_window(benchmark::State& s) {
    measure(s, [] { lens_window(g_picture.data(), 80, 20); });
}
void BM_lens_feedback_draw(benchmark::State& s) {
    static uint16_t tx[64], ty[64];
    for (int i = 0; i < 64; ++i) tx[i] = uint16_t(64 + i % 23), ty[i] = uint16_t(12 + i % 23);
    static LensRun run;
    run = LensRun{g_picture.data()};
    measure(s, [] { lens_feedback_draw(run, tx, ty, g_sprite.data()); });
}
void BM_draw_xor_stripes(benchmark::State& s) {
    static uint16_t t = 0;
    measure(s, [] { draw_xor_stripes(t++); });
}
void BM_warp_frame(benchmark::State& s) {
    setup();
    draw_xor_stripes(17);
    measure(s, [] { warp_frame(); });
}
void BM_smooth_samples(benchmark::State& s) {
    measure(s, [] { smooth_samples(); });
}
// A nearly black frame (all 1s stay 1s away from the border): neighbour sums below
// 8, so the chains take the max that writes 0 as 1.
void BM_smooth_samples_dark(benchmark::State& s) {
    setup();
    fill_frame(back_frame, 1);
    measure(s, [] { smooth_samples(); });
    noise(g_back, 2);
}

// Rays per second: whole frames of the sampling grid at step 4 (4000 rays each),
// storing what scene 7 stores.
void BM_tube_grid_step4(benchmark::State& s) {
    setup();
    carried.tube_camera = {37, -90, -4000};
    TubeGrid grid = {4, 0, 0};
    int64_t rays = 0;
    measure(s, [&] {
        sample_tube_grid(grid, [](const TubeHit& h) { return uint8_t(4 * h.shade); });
        grid.row_phase = (grid.row_phase + 1) & 3;
        rays += 4000;
    });
    s.counters["rays_per_s"] = benchmark::Counter(double(rays), benchmark::Counter::kIsRate);
}
// One cast at a time through the globals, as a scene without the grid would.
void BM_cast_tube_ray(benchmark::State& s) {
    setup();
    carried.tube_camera = {37, -90, -4000};
    int x = 0, y = 0;
    for (auto _ : s) {
        aim_ray(x, y);
        uint8_t u, v, shade;
        cast_tube_ray(u, v, shade);
        benchmark::DoNotOptimize(u + v + shade);
        if (++x == 320) x = 0, y = y == 199 ? 0 : y + 1;
    }
    s.counters["rays_per_s"] = benchmark::Counter(double(s.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_memcpy_reference);
BENCHMARK(BM_fill_frame);
BENCHMARK(BM_blit_opaque_full);
BENCHMARK(BM_blit_keyed_full);
BENCHMARK(BM_blit_add_full);
BENCHMARK(BM_blit_aligned_full);
BENCHMARK(BM_blit_keyed_clipped_full);
BENCHMARK(BM_blit_blend_no_key);
BENCHMARK(BM_blit_blend_half_key);
BENCHMARK(BM_blit_blend_all_key);
BENCHMARK(BM_blit_blend_half_key_fresh);
BENCHMARK(BM_blit_blend_all_key_fresh);
BENCHMARK(BM_add_glow_d20);
BENCHMARK(BM_feedback_mix);
BENCHMARK(BM_tile_quarters);
BENCHMARK(BM_lens_window);
BENCHMARK(BM_lens_feedback_draw);
BENCHMARK(BM_draw_xor_stripes);
BENCHMARK(BM_warp_frame);
BENCHMARK(BM_smooth_samples);
BENCHMARK(BM_smooth_samples_dark);
BENCHMARK(BM_tube_grid_step4);
BENCHMARK(BM_cast_tube_ray);
namespace {
void BM_warp_frame_flat(benchmark::State& s) {
    setup();
    fill_frame(work_frame, 9);
    measure(s, [] { warp_frame(); });
}
}  // namespace
BENCHMARK(BM_warp_frame_flat);
namespace {
// The warp without the AVX2 offset loop, as on a processor without it.
void BM_warp_frame_portable(benchmark::State& s) {
    setup();
    draw_xor_stripes(17);
    warp_wide_offsets = false;
    measure(s, [] { warp_frame(); });
    warp_wide_offsets = true;
}
}  // namespace
BENCHMARK(BM_warp_frame_portable);
