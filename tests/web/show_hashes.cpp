// web_show_hashes: plays the show on the headless platform, as the whole-show tests
// do, and prints the hash of the screen at each show time asked for: one line
// "MS HASH" per time (the hash as 16 hex digits, as screen_hash computes it). The
// browser test compares the browser build's screens at the same times with these.
// Runs in the folder that holds resource.rar.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "show_run.h"

int main(int argc, char** argv) {
    std::vector<double> times;
    for (int i = 1; i < argc; ++i) {
        char* end = nullptr;
        const double ms = strtod(argv[i], &end);
        if (!strcmp(argv[i], "--help") || end == argv[i] || *end != '\0' || !(ms >= 0.0 && ms <= 150000.0) ||
            (!times.empty() && ms < times.back())) {
            fputs("usage: web_show_hashes MS...\n"
                  "Prints \"MS HASH\" for the screen of the headless show at each show time\n"
                  "(0..150000, in rising order): the first pump at or after it.\n",
                  strcmp(argv[i], "--help") ? stderr : stdout);
            return strcmp(argv[i], "--help") ? 1 : 0;
        }
        times.push_back(ms);
    }
    size_t next = 0;
    auto print_due = [&](const HeadlessScreen& s) {
        while (next < times.size() && headless_time_ms() >= times[next]) {
            printf("%g %016" PRIx64 "\n", times[next], screen_hash(s));
            ++next;
        }
        if (next == times.size()) {
            // Nothing later is asked for: the rest of the show need not run.
            fflush(stdout);
            std::_Exit(0);
        }
    };
    if (times.empty()) return 0;
    run_whole_show(print_due, false, 1);
    return next == times.size() ? 0 : 1;
}
