// The sound track: volume changes recorded on the virtual clock land at the same
// sample in the offline render, ranges cut the right samples, and the MP4 carries
// them in step with the pictures.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/settings.h"
#include "capture_test_util.h"
#include "music/music.h"
#include "music/offline.h"
#include "music/volume.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "soundtrack.h"
#include "timing.h"
#include "video.h"

namespace {

constexpr int32_t RATE = 44100;

std::string module_path() { return build_dir() + "/kelvora.xm"; }

const std::vector<int16_t>& reference_render() {
    static std::vector<int16_t> whole;
    if (whole.empty()) {
        std::string error;
        if (!render_module_offline(module_path().c_str(), RATE, nullptr, 0, &whole, &error)) abort();
    }
    return whole;
}

TEST(CaptureSound, AVolumeChangeLandsOnTheBlockAfterItsFrame) {
    // The fade's call as the show makes it: after frame 7000's present, before its pump.
    HeadlessConfig c;
    c.music = recording_music_driver();
    c.settings = RunSettings{true, true, RATE, 1};
    headless_install(c);
    music_open(c.settings);
    music_play();
    for (int k = 0; k < 7100; ++k) {
        if (k == 7000) music_set_volume(32);
        platform.sys->poll_quit();
    }
    const MusicRecord& record = music_record();
    ASSERT_TRUE(record.loaded && record.played);
    EXPECT_EQ(record.play_frame, 0);
    ASSERT_EQ(record.changes.size(), 1u);
    EXPECT_EQ(record.changes[0].frame, 7000);
    EXPECT_EQ(record.changes[0].level, 32);

    // Frames 6990 .. 7009 at 70 fps, 630 samples each.
    const int64_t first = sample_at_frame(6990, 70, RATE), count = sample_at_frame(7010, 70, RATE) - first;
    std::vector<int16_t> track;
    std::string error;
    ASSERT_TRUE(render_soundtrack(module_path(), RATE, 70, record, first, count, &track, &error)) << error;
    ASSERT_EQ(track.size(), size_t(count) * 2);
    EXPECT_EQ(count, 20 * 630);

    // Due at sample 100000 * 44.1 = 4410000; the ramp starts on the next block
    // boundary and reaches half volume one block later.
    const int64_t block = int64_t(audio_block_frames(RATE));
    const int64_t ramp = (4410000 + block - 1) / block * block;
    const std::vector<int16_t>& whole = reference_render();
    for (int64_t i = 0; i < count; ++i)
        for (int ch = 0; ch < 2; ++ch) {
            const int16_t ref = whole[size_t((first + i) * 2 + ch)];
            const int16_t got = track[size_t(i * 2 + ch)];
            if (first + i < ramp) {
                ASSERT_EQ(got, ref) << "sample " << first + i;
            } else if (first + i >= ramp + block) {
                ASSERT_EQ(got, int16_t(int32_t(ref) * 128 / 256)) << "sample " << first + i;
            }
        }
}

TEST(CaptureSound, EachChangeIsDueAtTheFirstSampleOfItsFrame) {
    // The renderer floors at_ms * rate / 1000: that must give sample_at_frame exactly,
    // at rates whose frame period is no whole number of milliseconds too.
    for (int32_t fps : {1, 7, 13, 30, 35, 60, 70, 997, 1000}) {
        MusicRecord record;
        record.play_frame = 3;
        for (int64_t k = 3; k < 200000; k += 997) record.changes.push_back({k, 7});
        const std::vector<VolumeEvent> events = volume_events(record, fps, RATE);
        ASSERT_EQ(events.size(), record.changes.size());
        for (size_t i = 0; i < events.size(); ++i) {
            const int64_t due = int64_t(std::floor(events[i].at_ms * RATE / 1000.0));
            ASSERT_EQ(due, sample_at_frame(record.changes[i].frame, fps, RATE) - sample_at_frame(3, fps, RATE))
                << fps << " fps, frame " << record.changes[i].frame;
            EXPECT_EQ(events[i].level, 7);
        }
    }
}

TEST(CaptureSound, SilenceOutsideTheModule) {
    MusicRecord none;
    std::vector<int16_t> track;
    std::string error;
    const int64_t length = int64_t(reference_render().size() / 2);
    ASSERT_TRUE(render_soundtrack(module_path(), RATE, 70, none, length - 100, 300, &track, &error)) << error;
    ASSERT_EQ(track.size(), 600u);
    EXPECT_TRUE(std::equal(track.begin(), track.begin() + 200, reference_render().end() - 200));
    EXPECT_TRUE(std::all_of(track.begin() + 200, track.end(), [](int16_t s) { return s == 0; }));
    ASSERT_TRUE(render_soundtrack(module_path(), RATE, 70, none, -50, 100, &track, &error)) << error;
    EXPECT_TRUE(std::all_of(track.begin(), track.begin() + 100, [](int16_t s) { return s == 0; }));
    EXPECT_TRUE(std::equal(track.begin() + 100, track.end(), reference_render().begin()));
    EXPECT_FALSE(render_soundtrack(build_dir() + "/no-such.xm", RATE, 70, none, 0, 1, &track, &error));
    EXPECT_EQ(error, "File not found");
}

// Decodes one stream of an MP4 with ffmpeg into raw bytes.
std::string decode(const std::string& ffmpeg, const std::string& mp4, const std::vector<std::string>& format) {
    std::vector<std::string> args = {"-hide_banner", "-loglevel", "error", "-i", mp4};
    args.insert(args.end(), format.begin(), format.end());
    args.push_back("-");
    return run_program(ffmpeg, args, build_dir()).out;
}

TEST(CaptureSound, TheVideoCarriesTheMusicInStep) {
    std::string ffmpeg;
    if (!find_program("ffmpeg", &ffmpeg)) GTEST_SKIP() << "ffmpeg is not installed";
    const std::string dir = scratch_dir();
    for (const char* name : {"a.mp4", "b.mp4"}) {
        const ToolResult r = run_capture_tool({"--data", data_dir(), "--fps", "35", "--zoom", "1", "--from", "100000",
                                               "--to", "103000", "--video", name},
                                              dir);
        ASSERT_EQ(r.code, 0) << r.err;
    }
    EXPECT_EQ(list_dir(dir), (std::vector<std::string>{"a.mp4", "b.mp4"}));

    const std::string video = decode(ffmpeg, dir + "/a.mp4", {"-map", "0:v", "-f", "rawvideo", "-pix_fmt", "rgb24"});
    EXPECT_EQ(video.size(), size_t(105) * 320 * 200 * 3);  // 3 s at 35 fps
    const std::string audio = decode(ffmpeg, dir + "/a.mp4", {"-map", "0:a", "-f", "s16le", "-ac", "2", "-ar", "44100"});
    EXPECT_EQ(audio, decode(ffmpeg, dir + "/b.mp4", {"-map", "0:a", "-f", "s16le", "-ac", "2", "-ar", "44100"}));

    const size_t frames = audio.size() / 4;
    EXPECT_NEAR(double(frames), 3.0 * RATE, 1024.0);
    std::vector<int16_t> got(frames * 2);
    memcpy(got.data(), audio.data(), frames * 4);

    // The same span of the module, and the lag that matches the decoded sound best:
    // none, within the encoder's precision, so the music is where the pictures are.
    const std::vector<int16_t>& whole = reference_render();
    const int64_t first = 100 * RATE;
    auto correlation = [&](int64_t lag) {
        double sum = 0, ga = 0, ra = 0;
        for (int64_t i = 20000; i < 120000; i += 3) {
            const double g = got[size_t(i * 2)], r = whole[size_t((first + i + lag) * 2)];
            sum += g * r;
            ga += g * g;
            ra += r * r;
        }
        return sum / std::sqrt(ga * ra + 1.0);
    };
    int64_t best = 0;
    double best_c = -2.0;
    for (int64_t lag = -2048; lag <= 2048; lag += 8) {
        const double c = correlation(lag);
        if (c > best_c) {
            best_c = c;
            best = lag;
        }
    }
    EXPECT_LE(std::abs(best), 32) << "correlation " << best_c;
    EXPECT_GT(correlation(0), 0.9);
}

}  // namespace

namespace {

// PSNR in dB of two equally long runs of 8-bit samples: 10 log10(255^2 / MSE).
double psnr(const uint8_t* a, const uint8_t* b, size_t n) {
    double sum = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double d = double(a[i]) - double(b[i]);
        sum += d * d;
    }
    return sum == 0.0 ? 99.0 : 10.0 * log10(255.0 * 255.0 * double(n) / sum);
}

// The capture's frames of one range, decoded back from its video (ffmpeg's YUV to
// RGB with nearest chroma, as each picture pixel is a whole block), against its PNG
// frames of the same range: frame count, duration, and PSNR, for the default size
// and for a 4:3 size of whole-pixel blocks.
TEST(CaptureVideo, DecodedFramesKeepThePngFramesAtFortyFiveDecibels) {
    std::string ffmpeg;
    if (!find_program("ffmpeg", &ffmpeg)) GTEST_SKIP() << "ffmpeg is not installed";
    const std::string dir = scratch_dir();
    // The tube flight's dithered texture is the hardest picture of the show to keep.
    const std::vector<std::string> range = {"--data", data_dir(), "--fps", "10", "--no-sound", "--from", "64000",
                                            "--to", "68000"};
    std::vector<std::string> args = range;
    args.insert(args.end(), {"--frames", "f", "--video", "v.mp4"});
    ASSERT_EQ(run_capture_tool(args, dir).code, 0);
    args = range;
    args.insert(args.end(), {"--video", "big.mp4", "--size", "1600x1200"});
    ASSERT_EQ(run_capture_tool(args, dir).code, 0);

    const std::vector<std::string> frames = list_dir(dir + "/f");
    ASSERT_EQ(frames.size(), 40u);  // 4 s at 10 fps
    const std::vector<std::string> to_rgb = {"-map", "0:v", "-sws_flags", "neighbor+accurate_rnd+full_chroma_int",
                                             "-f", "rawvideo", "-pix_fmt", "rgb24"};
    const std::string video = decode(ffmpeg, dir + "/v.mp4", to_rgb);
    const std::string big = decode(ffmpeg, dir + "/big.mp4", to_rgb);
    const size_t frame_bytes = 640 * 400 * 3, big_bytes = 1600 * 1200 * 3;
    ASSERT_EQ(video.size(), frames.size() * frame_bytes);
    ASSERT_EQ(big.size(), frames.size() * big_bytes);
    const std::string duration =
        run_program("ffprobe", {"-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", dir + "/v.mp4"},
                    build_dir())
            .out;
    EXPECT_NEAR(atof(duration.c_str()), 4.0, 0.05) << duration;

    std::vector<uint8_t> all_png, all_video, all_big, all_big_png;
    for (size_t i = 0; i < frames.size(); ++i) {
        const Png png = decode_png(read_file_bytes(dir + "/f/" + frames[i]));
        ASSERT_TRUE(png.ok && png.width == 640 && png.height == 400) << frames[i];
        all_png.insert(all_png.end(), png.rgb.begin(), png.rgb.end());
        all_video.insert(all_video.end(), video.begin() + long(i * frame_bytes), video.begin() + long((i + 1) * frame_bytes));
        // 1600x1200: each picture pixel a block of 5 x 6, from the PNG's 2 x 2.
        for (int y = 0; y < 1200; ++y)
            for (int x = 0; x < 1600; ++x) {
                const size_t from = (size_t(y / 6 * 2) * 640 + size_t(x / 5 * 2)) * 3;
                all_big_png.insert(all_big_png.end(), png.rgb.begin() + long(from), png.rgb.begin() + long(from + 3));
            }
        all_big.insert(all_big.end(), big.begin() + long(i * big_bytes), big.begin() + long((i + 1) * big_bytes));
    }
    EXPECT_GE(psnr(all_video.data(), all_png.data(), all_png.size()), 45.0);
    EXPECT_GE(psnr(all_big.data(), all_big_png.data(), all_big_png.size()), 45.0);
}

}  // namespace
