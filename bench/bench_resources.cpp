// Start-up cost of the resource catalogue: all 45 extractions, each opening and
// scanning the archive afresh as load_catalogue does, from a plain and from a solid
// archive, against a 64000-byte frame copy. Run from the build folder after
// packing both variants:
//   (cd build/resources && ../kelvora-rar a -m5 ../resource-plain.rar *.dat ...)
// The build's own resource.rar is measured too.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "archive/resources.h"
#include "archive/rar_reader.h"

namespace {

void frame_copy(benchmark::State& state) {
    std::vector<uint8_t> a(64000, 1), b(64000);
    for (auto _ : state) {
        memcpy(b.data(), a.data(), 64000);
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(frame_copy);

void load_catalogue_from(benchmark::State& state, const char* archive) {
    if (!std::filesystem::exists(archive)) {
        state.SkipWithError("archive not present in the working folder");
        return;
    }
    for (auto _ : state) {
        for (int i = 0; i < RESOURCE_COUNT; ++i) {
            uint8_t* block = nullptr;
            uint32_t length = 0;
            if (!extract_to_memory(&block, &length, resource_catalogue[i], archive, nullptr)) {
                state.SkipWithError("extraction failed");
                return;
            }
            free(block);
        }
    }
}
BENCHMARK_CAPTURE(load_catalogue_from, built, "resource.rar")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load_catalogue_from, plain, "resource-plain.rar")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load_catalogue_from, solid, "resource-solid.rar")->Unit(benchmark::kMillisecond);

}  // namespace
