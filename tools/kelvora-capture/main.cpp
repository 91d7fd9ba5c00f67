// kelvora-capture: runs the show without a display and writes its frames, chosen
// moments, a storyboard or an MP4 with its music; or times it.
#include <cstdio>
#include <string>

#include "capture.h"
#include "options.h"

int main(int argc, char** argv) {
    CaptureOptions options;
    std::string error;
    if (!parse_capture_options(argc, argv, &options, &error)) {
        fprintf(stderr, "kelvora-capture: %s\n", error.c_str());
        return 1;
    }
    if (options.help) {
        fputs(capture_usage(), stdout);
        return 0;
    }
    return run_capture(options);
}
