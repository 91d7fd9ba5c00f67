// Our RAR 2.0 encoder against zlib at level 9 on the same data: compressed sizes
// (counters packed, zlib9, ratio = packed / zlib9) and encode speed, with zlib's
// own speed measured in the same run as the reference.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <vector>

#include "stream_encoder.h"
#include "tests/kelvora-rar/corpus.h"

namespace {

std::vector<uint8_t> sample(int kind) {
    switch (kind) {
    case 0: return corpus::text(64000);
    case 1: return corpus::drawn_picture();
    case 2: return corpus::smooth_map();
    case 3: return corpus::sound(32000);
    case 4: return corpus::runs(64000);
    default: return corpus::large();
    }
}

const char* const kNames[] = {"text", "drawn_picture", "smooth_map", "sound", "runs", "large_3MB"};

size_t zlib9(const std::vector<uint8_t>& d, std::vector<uint8_t>& out) {
    uLongf size = compressBound(d.size());
    out.resize(size);
    compress2(out.data(), &size, d.data(), d.size(), 9);
    return size;
}

void BM_RarEncoder(benchmark::State& state) {
    const std::vector<uint8_t> data = sample(static_cast<int>(state.range(0)));
    size_t packed = 0;
    for (auto _ : state) {
        rarw::StreamState st = rarw::fresh_stream_state();
        const std::vector<uint8_t> out = rarw::encode_stream(st, data.data(), data.size(), rarw::StreamOptions{});
        packed = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    std::vector<uint8_t> z;
    const size_t zsize = zlib9(data, z);
    state.SetLabel(kNames[state.range(0)]);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
    state.counters["packed"] = static_cast<double>(packed);
    state.counters["zlib9"] = static_cast<double>(zsize);
    state.counters["ratio"] = static_cast<double>(packed) / static_cast<double>(zsize);
}

void BM_Zlib9(benchmark::State& state) {
    const std::vector<uint8_t> data = sample(static_cast<int>(state.range(0)));
    std::vector<uint8_t> out;
    for (auto _ : state) benchmark::DoNotOptimize(zlib9(data, out));
    state.SetLabel(kNames[state.range(0)]);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}

BENCHMARK(BM_RarEncoder)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Zlib9)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

}  // namespace
