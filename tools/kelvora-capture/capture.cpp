// The capture run; see capture.h.
#include "capture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <new>
#include <vector>

#include "app/driver.h"
#include "cleanup.h"
#include "music/module.h"
#include "music/music.h"
#include "picture.h"
#include "platform/clock.h"
#include "platform/data_folder.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "png.h"
#include "progress.h"
#include "scenes/timeline.h"
#include "soundtrack.h"
#include "storyboard.h"
#include "timing.h"
#include "video.h"

namespace {

// The mixing rate of the sound track.
constexpr int32_t AUDIO_RATE = 44100;

// Thrown from the pump to leave the show once every requested frame is written.
struct CaptureDone {};
// Thrown from the pump when writing fails; what says why.
struct CaptureFailed {
    std::string what;
};

struct Run {
    CaptureOptions o;
    int64_t k0 = 0, k1 = INT64_MAX;       // frames of the range, [k0, k1)
    int64_t stop_after = INT64_MAX;       // the run may end once this many frames were seen
    int64_t frames_seen = 0;              // pumps so far
    std::map<int64_t, std::vector<int64_t>> at;  // frame -> the --at moments it answers
    int64_t story_frame[CUE_COUNT] = {};
    std::vector<StoryboardTile> tiles;
    std::vector<bool> have_tile;
    bool writing_video = false;
    VideoEncoder video;
    // The video's intermediate files live in a folder of this run's own beside the
    // video (mkdtemp: nothing planted there can be followed); the finished file is
    // renamed out of it.
    std::string video_part, wav_part, final_part;
    Progress progress;
    bool progress_on = false;
    // Timing for --bench: wall time spent on each scene's frames of the range.
    uint64_t start_ns = 0, last_ns = 0;
    uint64_t startup_ns = 0;  // start of the show to its window: extractions, tables, mesh
    double scene_s[11] = {};
    int64_t scene_frames[11] = {};
    std::vector<uint32_t> pixels = std::vector<uint32_t>(64000);
    std::vector<uint8_t> rgb;           // the frame on screen, enlarged by the zoom
    std::vector<uint8_t> rgb_unzoomed;  // the same at 320 x 200, for the video
};

Run run;
const SystemDriver* headless_sys = nullptr;
const Presenter* headless_presenter = nullptr;

bool is_directory(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// An existing folder, or one made now (its parent must exist), in which a file can
// be created.
bool ensure_writable_dir(const std::string& dir, const char* what, std::string* error) {
    if (!is_directory(dir) && mkdir(dir.c_str(), 0777) != 0) {
        *error = std::string("cannot make the ") + what + " folder " + dir + ": " + strerror(errno);
        return false;
    }
    std::string probe = dir + "/.kelvora-capture-XXXXXX";
    const int fd = mkstemp(probe.data());
    if (fd < 0) {
        *error = std::string("cannot write into the ") + what + " folder " + dir + ": " + strerror(errno);
        return false;
    }
    close(fd);
    unlink(probe.c_str());
    return true;
}

// The folder a file will go to must already exist and take new files.
bool check_file_target(const std::string& path, const char* what, std::string* error) {
    const std::string dir = folder_of(path);
    if (!is_directory(dir)) {
        *error = std::string("cannot write the ") + what + " " + path + ": no folder " + dir;
        return false;
    }
    // A FIFO, a device or a folder there is never replaced.
    const std::string refusal = output_refusal(path);
    if (!refusal.empty()) {
        *error = std::string("cannot write the ") + what + " " + path + ": " + refusal;
        return false;
    }
    return ensure_writable_dir(dir, what, error);
}

std::string absolute(const std::string& cwd, const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    return cwd + "/" + path;
}

// A readable regular file.
bool readable_file(const std::string& path, std::string* reason) {
    // Without blocking: a FIFO there would wait in open() for a writer.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        *reason = strerror(errno);
        return false;
    }
    struct stat info;
    const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    close(fd);
    if (!regular) *reason = "not a file";
    return regular;
}

void write_png_or_throw(const std::string& path, const std::vector<uint8_t>& rgb, int w, int h,
                        const std::vector<std::pair<std::string, std::string>>& texts = {}) {
    const std::vector<uint8_t> png = encode_png(rgb.data(), w, h, texts);
    if (png.empty()) throw CaptureFailed{"out of memory encoding " + path};
    std::string error;
    if (!write_file_atomically(path, png, &error)) throw CaptureFailed{error};
}

// Everything that must go when a capture does not complete.
void abandon() {
    if (run.writing_video) video_abort(&run.video);
    run.writing_video = false;
    cleanup_remove_all();
    if (run.progress_on) progress_finish(&run.progress, false);
    run.progress_on = false;
}

// The show ends the process itself on a fatal error (its message is already on
// stderr): nothing unfinished may stay behind.
[[noreturn]] void capture_exit(int code) {
    abandon();
    fprintf(stderr, "kelvora-capture: the show stopped with exit code %d; the capture is incomplete\n", code);
    headless_sys->exit_process(code == 0 ? 1 : code);
    abort();  // exit_process never returns
}

// The last step of start-up: from here on the show's own frames are timed.
bool capture_open(const RunSettings& settings, const uint32_t* lookup) {
    run.last_ns = monotonic_ns();
    run.startup_ns = run.last_ns - run.start_ns;
    return headless_presenter->open(settings, lookup);
}

// Called at every pump of the show: frame k is on screen now.
void capture_pump(void*) {
    const HeadlessScreen& screen = headless_screen();
    const int64_t k = int64_t(screen.pumps) - 1;
    run.frames_seen = k + 1;
    const CaptureOptions& o = run.o;
    const bool in_range = k >= run.k0 && k < run.k1;

    if (o.bench) {
        const uint64_t t = monotonic_ns();
        if (in_range) {
            const int scene = scene_playing;
            run.scene_s[scene] += double(t - run.last_ns) * 1e-9;
            ++run.scene_frames[scene];
        }
        run.last_ns = t;
    }

    const auto at = run.at.find(k);
    bool story = false;
    for (int c = 0; c < CUE_COUNT; ++c) story = story || (run.story_frame[c] == k && !run.have_tile[size_t(c)]);
    const bool whole = in_range && (!o.frames_dir.empty() || run.writing_video);
    if (whole || at != run.at.end() || story) {
        headless_snapshot(run.pixels.data());
        // Only pictures written as PNG are enlarged here; ffmpeg enlarges the video.
        if ((in_range && !o.frames_dir.empty()) || at != run.at.end() || story)
            zoom_pixels(run.pixels.data(), o.zoom, &run.rgb);
        const int w = zoomed_width(o.zoom), h = zoomed_height(o.zoom);
        if (in_range && !o.frames_dir.empty()) {
            char name[32];
            snprintf(name, sizeof name, "/%06lld.png", static_cast<long long>(k));
            write_png_or_throw(o.frames_dir + name, run.rgb, w, h);
        }
        if (in_range && run.writing_video) {
            zoom_pixels(run.pixels.data(), 1, &run.rgb_unzoomed);
            const std::vector<uint8_t>& frame = run.rgb_unzoomed;
            std::string error;
            if (!video_write(&run.video, frame.data(), frame.size(), &error)) throw CaptureFailed{error};
        }
        if (at != run.at.end())
            for (int64_t ms : at->second)
                write_png_or_throw(o.out_dir + "/frame-" + std::to_string(ms) + ".png", run.rgb, w, h);
        for (int c = 0; c < CUE_COUNT; ++c) {
            if (run.story_frame[c] != k || run.have_tile[size_t(c)]) continue;
            const double ms = frame_start_ms(k, o.fps);
            char label[64];
            storyboard_label(ms, cue_index, scene_playing, label, sizeof label);
            run.tiles[size_t(c)] = {run.rgb, label};
            run.have_tile[size_t(c)] = true;
        }
    }

    if (run.progress_on) progress_update(&run.progress, frame_start_ms(k + 1, o.fps));
    if (k + 1 >= run.stop_after) throw CaptureDone{};
}

bool fail(const std::string& message) {
    abandon();
    fprintf(stderr, "kelvora-capture: %s\n", message.c_str());
    return false;
}

// Checks everything that can be checked before the show starts, so that errors are
// plain messages and not the show's own fatal ones.
bool prepare(const CaptureOptions& options) {
    run.o = options;
    CaptureOptions& o = run.o;
    std::string error;

    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return fail(std::string("cannot read the current folder: ") + strerror(errno));
    o.frames_dir = absolute(cwd, o.frames_dir);
    o.out_dir = absolute(cwd, o.out_dir);
    o.storyboard = absolute(cwd, o.storyboard);
    o.video = absolute(cwd, o.video);

    // The show reads its data by relative path from the current folder: the folder
    // given, or the first of the current folder, the program's and the installed one
    // that holds the data (the current folder when none does).
    std::string data = o.data_dir;
    if (data.empty()) {
        data = enter_data_folder();
        if (data.empty()) data = ".";
    } else if (!is_directory(data) || chdir(data.c_str()) != 0) {
        return fail("the data folder " + data + " does not exist");
    }
    std::string reason;
    if (!readable_file("resource.rar", &reason))
        return fail("cannot read resource.rar in " + data + ": " + reason +
                    " (build the show, or give its build folder with --data)");
    if (o.sound) {
        int code = 0;
        Module* module = module_load("kelvora.xm", &code);
        if (!module)
            return fail("cannot load kelvora.xm in " + data + ": " + sound_error_text(code) +
                        " (build the show, give its build folder with --data, or use --no-sound)");
        module_free(module);
    }

    std::string ffmpeg;
    if (!o.video.empty() && !find_program("ffmpeg", &ffmpeg))
        return fail("--video needs the ffmpeg program, which is not installed (Debian package ffmpeg)");
    if (!o.frames_dir.empty() && !ensure_writable_dir(o.frames_dir, "frames", &error)) return fail(error);
    if (!o.at_ms.empty() && !ensure_writable_dir(o.out_dir, "--dir", &error)) return fail(error);
    if (!o.storyboard.empty() && !check_file_target(o.storyboard, "storyboard", &error)) return fail(error);
    if (!o.video.empty() && !check_file_target(o.video, "video", &error)) return fail(error);

    // Which frames the run must reach.
    run.k0 = first_frame_at(o.from_ms, o.fps);
    run.k1 = o.to_ms < 0 ? INT64_MAX : first_frame_at(o.to_ms, o.fps);
    int64_t need = 0;
    if (!o.frames_dir.empty() || !o.video.empty() || o.bench) need = run.k1;
    for (int64_t ms : o.at_ms) {
        const int64_t k = frame_on_screen_at(ms, o.fps);
        run.at[k].push_back(ms);
        if (k + 1 > need) need = k + 1;
    }
    run.tiles.assign(CUE_COUNT, {});
    run.have_tile.assign(CUE_COUNT, o.storyboard.empty());
    for (int c = 0; c < CUE_COUNT; ++c) {
        run.story_frame[c] = o.storyboard.empty() ? -1 : storyboard_frame(c, o.fps);
        if (run.story_frame[c] + 1 > need) need = run.story_frame[c] + 1;
    }
    run.stop_after = need;

    cleanup_install_signal_handlers();
    if (!o.video.empty()) {
        std::string work = folder_of(o.video) + "/.kelvora-capture-XXXXXX";
        if (!mkdtemp(work.data())) return fail("cannot write the video " + o.video + ": " + strerror(errno));
        run.video_part = work + "/video.mp4";
        run.wav_part = work + "/sound.wav";
        run.final_part = work + "/final.mp4";
        // Files first, then their folder: the cleanup removes in that order.
        for (const std::string& p : {run.video_part, run.wav_part, run.final_part})
            for (const std::string& q : {p, p + ".log"}) cleanup_register(q);
        cleanup_register(work);
        const int w = o.video_w > 0 ? o.video_w : zoomed_width(o.zoom);
        const int h = o.video_h > 0 ? o.video_h : zoomed_height(o.zoom);
        if (!video_start(ffmpeg, run.video_part, w, h, o.fps, &run.video, &error))
            return fail(error);
        run.writing_video = true;
    }
    return true;
}

// The sound track of the frames [k0, k_end) as a WAV file at run.wav_part, streamed
// block by block from the module as it renders.
bool write_soundtrack(int64_t k_end, std::string* error) {
    const CaptureOptions& o = run.o;
    const MusicRecord& record = music_record();
    const int64_t play_sample = sample_at_frame(record.play_frame, o.fps, AUDIO_RATE);
    const int64_t first = sample_at_frame(run.k0, o.fps, AUDIO_RATE);
    const int64_t count = sample_at_frame(k_end, o.fps, AUDIO_RATE) - first;
    if (count < 0 || count > int64_t(UINT32_MAX - 36) / 4) {
        *error = "the range is too long for a sound track";
        return false;
    }
    const int fd = open(run.wav_part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    FILE* f = fd >= 0 ? fdopen(fd, "wb") : nullptr;
    if (!f) {
        *error = "cannot write the sound track: " + std::string(strerror(errno));
        if (fd >= 0) close(fd);
        return false;
    }
    const std::vector<uint8_t> header = wav_header(uint32_t(count * 4), AUDIO_RATE);
    bool written = fwrite(header.data(), 1, header.size(), f) == header.size();
    std::vector<uint8_t> bytes;
    const auto put = [&](const int16_t* stereo, size_t frames) {
        bytes.resize(frames * 4);
        for (size_t i = 0; i < frames * 2; ++i) {  // little-endian samples
            bytes[2 * i] = uint8_t(uint16_t(stereo[i]));
            bytes[2 * i + 1] = uint8_t(uint16_t(stereo[i]) >> 8);
        }
        written = written && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        return written;
    };
    std::string render_error;
    const bool rendered =
        render_soundtrack("kelvora.xm", AUDIO_RATE, o.fps, record, first - play_sample, count, put, &render_error);
    const int saved = errno;
    written = fclose(f) == 0 && written;
    if (!rendered && !render_error.empty()) {
        *error = "cannot render kelvora.xm: " + render_error;
        return false;
    }
    if (!rendered || !written) {
        *error = "cannot write the sound track: " + std::string(strerror(saved));
        return false;
    }
    return true;
}

// Renames the finished file at from to the video's name, unless something that must
// not be replaced has taken that name meanwhile.
bool place_video(const std::string& from) {
    const std::string& video = run.o.video;
    const std::string refusal = output_refusal(video);
    if (!refusal.empty()) return fail("cannot write " + video + ": " + refusal);
    if (rename(from.c_str(), video.c_str()) != 0) return fail("cannot write " + video + ": " + strerror(errno));
    cleanup_remove_all();  // the rest of the run's folder, and the folder
    return true;
}

// The sound track of the frames [k0, k_end) into the video, then the finished file.
bool finish_video(int64_t k_end) {
    const CaptureOptions& o = run.o;
    std::string error;
    run.writing_video = false;
    if (!video_finish(&run.video, &error)) return fail(error);
    if (!o.sound) return place_video(run.video_part);
    if (!write_soundtrack(k_end, &error)) return fail(error);
    if (!video_mux_audio(run.video.ffmpeg, run.video_part, run.wav_part, run.final_part, &error)) return fail(error);
    return place_video(run.final_part);
}

void print_bench() {
    double total_s = 0.0;
    int64_t total_frames = 0;
    for (int s = 1; s <= 10; ++s) {
        if (run.scene_frames[s] == 0) continue;
        printf("scene %d: %.1f fps\n", s, double(run.scene_frames[s]) / run.scene_s[s]);
        total_s += run.scene_s[s];
        total_frames += run.scene_frames[s];
    }
    const double wall = double(monotonic_ns() - run.start_ns) * 1e-9;
    printf("start-up: %.1f ms\n", double(run.startup_ns) * 1e-6);
    printf("show: %.1f fps, %.2f s\n", total_s > 0.0 ? double(total_frames) / total_s : 0.0, wall);
    fflush(stdout);
}

// run_capture without its guard against running out of memory.
int capture_unguarded(const CaptureOptions& options) {
    if (!prepare(options)) return 1;
    const CaptureOptions& o = run.o;

    HeadlessConfig config;
    config.frame_ms = 1000.0 / double(o.fps);
    // Full screen: a palette change shows at once, also on the picture on screen.
    config.settings = RunSettings{true, o.sound, AUDIO_RATE, o.zoom};
    config.music = recording_music_driver();
    config.on_pump = capture_pump;
    headless_install(config);

    // The same back end, with the process's end and the window's opening seen first.
    static SystemDriver sys;
    static Presenter presenter;
    headless_sys = platform.sys;
    headless_presenter = platform.presenter;
    sys = *platform.sys;
    sys.exit_process = capture_exit;
    presenter = *platform.presenter;
    presenter.open = capture_open;
    Platform p = platform;
    p.sys = &sys;
    p.presenter = &presenter;
    platform_install(p);

    const double end_ms = run.stop_after == INT64_MAX ? double(SHOW_END_MS) : frame_start_ms(run.stop_after, o.fps);
    progress_start(&run.progress, end_ms);
    run.progress_on = true;
    run.start_ns = run.last_ns = monotonic_ns();

    int show_code = 0;
    try {
        show_code = run_show();
    } catch (const CaptureDone&) {
    } catch (const CaptureFailed& f) {
        fail(f.what);
        return 1;
    }
    if (show_code != 0) {
        fail("the show ended with exit code " + std::to_string(show_code));
        return 1;
    }
    if (run.stop_after != INT64_MAX && run.frames_seen < run.stop_after) {
        fail("the show ended after " + std::to_string(run.frames_seen) + " frames, before the requested range");
        return 1;
    }
    const int64_t k_end = run.k1 == INT64_MAX ? run.frames_seen : run.k1;
    progress_finish(&run.progress, true);
    run.progress_on = false;

    if (!o.storyboard.empty()) {
        std::vector<std::pair<std::string, std::string>> texts = {{"Software", "kelvora-capture"}};
        for (int c = 0; c < CUE_COUNT; ++c) {
            char key[16];
            snprintf(key, sizeof key, "Phase %02d", c);
            texts.emplace_back(key, run.tiles[size_t(c)].label);
        }
        const std::vector<uint8_t> board = compose_storyboard(run.tiles, o.zoom);
        try {
            write_png_or_throw(o.storyboard, board, storyboard_width(o.zoom), storyboard_height(o.zoom), texts);
        } catch (const CaptureFailed& f) {
            fail(f.what);
            return 1;
        }
    }
    if (run.writing_video && !finish_video(k_end)) return 1;
    if (o.bench) print_bench();
    return 0;
}

}  // namespace

int run_capture(const CaptureOptions& options) {
    try {
        return capture_unguarded(options);
    } catch (const std::bad_alloc&) {
        // Said as what it is: no file is at fault, and none is left half-written.
        fail("out of memory");
        return 1;
    }
}
