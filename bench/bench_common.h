// Shared by the benchmark programs: the reference every pixel pass is measured
// against, a 64000-byte frame copy timed in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

// Seconds for one 64000-byte memcpy on this machine now: the best of 30 batches.
inline double reference_copy_seconds() {
    static const double seconds = [] {
        std::vector<uint8_t> a(64000, 1), b(64000);
        double best = 1e9;
        for (int batch = 0; batch < 30; ++batch) {
            const auto t0 = std::chrono::steady_clock::now();
            for (int i = 0; i < 200; ++i) {
                memcpy(b.data(), a.data(), a.size());
                benchmark::ClobberMemory();
                a[i & 63] ^= b[(i * 7) & 63];
            }
            const std::chrono::duration<double> d = std::chrono::steady_clock::now() - t0;
            best = std::min(best, d.count() / 200);
        }
        return best;
    }();
    return seconds;
}

// Runs body once per benchmark iteration and adds the counter "x_copy": the time
// of one iteration as a multiple of the reference copy.
template <class Body>
void run_against_copy(benchmark::State& state, Body&& body) {
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        body();
        benchmark::ClobberMemory();
    }
    const std::chrono::duration<double> d = std::chrono::steady_clock::now() - t0;
    if (state.iterations() > 0)
        state.counters["x_copy"] = d.count() / double(state.iterations()) / reference_copy_seconds();
}
