// Shared by the benchmark programs: the reference every pixel pass is measured
// against, a 64000-byte frame copy timed in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

// CPU seconds this thread has used: on a shared machine, wall time would charge
// other programs' work to the pass being measured.
inline double thread_seconds() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// CPU seconds for one 64000-byte memcpy on this machine now: the best of 30 batches.
inline double reference_copy_seconds() {
    static const double seconds = [] {
        std::vector<uint8_t> a(64000, 1), b(64000);
        double best = 1e9;
        for (int batch = 0; batch < 30; ++batch) {
            const double t0 = thread_seconds();
            for (int i = 0; i < 200; ++i) {
                memcpy(b.data(), a.data(), a.size());
                benchmark::ClobberMemory();
                a[i & 63] ^= b[(i * 7) & 63];
            }
            best = std::min(best, (thread_seconds() - t0) / 200);
        }
        return best;
    }();
    return seconds;
}

// Runs body once per benchmark iteration and adds the counter "x_copy": the CPU time
// of one iteration as a multiple of the reference copy.
template <class Body>
void run_against_copy(benchmark::State& state, Body&& body) {
    const double t0 = thread_seconds();
    for (auto _ : state) {
        body();
        benchmark::ClobberMemory();
    }
    const double seconds = thread_seconds() - t0;
    if (state.iterations() > 0)
        state.counters["x_copy"] = seconds / double(state.iterations()) / reference_copy_seconds();
}
