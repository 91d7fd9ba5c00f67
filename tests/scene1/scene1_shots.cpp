// Writes PNGs of scene 1 at chosen moments, to look at the pictures:
//   scene1_shots OUT_DIR [MS ...]     (run in the build folder, beside resource.rar)
// Each MS is a virtual time in milliseconds; the screen at the first pump at or
// after it is written as OUT_DIR/scene1_<MS>.png at twice the size.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "scene1_run.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: scene1_shots OUT_DIR [MS ...]\n");
        return 2;
    }
    const std::string out = argv[1];
    std::vector<double> times;
    for (int i = 2; i < argc; ++i) times.push_back(atof(argv[i]));
    if (times.empty()) times = {500, 3000, 3300, 3400, 5000, 9000, 13000, 18000, 24000, 28000, 33000};
    size_t next = 0;
    std::vector<uint32_t> pixels(64000);
    scene1_run([&](const HeadlessScreen&) {
        while (next < times.size() && headless_time_ms() >= times[next]) {
            headless_snapshot(pixels.data());
            const std::string path = out + "/scene1_" + std::to_string(long(times[next])) + ".png";
            if (!write_png(path.c_str(), pixels.data(), 320, 200, 2)) fprintf(stderr, "cannot write %s\n", path.c_str());
            ++next;
        }
    });
    return 0;
}
