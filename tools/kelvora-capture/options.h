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
    int32_t video_w = 0, video_h = 0;   // the video's picture size; 0: 320 x 200 times the zoom
    bool bench = false;                 // time the run, write nothing
    bool help = false;                  // print the usage and stop
};

// The largest --size: whole multiples of 320 x 200 up to 12 x 12.
constexpr int32_t MAX_VIDEO_W = 3840, MAX_VIDEO_H = 2400;

// Reads "WxH" for --size: W a whole multiple of 320 and H of 200 (each picture pixel
// a block of whole screen pixels), at most MAX_VIDEO_W x MAX_VIDEO_H. False for
// anything else.
bool parse_video_size(const std::string& text, int32_t* w, int32_t* h);

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
