// kelvora-tune SCORE OUT.xm: composes the soundtrack from its score and writes the
// module; prints where each section starts. Run by the build.
#include <cstdio>

#include "arrange.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: kelvora-tune SCORE OUT.xm\n");
        return 2;
    }
    std::vector<uint8_t> bytes;
    std::vector<tune::SectionTiming> timing;
    std::string error;
    if (!tune::compose_file(argv[1], &bytes, &timing, &error)) {
        fprintf(stderr, "kelvora-tune: %s\n", error.c_str());
        return 1;
    }
    FILE* f = fopen(argv[2], "wb");
    if (!f || fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || fclose(f) != 0) {
        fprintf(stderr, "kelvora-tune: cannot write %s\n", argv[2]);
        return 1;
    }
    for (const tune::SectionTiming& t : timing)
        printf("%-10s order %3d  %7.3f .. %7.3f s  %3d rows  bpm %d/%d split %d\n", t.name.c_str(),
               t.first_order, t.start_s, t.end_s, t.rows, t.bpm_first, t.bpm_rest, t.split_row);
    printf("%s: %zu bytes, %.3f s\n", argv[2], bytes.size(), timing.empty() ? 0.0 : timing.back().end_s);
    return 0;
}
