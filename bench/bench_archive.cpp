// Decoding speed of the archive reader against zlib's inflate of the same bytes,
// both measured in the same run. The archives come from our archive writer
// (kelvora_rar_writer), as the show's resource archive does: two LZ entries
// (drawn pictures, text) and two audio-mode entries (stereo sampled sound, a
// smooth height map).
// Both sides are timed with their allocation: the reader allocates its window and
// the output block inside every extraction, so the zlib side allocates (and frees)
// its output block inside the timed part too; inflate allocates its own state.
// Counters: archive_MBps and zlib_MBps (unpacked bytes per second of thread CPU
// time, so other load on the machine does not skew the ratio), speed_vs_zlib
// (above 1: the reader decodes faster than zlib inflates), packed_ratio and
// zlib_ratio (compressed size over unpacked size), audio_blocks and lz_blocks
// (what the writer chose for the entry).
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <time.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "archive/rar_reader.h"
#include "rar_writer.h"
#include "tests/kelvora-rar/corpus.h"

namespace {

struct Workload {
    std::vector<uint8_t> data;     // unpacked bytes
    std::vector<uint8_t> archive;  // one compressed entry "e", from the archive writer
    std::vector<uint8_t> deflated; // the same bytes, zlib level 6
    unsigned audio_blocks = 0, lz_blocks = 0;
    std::string error;             // why the workload is unusable, empty when fine
};

Workload make(std::vector<uint8_t> data, bool audio) {
    Workload w;
    w.data = std::move(data);
    rarw::ArchiveOptions options;
    options.allow_audio = audio;
    rarw::ArchiveResult r = rarw::build_archive({{"e", w.data}}, options);
    if (!r.ok || r.entries.size() != 1) {
        w.error = "archive writer failed: " + r.error;
        return w;
    }
    w.archive = std::move(r.bytes);
    w.audio_blocks = r.entries[0].audio_blocks;
    w.lz_blocks = r.entries[0].lz_blocks;
    if (r.entries[0].method != rarw::kMethodCompressed) w.error = "entry stored, not compressed";
    if (audio && w.audio_blocks == 0) w.error = "the writer chose no audio block";
    uLongf n = compressBound(uLong(w.data.size()));
    w.deflated.resize(n);
    compress2(w.deflated.data(), &n, w.data.data(), uLong(w.data.size()), 6);
    w.deflated.resize(n);
    return w;
}

// Sixteen different 320x200 drawn pictures: flat shapes on gradients.
const Workload& pictures() {
    static Workload w = [] {
        std::vector<uint8_t> d;
        for (uint32_t seed = 2; seed < 18; ++seed) {
            std::vector<uint8_t> p = corpus::drawn_picture(seed);
            d.insert(d.end(), p.begin(), p.end());
        }
        return make(std::move(d), false);
    }();
    return w;
}

const Workload& text() {
    static Workload w = make(corpus::text(1 << 20), false);
    return w;
}

// Three seconds of 8-bit stereo at 44.1 kHz.
const Workload& sound() {
    static Workload w = make(corpus::sound(3 * 44100), true);
    return w;
}

// A 1024x256 smooth height map with a little noise.
const Workload& smooth_map() {
    static Workload w = make(corpus::smooth_map(1024, 256), true);
    return w;
}

double thread_seconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

void run(benchmark::State& state, const Workload& w) {
    if (!w.error.empty()) {
        state.SkipWithError(w.error.c_str());
        for (auto _ : state) {
        }
        return;
    }
    double archive_s = 0, zlib_s = 0;
    bool failed = false;
    for (auto _ : state) {
        double t0 = thread_seconds();
        uint8_t* block = nullptr;
        uint32_t length = 0;
        int ok = extract_from_memory(&block, &length, "e", w.archive.data(), w.archive.size(), nullptr);
        std::free(block);
        double t1 = thread_seconds();
        uLongf n = uLongf(w.data.size());
        uint8_t* out = static_cast<uint8_t*>(std::malloc(w.data.size()));
        int z = out ? uncompress(out, &n, w.deflated.data(), uLong(w.deflated.size())) : Z_MEM_ERROR;
        benchmark::DoNotOptimize(out);
        std::free(out);
        double t2 = thread_seconds();
        if (!ok || length != w.data.size() || z != Z_OK || n != w.data.size()) failed = true;
        archive_s += t1 - t0;
        zlib_s += t2 - t1;
        state.SetIterationTime(t1 - t0);
    }
    if (failed) {
        state.SkipWithError("decoding failed");
        return;
    }
    double bytes = double(w.data.size()) * double(state.iterations());
    state.SetBytesProcessed(int64_t(bytes));
    state.counters["archive_MBps"] = bytes / archive_s / 1e6;
    state.counters["zlib_MBps"] = bytes / zlib_s / 1e6;
    state.counters["speed_vs_zlib"] = zlib_s / archive_s;
    state.counters["packed_ratio"] = double(w.archive.size()) / double(w.data.size());
    state.counters["zlib_ratio"] = double(w.deflated.size()) / double(w.data.size());
    state.counters["audio_blocks"] = w.audio_blocks;
    state.counters["lz_blocks"] = w.lz_blocks;
}

void BM_ArchiveLzPictures(benchmark::State& state) { run(state, pictures()); }
void BM_ArchiveLzText(benchmark::State& state) { run(state, text()); }
void BM_ArchiveAudioSound(benchmark::State& state) { run(state, sound()); }
void BM_ArchiveAudioSmoothMap(benchmark::State& state) { run(state, smooth_map()); }

BENCHMARK(BM_ArchiveLzPictures)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArchiveLzText)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArchiveAudioSound)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArchiveAudioSmoothMap)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
