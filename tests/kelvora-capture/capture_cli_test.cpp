// The built kelvora-capture run as users run it: what it writes, that it writes the
// same bytes every time, and how it fails.
#include <gtest/gtest.h>

#include <cmath>

#include "capture_test_util.h"
#include "storyboard.h"
#include "timing.h"
#include "video.h"

namespace {

std::string frame_name(int64_t k) {
    char name[32];
    snprintf(name, sizeof name, "%06lld.png", static_cast<long long>(k));
    return name;
}

TEST(CaptureCli, SameRangeTwiceGivesTheSameBytes) {
    const std::string dir = scratch_dir();
    for (const char* out : {"/a", "/b"}) {
        const ToolResult r = run_capture_tool({"--data", data_dir(), "--fps", "10", "--zoom", "1", "--from", "2000",
                                               "--to", "3000", "--frames", dir + out, "--at", "2500", "--dir",
                                               dir + out},
                                              dir);
        ASSERT_EQ(r.code, 0) << r.err;
    }
    const std::vector<std::string> names = list_dir(dir + "/a");
    ASSERT_EQ(names, list_dir(dir + "/b"));
    ASSERT_EQ(names.size(), 11u);  // ten frames and the moment
    for (const std::string& n : names) {
        const std::vector<uint8_t> a = read_file_bytes(dir + "/a/" + n);
        EXPECT_TRUE(decode_png(a).ok) << n;
        EXPECT_EQ(a, read_file_bytes(dir + "/b/" + n)) << n;
    }
    // The moment is the frame on screen then: frame 25 at 10 fps.
    EXPECT_EQ(read_file_bytes(dir + "/a/frame-2500.png"), read_file_bytes(dir + "/a/000025.png"));
}

TEST(CaptureCli, ARangeHoldsTheFramesThatStartInIt) {
    struct Case {
        int fps, from, to;
        int64_t first, count;
    };
    // [from, to) in ms -> frames k with from <= k * 1000 / fps < to.
    for (const Case& c : {Case{10, 2000, 3000, 20, 10}, Case{70, 1000, 1100, 70, 7}, Case{7, 0, 1000, 0, 7},
                          Case{70, 149900, 150000, 10493, 7}}) {
        const std::string dir = scratch_dir();
        const ToolResult r = run_capture_tool({"--data", data_dir(), "--no-sound", "--fps", std::to_string(c.fps),
                                               "--zoom", "1", "--from", std::to_string(c.from), "--to",
                                               std::to_string(c.to), "--frames", "f"},
                                              dir);
        ASSERT_EQ(r.code, 0) << r.err;
        std::vector<std::string> expected;
        for (int64_t k = c.first; k < c.first + c.count; ++k) expected.push_back(frame_name(k));
        EXPECT_EQ(list_dir(dir + "/f"), expected) << c.fps << " fps " << c.from << ".." << c.to;
    }
}

TEST(CaptureCli, ZoomRepeatsEveryPixel) {
    const std::string dir = scratch_dir();
    const ToolResult r = run_capture_tool(
        {"--data", data_dir(), "--no-sound", "--zoom", "4", "--at", "40000", "--at", "0"}, dir);
    ASSERT_EQ(r.code, 0) << r.err;
    for (const char* name : {"/frame-40000.png", "/frame-0.png"}) {
        const Png png = decode_png(read_file_bytes(dir + name));
        ASSERT_TRUE(png.ok) << name;
        EXPECT_EQ(png.width, 1280);
        EXPECT_EQ(png.height, 800);
        // Every 4x4 block is one colour.
        for (int y = 0; y < 800; ++y)
            for (int x = 0; x < 1280; ++x)
                for (int ch = 0; ch < 3; ++ch)
                    ASSERT_EQ(png.rgb[(size_t(y) * 1280 + size_t(x)) * 3 + size_t(ch)],
                              png.rgb[(size_t(y / 4 * 4) * 1280 + size_t(x / 4 * 4)) * 3 + size_t(ch)]);
    }
}

// At the show's own 70 frames per second the counted steps around the cues (fades,
// zooms) are short enough that every phase's middle frame shows that phase.
TEST(CaptureCli, StoryboardHasOneLabelledFramePerPhase) {
    const std::string dir = scratch_dir();
    std::vector<std::string> args = {"--data", data_dir(), "--fps", "70", "--zoom", "1", "--storyboard", "sb.png"};
    // The first whole millisecond inside each chosen tile's frame.
    auto tile_ms = [](int c) { return (storyboard_frame(c, 70) * 1000 + 69) / 70; };
    for (int c : {0, 11, 22}) {
        args.push_back("--at");
        args.push_back(std::to_string(tile_ms(c)));
    }
    const ToolResult r = run_capture_tool(args, dir);
    ASSERT_EQ(r.code, 0) << r.err;
    Png png = decode_png(read_file_bytes(dir + "/sb.png"));
    ASSERT_TRUE(png.ok);
    EXPECT_EQ(png.width, storyboard_width(1));
    EXPECT_EQ(png.height, storyboard_height(1));
    EXPECT_EQ(png.width, 4 * 320 + 5 * 8);

    int phases = 0;
    for (const auto& [key, text] : png.text) phases += key.rfind("Phase ", 0) == 0;
    EXPECT_EQ(phases, 23);
    // The scene playing in the middle of each cue's phase.
    const int owners[23] = {1, 1, 1, 1, 1, 1, 1, 2, 3, 4, 4, 5, 6, 6, 6, 6, 6, 7, 8, 9, 9, 10, 10};
    for (int c = 0; c < 23; ++c) {
        char key[24], label[64];
        snprintf(key, sizeof key, "Phase %02d", c);
        storyboard_label(frame_start_ms(storyboard_frame(c, 70), 70), c, owners[c], label, sizeof label);
        EXPECT_EQ(png.text[key], label);
    }
    EXPECT_EQ(png.text["Phase 00"], "1.60 s  cue 0  scene 1");
    EXPECT_EQ(png.text["Phase 22"], "149.14 s  cue 22  scene 10");

    const size_t stride = size_t(png.width) * 3;
    auto pixel = [&](int x, int y) { return png.rgb.data() + size_t(y) * stride + size_t(x) * 3; };
    const uint8_t* background = pixel(0, 0);
    for (int c : {0, 11, 22}) {
        // The tile is the frame on screen at its time, pixel for pixel.
        const Png frame = decode_png(
            read_file_bytes(dir + "/frame-" + std::to_string(tile_ms(c)) + ".png"));
        ASSERT_TRUE(frame.ok);
        const int x0 = storyboard_tile_x(c, 1), y0 = storyboard_tile_y(c, 1);
        for (int y = 0; y < 200; ++y)
            ASSERT_EQ(memcmp(pixel(x0, y0 + y), frame.rgb.data() + size_t(y) * 960, 960), 0) << "cue " << c;
        // Some text is drawn in the strip under it.
        int inked = 0;
        for (int y = y0 + 200; y < y0 + 220; ++y)
            for (int x = x0; x < x0 + 320; ++x) inked += memcmp(pixel(x, y), background, 3) != 0;
        EXPECT_GT(inked, 100) << "cue " << c;
    }
    // The 24th place stays empty.
    for (int y = storyboard_tile_y(23, 1); y < storyboard_tile_y(23, 1) + 220; ++y)
        for (int x = storyboard_tile_x(23, 1); x < storyboard_tile_x(23, 1) + 320; ++x)
            ASSERT_EQ(memcmp(pixel(x, y), background, 3), 0);
}

TEST(CaptureCli, BenchPrintsEachSceneAndTheShow) {
    const ToolResult r = run_capture_tool({"--data", data_dir(), "--no-sound", "--fps", "20", "--bench"}, scratch_dir());
    ASSERT_EQ(r.code, 0) << r.err;
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < r.out.size()) {
        const size_t nl = r.out.find('\n', at);
        lines.push_back(r.out.substr(at, nl - at));
        at = nl == std::string::npos ? r.out.size() : nl + 1;
    }
    ASSERT_EQ(lines.size(), 12u) << r.out;
    for (int s = 1; s <= 10; ++s) {
        double fps = 0;
        int scene = 0;
        ASSERT_EQ(sscanf(lines[size_t(s - 1)].c_str(), "scene %d: %lf fps", &scene, &fps), 2) << lines[size_t(s - 1)];
        EXPECT_EQ(scene, s);
        EXPECT_GT(fps, 0.0);
    }
    double startup_ms = -1, fps = 0, seconds = 0;
    EXPECT_EQ(sscanf(lines[10].c_str(), "start-up: %lf ms", &startup_ms), 1) << lines[10];
    EXPECT_GE(startup_ms, 0.0);
    EXPECT_EQ(sscanf(lines[11].c_str(), "show: %lf fps, %lf s", &fps, &seconds), 2) << lines[11];
    // No progress bar outside a terminal: plain lines that end at 100%.
    EXPECT_NE(r.err.find("kelvora-capture: 100%"), std::string::npos) << r.err;
}

struct ErrorCase {
    std::vector<std::string> args;
    std::string message;
};

TEST(CaptureCli, EveryErrorIsOnePlainLineAndCodeOne) {
    const std::string dir = scratch_dir();
    write_text(dir + "/afile", "x");
    const std::string nodata = dir + "/nodata", noxm = dir + "/noxm";
    mkdir(nodata.c_str(), 0777);
    mkdir(noxm.c_str(), 0777);
    if (symlink((build_dir() + "/resource.rar").c_str(), (noxm + "/resource.rar").c_str()) != 0) abort();
    const std::string data = data_dir();
    const std::vector<ErrorCase> cases = {
        {{"--frobnicate"}, "unknown option '--frobnicate' (see --help)"},
        {{"--fps"}, "--fps needs a value"},
        {{"--fps", "0", "--bench"}, "--fps wants a whole number from 1 to 1000, not '0'"},
        {{"--fps", "12x", "--bench"}, "not '12x'"},
        {{"--zoom", "3", "--bench"}, "--zoom wants 1, 2 or 4, not '3'"},
        {{"--at", "150000"}, "--at wants a whole number from 0 to 149999"},
        {{"--to", "-5", "--bench"}, "--to wants a whole number from 0 to 150000, not '-5'"},
        {{"--from", "3000", "--to", "2000", "--bench"}, "--from 3000 is not before --to 2000"},
        {{"--fps", "1", "--from", "100", "--to", "900", "--bench"}, "holds no frame at 1 fps"},
        {{"--data", data}, "nothing to do"},
        {{"--bench", "--at", "5"}, "--bench writes nothing"},
        {{"--data", dir + "/missing", "--bench"}, "the data folder " + dir + "/missing does not exist"},
        {{"--data", nodata, "--bench"}, "cannot read resource.rar in " + nodata + ": No such file or directory"},
        {{"--data", noxm, "--bench"}, "cannot load kelvora.xm in " + noxm + ": File not found"},
        {{"--data", data, "--frames", dir + "/afile/f"}, "cannot make the frames folder " + dir + "/afile/f"},
        {{"--data", data, "--at", "5", "--dir", dir + "/afile"}, "cannot make the --dir folder"},
        {{"--data", data, "--storyboard", dir + "/none/sb.png"}, "no folder " + dir + "/none"},
        {{"--data", data, "--video", dir}, "it is a folder"},
    };
    for (const ErrorCase& c : cases) {
        const ToolResult r = run_capture_tool(c.args, dir);
        EXPECT_EQ(r.code, 1) << c.message;
        EXPECT_EQ(r.err.rfind("kelvora-capture: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << "wanted: " << c.message << "\ngot: " << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    // Without sound the module is not needed.
    EXPECT_EQ(run_capture_tool({"--data", noxm, "--no-sound", "--fps", "5", "--at", "10"}, dir).code, 0);
    EXPECT_EQ(list_dir(dir), (std::vector<std::string>{"afile", "frame-10.png", "nodata", "noxm"}));
}

TEST(CaptureCli, HelpPrintsTheCommandLine) {
    const ToolResult r = run_capture_tool({"--help"}, scratch_dir());
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("usage: kelvora-capture [--data DIR] [--fps N] [--zoom 1|2|4] [--no-sound]"), std::string::npos);
}

TEST(CaptureCli, VideoWithoutFfmpegIsRefusedBeforeAnythingRuns) {
    const std::string dir = scratch_dir();
    const ToolResult r = run_capture_tool({"--data", data_dir(), "--video", "v.mp4", "--frames", "f"}, dir, "/nonexistent");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "kelvora-capture: --video needs the ffmpeg program, which is not installed (Debian package ffmpeg)\n");
    EXPECT_TRUE(list_dir(dir).empty());
}

TEST(CaptureCli, AShowThatStopsLeavesNoVideoBehind) {
    // A damaged archive ends the show with a fatal error once the loader reads it.
    const std::string dir = scratch_dir();
    const std::string bad = dir + "/bad";
    mkdir(bad.c_str(), 0777);
    write_text(bad + "/resource.rar", "this is not an archive");
    std::string ffmpeg;
    if (!find_program("ffmpeg", &ffmpeg)) GTEST_SKIP() << "ffmpeg is not installed";
    const ToolResult r = run_capture_tool({"--data", bad, "--no-sound", "--fps", "5", "--zoom", "1", "--to", "1000", "--video", "v.mp4"}, dir);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("kelvora-capture: the show stopped with exit code 1; the capture is incomplete"),
              std::string::npos) << r.err;
    EXPECT_EQ(list_dir(dir), std::vector<std::string>{"bad"});
}

}  // namespace
