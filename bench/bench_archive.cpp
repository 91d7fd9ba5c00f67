// Decoding speed of the archive reader against zlib's inflate of the same bytes,
// both measured in the same run: a picture-like entry (LZ mode) and an 8-bit
// stereo sound entry (audio mode). The compressed input comes from the simple
// greedy encoder of the reader's tests (tests/archive/lz_stream_writer.h), not
// from the archive writer; swap in the writer's output once it exists.
// Counters: archive_MBps and zlib_MBps (unpacked bytes per second of thread CPU
// time, so other load on the machine does not skew the ratio) and speed_vs_zlib
// (above 1: the reader decodes faster than zlib inflates).
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <time.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "archive/urarlib.h"
#include "tests/archive/archive_builder.h"
#include "tests/archive/lz_stream_writer.h"

namespace {

struct Workload {
    std::vector<uint8_t> data;     // unpacked bytes
    std::vector<uint8_t> archive;  // one compressed entry "e"
    std::vector<uint8_t> deflated; // the same bytes, zlib level 6
};

Workload make(std::vector<uint8_t> data, bool audio) {
    Workload w;
    w.data = std::move(data);
    auto stream = audio ? lzw::compress_audio(w.data, 2) : lzw::compress_lz(w.data, 32);
    w.archive = testarc::Builder().add(testarc::packed("e", stream, w.data)).bytes;
    uLongf n = compressBound(uLong(w.data.size()));
    w.deflated.resize(n);
    compress2(w.deflated.data(), &n, w.data.data(), uLong(w.data.size()), 6);
    w.deflated.resize(n);
    return w;
}

// Sixteen 320x200 frames: dithered gradients, filled discs and repeated sprites,
// roughly what the show's pictures hold.
const Workload& pictures() {
    static Workload w = [] {
        std::vector<uint8_t> d;
        uint32_t x = 1;
        for (int f = 0; f < 16; ++f) {
            for (int y = 0; y < 200; ++y) {
                for (int c = 0; c < 320; ++c) {
                    x = x * 1103515245u + 12345u;
                    int v = (c + y * 2 + f * 9) / 3 + int((x >> 16) & 3);
                    int dx = c - 160 - f * 5, dy = y - 100;
                    if (dx * dx + dy * dy < 2500) v = 200 + (dx * dx + dy * dy) / 400;
                    if (((c / 16) + (y / 16)) % 5 == 0) v = (c % 16) * 16 + (y % 16);  // sprite tiles
                    d.push_back(uint8_t(v));
                }
            }
        }
        return make(std::move(d), false);
    }();
    return w;
}

// One second and a half of 8-bit stereo at 44.1 kHz: two tones per channel and noise.
const Workload& sound() {
    static Workload w = [] {
        std::vector<uint8_t> d;
        uint32_t x = 7;
        for (int i = 0; i < 66150; ++i) {
            for (int ch = 0; ch < 2; ++ch) {
                x = x * 1103515245u + 12345u;
                double t = i / 44100.0;
                double s = 50 * std::sin(2 * M_PI * (220 + ch * 110) * t) + 25 * std::sin(2 * M_PI * 1375 * t) +
                           double(int((x >> 16) & 7) - 4);
                d.push_back(uint8_t(128 + int(s)));
            }
        }
        return make(std::move(d), true);
    }();
    return w;
}

void run(benchmark::State& state, const Workload& w) {
    auto now = [] {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
    };
    std::vector<uint8_t> out(w.data.size());
    double archive_s = 0, zlib_s = 0;
    for (auto _ : state) {
        double t0 = now();
        uint8_t* block = nullptr;
        uint32_t length = 0;
        int ok = extract_from_memory(&block, &length, "e", w.archive.data(), w.archive.size(), nullptr);
        double t1 = now();
        uLongf n = uLongf(out.size());
        int z = uncompress(out.data(), &n, w.deflated.data(), uLong(w.deflated.size()));
        double t2 = now();
        if (!ok || length != w.data.size() || z != Z_OK) state.SkipWithError("decoding failed");
        std::free(block);
        double a = t1 - t0;
        archive_s += a;
        zlib_s += t2 - t1;
        state.SetIterationTime(a);
    }
    double bytes = double(w.data.size()) * double(state.iterations());
    state.SetBytesProcessed(int64_t(bytes));
    state.counters["archive_MBps"] = bytes / archive_s / 1e6;
    state.counters["zlib_MBps"] = bytes / zlib_s / 1e6;
    state.counters["speed_vs_zlib"] = zlib_s / archive_s;
    state.counters["packed_ratio"] = double(w.archive.size()) / double(w.data.size());
    state.counters["zlib_ratio"] = double(w.deflated.size()) / double(w.data.size());
}

void BM_ArchiveLzVsZlib(benchmark::State& state) { run(state, pictures()); }
void BM_ArchiveAudioVsZlib(benchmark::State& state) { run(state, sound()); }

BENCHMARK(BM_ArchiveLzVsZlib)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArchiveAudioVsZlib)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
