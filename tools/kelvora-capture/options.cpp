// Command-line parsing for kelvora-capture; see options.h.
#include "options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "timing.h"

const char* capture_usage() {
    return "usage: kelvora-capture [--data DIR] [--fps N] [--zoom 1|2|4] [--no-sound]\n"
           "                       [--from MS] [--to MS] [--frames DIR] [--at MS]... [--dir DIR]\n"
           "                       [--storyboard FILE.png] [--video FILE.mp4] [--size WxH]\n"
           "                       [--bench]\n"
           "\n"
           "Runs the Kelvora show on a virtual clock, without a display, and writes what it\n"
           "shows. Every frame is what a full-screen display shows at that moment.\n"
           "\n"
           "  --data DIR             folder holding resource.rar and kelvora.xm (default: the\n"
           "                         current folder, the program's folder or the installed\n"
           "                         data folder, the first that holds them)\n"
           "  --fps N                frames per second of the virtual clock, 1..1000 (default 70)\n"
           "  --zoom 1|2|4           whole-pixel enlargement of every picture (default 2)\n"
           "  --no-sound             run with sound off; the video has no audio track\n"
           "  --from MS, --to MS     show time range for --frames, --video and --bench, in\n"
           "                         milliseconds, 0..150000 (default: the whole show); every\n"
           "                         earlier frame is still run, so the state is exact\n"
           "  --frames DIR           every frame of the range as DIR/NNNNNN.png (NNNNNN is the\n"
           "                         frame number from the start of the show)\n"
           "  --at MS                the frame on screen at show time MS, as frame-MS.png;\n"
           "                         repeatable\n"
           "  --dir DIR              folder for --at (default: .)\n"
           "  --storyboard FILE.png  one labelled frame from the middle of each of the 23\n"
           "                         phases of the timeline\n"
           "  --video FILE.mp4       H.264 video with the music (AAC) through ffmpeg, encoded\n"
           "                         on every core at a quality that keeps the flat colours\n"
           "                         (45 dB PSNR or more against the PNG frames)\n"
           "  --size WxH             the video's picture size, each picture pixel a block of\n"
           "                         whole pixels (W a multiple of 320, H of 200, at most\n"
           "                         3840x2400): 1600x1200 gives 4:3 for video sites\n"
           "                         (default: 320x200 times the zoom). Blocks of even\n"
           "                         width and height keep colour at half resolution\n"
           "                         (4:2:0, for every player); others, such as\n"
           "                         1600x1200's 5x6, at full resolution (4:4:4), which\n"
           "                         video sites take but some players cannot play\n"
           "  --bench                run without writing anything; print frames per second of\n"
           "                         each scene, the start-up's time (extractions, tables,\n"
           "                         mesh) and the whole show's\n"
           "  --help                 this text\n"
           "\n"
           "Exit code 0 after the whole requested range, 1 on any error.\n";
}

// A whole decimal number in [lo, hi]; false for anything else (signs, blanks, junk).
static bool parse_int(const char* text, int64_t lo, int64_t hi, int64_t* out) {
    if (!text || !*text) return false;
    for (const char* p = text; *p; ++p)
        if (*p < '0' || *p > '9') return false;
    errno = 0;
    char* end = nullptr;
    const long long v = strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    *out = v;
    return true;
}

bool parse_video_size(const std::string& text, int32_t* w, int32_t* h) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return false;
    int64_t width = 0, height = 0;
    if (!parse_int(text.substr(0, x).c_str(), 320, MAX_VIDEO_W, &width) ||
        !parse_int(text.substr(x + 1).c_str(), 200, MAX_VIDEO_H, &height))
        return false;
    if (width % 320 != 0 || height % 200 != 0) return false;
    *w = int32_t(width);
    *h = int32_t(height);
    return true;
}

bool parse_capture_options(int argc, const char* const* argv, CaptureOptions* o, std::string* error) {
    bool any_range = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        // Options that take a value read the next argument.
        auto value = [&](const char** v) {
            if (i + 1 >= argc) {
                *error = arg + " needs a value";
                return false;
            }
            *v = argv[++i];
            return true;
        };
        auto number = [&](int64_t lo, int64_t hi, int64_t* out) {
            const char* v = nullptr;
            if (!value(&v)) return false;
            if (!parse_int(v, lo, hi, out)) {
                *error = arg + " wants a whole number from " + std::to_string(lo) + " to " +
                         std::to_string(hi) + ", not '" + v + "'";
                return false;
            }
            return true;
        };
        auto path = [&](std::string* out) {
            const char* v = nullptr;
            if (!value(&v)) return false;
            if (!*v) {
                *error = arg + " needs a non-empty path";
                return false;
            }
            *out = v;
            return true;
        };
        int64_t n = 0;
        if (arg == "--help" || arg == "-h") {
            o->help = true;
        } else if (arg == "--data") {
            if (!path(&o->data_dir)) return false;
        } else if (arg == "--fps") {
            if (!number(1, 1000, &n)) return false;
            o->fps = int32_t(n);
        } else if (arg == "--zoom") {
            if (!number(1, 4, &n)) return false;
            if (n == 3) {
                *error = "--zoom wants 1, 2 or 4, not '3'";
                return false;
            }
            o->zoom = int32_t(n);
        } else if (arg == "--no-sound") {
            o->sound = false;
        } else if (arg == "--from") {
            if (!number(0, SHOW_END_MS, &o->from_ms)) return false;
            any_range = true;
        } else if (arg == "--to") {
            if (!number(0, SHOW_END_MS, &o->to_ms)) return false;
            any_range = true;
        } else if (arg == "--frames") {
            if (!path(&o->frames_dir)) return false;
        } else if (arg == "--at") {
            if (!number(0, SHOW_END_MS - 1, &n)) return false;
            o->at_ms.push_back(n);
        } else if (arg == "--dir") {
            if (!path(&o->out_dir)) return false;
        } else if (arg == "--storyboard") {
            if (!path(&o->storyboard)) return false;
        } else if (arg == "--video") {
            if (!path(&o->video)) return false;
        } else if (arg == "--size") {
            const char* v = nullptr;
            if (!value(&v)) return false;
            if (!parse_video_size(v, &o->video_w, &o->video_h)) {
                *error = std::string("--size wants WxH with W a multiple of 320 and H of 200, at most 3840x2400, not '") +
                         v + "'";
                return false;
            }
        } else if (arg == "--bench") {
            o->bench = true;
        } else {
            *error = "unknown option '" + arg + "' (see --help)";
            return false;
        }
    }
    if (o->help) return true;

    const bool writes = !o->frames_dir.empty() || !o->at_ms.empty() || !o->storyboard.empty() ||
                        !o->video.empty();
    if (o->video_w > 0 && o->video.empty()) {
        *error = "--size is the video's size; give --video too";
        return false;
    }
    if (o->bench && writes) {
        *error = "--bench writes nothing; drop --frames, --at, --storyboard and --video";
        return false;
    }
    if (!o->bench && !writes) {
        *error = "nothing to do: give --frames, --at, --storyboard, --video or --bench (see --help)";
        return false;
    }
    const int64_t to = o->to_ms < 0 ? SHOW_END_MS : o->to_ms;
    if (o->from_ms >= to) {
        *error = "--from " + std::to_string(o->from_ms) + " is not before --to " + std::to_string(to);
        return false;
    }
    if (any_range && first_frame_at(o->from_ms, o->fps) >= first_frame_at(to, o->fps)) {
        *error = "the range " + std::to_string(o->from_ms) + ".." + std::to_string(to) +
                 " ms holds no frame at " + std::to_string(o->fps) + " fps";
        return false;
    }
    return true;
}
