// The capture tool's command line: what to run and what to write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Every choice of the command line, with its default.
struct CaptureOptions {
    std::string data_dir;               // where resource.rar and kelvora.xm lie; empty: searched
    int32_t fps = 70;                   // frames per second of the virtual clock, 1..1000
    int32_t zoom = 2;                   // whole-pixel enlargement of every picture written: 1, 2 or 4
    bool sound = true;                  // music on: the show loads kelvora.xm, the video gets audio
    int64_t from_ms = 0;                // first show time of the range (inclusive)
    int64_t to_ms = -1;                 // end of the range (exclusive); < 0: the end of the show
    std::string frames_dir;             // every frame of the range as DIR/NNNNNN.png; empty: none
    std::vector<int64_t> at_ms;         // moments written as frame-MS.png into out_dir
    std::string out_dir = ".";          // where --at writes
    std::string storyboard;             // storyboard PNG path; empty: none
    std::string video;                  // MP4 path; empty: none
    bool bench = false;                 // time the run, write nothing
    bool help = false;                  // print the usage and stop
};

// The show's timeline ends here; ranges and moments must lie before it.
constexpr int64_t SHOW_END_MS = 150000;

// The usage text printed by --help.
const char* capture_usage();

// Reads argv[1..argc-1] into *options. Returns false with a one-line *error on an
// unknown option, a missing or malformed value, a value out of range, or a
// combination that makes no sense (--bench with an output, nothing to do, an empty
// range). Called once by main.
bool parse_capture_options(int argc, const char* const* argv, CaptureOptions* options,
                           std::string* error);
