// kelvora-tune: composes the soundtrack from its score and writes the module, printing
// where each section starts (run by the build); with --report, renders it and prints
// its loudness, balance, expression and timing.
#include <cstdio>
#include <cstring>

#include "arrange.h"
#include "report.h"

namespace {

const char usage[] =
    "usage: kelvora-tune SCORE OUT.xm\n"
    "       kelvora-tune --report SCORE [OUT.xm]\n"
    "Composes the soundtrack from SCORE and writes it to OUT.xm. --report renders it\n"
    "through libopenmpt and prints EBU R128 loudness, loudness range, true peak,\n"
    "loudness and lead-over-pad level per section, expression commands per 100 rows,\n"
    "and each section's start against its time at 44100, 48000, 22050 and 11025 Hz.\n";

bool write_module(const char* path, const std::vector<uint8_t>& bytes) {
    FILE* f = fopen(path, "wb");
    const bool written = f && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if ((f && fclose(f) != 0) || !written) {
        fprintf(stderr, "kelvora-tune: cannot write %s\n", path);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (!strcmp(argv[1], "--help") || !strcmp(argv[1], "-h"))) {
        fputs(usage, stdout);
        return 0;
    }
    const bool report = argc >= 2 && !strcmp(argv[1], "--report");
    if (report ? (argc < 3 || argc > 4) : argc != 3) {
        fputs(usage, stderr);
        return 2;
    }
    const char* score = argv[report ? 2 : 1];
    const char* out = report ? (argc == 4 ? argv[3] : nullptr) : argv[2];

    xm::Module module;
    std::vector<tune::SectionTiming> timing;
    std::string error;
    if (!tune::compose_module(score, &module, &timing, &error)) {
        fprintf(stderr, "kelvora-tune: %s\n", error.c_str());
        return 1;
    }
    const std::vector<uint8_t> bytes = xm::write(module);
    if (out && !write_module(out, bytes)) return 1;
    if (report) {
        if (!tune::print_report(module, timing, stdout, &error)) {
            fprintf(stderr, "kelvora-tune: %s\n", error.c_str());
            return 1;
        }
        printf("\n  module: %zu bytes\n", bytes.size());
        return 0;
    }
    for (const tune::SectionTiming& t : timing)
        printf("%-10s order %3d  %7.3f .. %7.3f s  %3d rows  bpm %d..%d  %zu hits\n", t.name.c_str(),
               t.first_order, t.start_s, t.end_s, t.rows, t.bpm_low, t.bpm_high, t.hits.size());
    printf("%s: %zu bytes, %.3f s\n", out, bytes.size(), timing.empty() ? 0.0 : timing.back().end_s);
    return 0;
}
