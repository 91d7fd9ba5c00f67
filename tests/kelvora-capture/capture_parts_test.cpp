// The capture's pieces in-process: frame arithmetic, phases, options, PNG and WAV.
#include <gtest/gtest.h>

#include "capture_test_util.h"
#include "options.h"
#include "picture.h"
#include "png.h"
#include "scenes/timeline.h"
#include "soundtrack.h"
#include "timing.h"

namespace {

TEST(CaptureTiming, FramesSamplesAndTimesAgree) {
    EXPECT_EQ(first_frame_at(0, 70), 0);
    EXPECT_EQ(first_frame_at(1000, 70), 70);
    EXPECT_EQ(first_frame_at(1001, 70), 71);  // 70.07 -> the next whole frame
    EXPECT_EQ(first_frame_at(150000, 70), 10500);
    EXPECT_EQ(frame_on_screen_at(1014, 70), 70);  // frame 70 runs 1000 .. 1014.29 ms
    EXPECT_EQ(frame_on_screen_at(1015, 70), 71);
    EXPECT_EQ(frame_on_screen_at(149999, 70), 10499);
    EXPECT_DOUBLE_EQ(frame_start_ms(7, 70), 100.0);
    // 630 samples a frame at 70 fps; 44100 / 30 = 1470; 44100 / 7 rounds up.
    EXPECT_EQ(sample_at_frame(1, 70, 44100), 630);
    EXPECT_EQ(sample_at_frame(10500, 70, 44100), 150 * 44100);
    EXPECT_EQ(sample_at_frame(1, 7, 44100), 6300);
    EXPECT_EQ(sample_at_frame(1, 13, 44100), 3393);  // 3392.3 up
}

TEST(CaptureTiming, PhaseStartsAndStoryboardFrames) {
    EXPECT_EQ(cue_start_ms(0), 0u);
    EXPECT_EQ(cue_start_ms(22), 148300u);
    // Each storyboard frame lies inside its phase, at every rate that has one there.
    for (int32_t fps : {1, 10, 25, 70, 1000})
        for (int c = 0; c < CUE_COUNT; ++c) {
            const double ms = frame_start_ms(storyboard_frame(c, fps), fps);
            if (cue_table[c] - cue_start_ms(c) < 2000u / uint32_t(fps)) continue;
            EXPECT_GE(ms, double(cue_start_ms(c)) - 1000.0 / fps) << c << " at " << fps;
            EXPECT_LT(ms, double(cue_table[c])) << c << " at " << fps;
        }
    char label[64];
    storyboard_label(149142.857, 22, 10, label, sizeof label);
    EXPECT_STREQ(label, "149.14 s  cue 22  scene 10");
}

TEST(CaptureOptions, DefaultsAndEveryOption) {
    const char* plain[] = {"kelvora-capture", "--bench"};
    CaptureOptions o;
    std::string error;
    ASSERT_TRUE(parse_capture_options(2, plain, &o, &error)) << error;
    EXPECT_EQ(o.fps, 70);
    EXPECT_EQ(o.zoom, 2);
    EXPECT_TRUE(o.sound);
    EXPECT_EQ(o.from_ms, 0);
    EXPECT_EQ(o.to_ms, -1);
    EXPECT_EQ(o.out_dir, ".");

    const char* all[] = {"kelvora-capture", "--data", "d", "--fps", "25", "--zoom", "4", "--no-sound", "--from", "10",
                         "--to", "150000", "--frames", "f", "--at", "0", "--at", "149999", "--dir", "o",
                         "--storyboard", "s.png", "--video", "v.mp4"};
    CaptureOptions a;
    ASSERT_TRUE(parse_capture_options(int(std::size(all)), all, &a, &error)) << error;
    EXPECT_EQ(a.data_dir, "d");
    EXPECT_EQ(a.fps, 25);
    EXPECT_EQ(a.zoom, 4);
    EXPECT_FALSE(a.sound);
    EXPECT_EQ(a.from_ms, 10);
    EXPECT_EQ(a.to_ms, 150000);
    EXPECT_EQ(a.frames_dir, "f");
    EXPECT_EQ(a.at_ms, (std::vector<int64_t>{0, 149999}));
    EXPECT_EQ(a.out_dir, "o");
    EXPECT_EQ(a.storyboard, "s.png");
    EXPECT_EQ(a.video, "v.mp4");

    EXPECT_EQ(a.video_w, 0) << "the video's size follows the zoom";

    const char* sized[] = {"kelvora-capture", "--video", "v.mp4", "--size", "1600x1200"};
    ASSERT_TRUE(parse_capture_options(int(std::size(sized)), sized, &a, &error)) << error;
    EXPECT_EQ(std::make_pair(a.video_w, a.video_h), std::make_pair(1600, 1200));
    int32_t w = 0, h = 0;
    for (const char* good : {"320x200", "1600x1200", "3840x2400", "1280x800"})
        EXPECT_TRUE(parse_video_size(good, &w, &h)) << good;
    for (const char* bad : {"640x480", "1600x1000x", "1600", "x1200", "1000x600", "1600x1250", "3840x2600", "4160x2400",
                            "0x0", "-320x200", "640X400", " 640x400"})
        EXPECT_FALSE(parse_video_size(bad, &w, &h)) << bad;
    const char* size_alone[] = {"kelvora-capture", "--bench", "--size", "640x400"};
    CaptureOptions c;
    EXPECT_FALSE(parse_capture_options(4, size_alone, &c, &error));
    EXPECT_EQ(error, "--size is the video's size; give --video too");
    const char* size_bad[] = {"kelvora-capture", "--video", "v.mp4", "--size", "1920x1080"};
    EXPECT_FALSE(parse_capture_options(5, size_bad, &c, &error));
    EXPECT_EQ(error, "--size wants WxH with W a multiple of 320 and H of 200, at most 3840x2400, not '1920x1080'");

    const char* overflow[] = {"kelvora-capture", "--fps", "99999999999999999999999", "--bench"};
    CaptureOptions b;
    EXPECT_FALSE(parse_capture_options(4, overflow, &b, &error));
    const char* empty[] = {"kelvora-capture", "--frames", "", "--bench"};
    EXPECT_FALSE(parse_capture_options(4, empty, &b, &error));
    EXPECT_EQ(error, "--frames needs a non-empty path");
}

TEST(CapturePng, DecodesToWhatWasEncoded) {
    // Noise and flat runs, odd sizes, so the Sub filter wraps both ways.
    for (const auto& [w, h] : {std::pair{1, 1}, std::pair{7, 3}, std::pair{320, 200}}) {
        std::vector<uint8_t> rgb(size_t(w) * size_t(h) * 3);
        uint32_t state = 12345;
        for (size_t i = 0; i < rgb.size(); ++i) {
            state = state * 214013u + 2531011u;
            rgb[i] = i % 97 < 40 ? uint8_t(state >> 16) : uint8_t(i / 300);
        }
        const std::vector<uint8_t> file = encode_png(rgb.data(), w, h, {{"Comment", "hello"}, {"Phase 00", ""}});
        const Png png = decode_png(file);
        ASSERT_TRUE(png.ok) << w << "x" << h;
        EXPECT_EQ(png.width, w);
        EXPECT_EQ(png.height, h);
        EXPECT_EQ(png.rgb, rgb);
        EXPECT_EQ(png.text.at("Comment"), "hello");
        EXPECT_EQ(png.text.at("Phase 00"), "");
    }
}

TEST(CapturePng, AFailedWriteLeavesTheOldFileAndNoPart) {
    const std::string dir = scratch_dir();
    std::string error;
    ASSERT_TRUE(write_file_atomically(dir + "/a.png", {1, 2, 3}, &error)) << error;
    EXPECT_EQ(read_file_bytes(dir + "/a.png"), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_FALSE(write_file_atomically(dir + "/missing/a.png", {4}, &error));
    EXPECT_EQ(error.rfind("cannot write " + dir + "/missing/a.png: ", 0), 0u) << error;
    // A folder in the way of the rename.
    mkdir((dir + "/b.png").c_str(), 0777);
    write_text(dir + "/b.png/x", "");
    EXPECT_FALSE(write_file_atomically(dir + "/b.png", {5}, &error));
    EXPECT_EQ(list_dir(dir), (std::vector<std::string>{"a.png", "b.png"}));
}

TEST(CapturePicture, ZoomMakesBlocksOfEachPixel) {
    std::vector<uint32_t> pixels(64000);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint32_t(i * 2654435761u) & 0xFFFFFF;
    std::vector<uint8_t> rgb;
    for (int zoom : {1, 2, 4}) {
        zoom_pixels(pixels.data(), zoom, &rgb);
        ASSERT_EQ(rgb.size(), size_t(320 * zoom) * size_t(200 * zoom) * 3);
        for (int y = 0; y < 200 * zoom; y += 3)
            for (int x = 0; x < 320 * zoom; ++x) {
                const uint32_t p = pixels[size_t(y / zoom) * 320 + size_t(x / zoom)];
                const uint8_t* q = &rgb[(size_t(y) * size_t(320 * zoom) + size_t(x)) * 3];
                ASSERT_EQ(uint32_t(q[0]) << 16 | uint32_t(q[1]) << 8 | q[2], p) << x << "," << y << " zoom " << zoom;
            }
    }
}

TEST(CaptureWav, HeaderDescribesSixteenBitStereo) {
    const std::vector<uint8_t> wav = encode_wav({1, -1, 32767, -32768}, 44100);
    ASSERT_EQ(wav.size(), 44u + 8u);
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
    auto le = [&](size_t at, int n) {
        uint32_t v = 0;
        for (int i = n - 1; i >= 0; --i) v = v << 8 | wav[at + size_t(i)];
        return v;
    };
    EXPECT_EQ(le(4, 4), 44u);
    EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(le(20, 2), 1u);
    EXPECT_EQ(le(22, 2), 2u);
    EXPECT_EQ(le(24, 4), 44100u);
    EXPECT_EQ(le(28, 4), 176400u);
    EXPECT_EQ(le(32, 2), 4u);
    EXPECT_EQ(le(34, 2), 16u);
    EXPECT_EQ(le(40, 4), 8u);
    EXPECT_EQ(le(44, 2), 1u);
    EXPECT_EQ(le(46, 2), 0xFFFFu);
    EXPECT_EQ(le(50, 2), 0x8000u);
}

}  // namespace
