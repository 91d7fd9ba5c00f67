// Frame clear and copy, and the presenter's conversion of a frame to colour.
#include <vector>

#include "bench/bench_common.h"
#include "display/convert.h"
#include "display/display.h"

static void BM_memcpy_reference(benchmark::State& state) {
    std::vector<uint8_t> a(FRAME_BYTES, 3), b(FRAME_BYTES);
    run_against_copy(state, [&] { memcpy(b.data(), a.data(), FRAME_BYTES); });
}
BENCHMARK(BM_memcpy_reference);

static void BM_clear_frame(benchmark::State& state) {
    std::vector<uint8_t> a(FRAME_BYTES, 3);
    run_against_copy(state, [&] { clear_frame(a.data()); });
}
BENCHMARK(BM_clear_frame);

static void BM_copy_frame(benchmark::State& state) {
    std::vector<uint8_t> a(FRAME_BYTES, 3), b(FRAME_BYTES);
    run_against_copy(state, [&] { copy_frame(b.data(), a.data()); });
}
BENCHMARK(BM_copy_frame);

static void BM_convert_frame(benchmark::State& state) {
    std::vector<uint8_t> frame(FRAME_BYTES);
    for (int i = 0; i < FRAME_BYTES; ++i) frame[i] = uint8_t(i * 13);
    uint32_t lookup[256];
    for (int i = 0; i < 256; ++i) lookup[i] = uint32_t(i) * 0x010101u;
    std::vector<uint32_t> out(FRAME_BYTES);
    run_against_copy(state, [&] { convert_frame_rgb(frame.data(), lookup, out.data(), FRAME_W); });
}
BENCHMARK(BM_convert_frame);
