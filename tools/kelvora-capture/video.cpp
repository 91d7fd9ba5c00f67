// ffmpeg as a child process; see video.h.
#include "video.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

extern char** environ;

bool find_program(const char* name, std::string* path) {
    const char* env = getenv("PATH");
    const std::string dirs = env ? env : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    for (;;) {
        const size_t end = dirs.find(':', start);
        std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (dir.empty()) dir.push_back('.');  // an empty entry names the current folder
        // Built by appending: GCC 12 misreads string literals joined here as an
        // overlapping copy (a false -Wrestrict in optimised builds).
        std::string candidate = dir;
        candidate += '/';
        candidate += name;
        struct stat info;
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0) {
            *path = candidate;
            return true;
        }
        if (end == std::string::npos) return false;
        start = end + 1;
    }
}

// The last non-empty line of ffmpeg's error output, or a note that it said nothing.
static std::string last_log_line(const std::string& log_path) {
    std::string last;
    if (FILE* f = fopen(log_path.c_str(), "r")) {
        char line[1024];
        while (fgets(line, sizeof line, f)) {
            size_t n = strlen(line);
            while (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r')) line[--n] = '\0';
            if (n > 0) last = line;
        }
        fclose(f);
    }
    return last.empty() ? "no message" : last;
}

static std::string exit_text(int status) {
    if (WIFEXITED(status)) return "exit code " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
    return "status " + std::to_string(status);
}

// Starts ffmpeg with args; its stdin is stdin_fd (or /dev/null when < 0), its stdout
// goes nowhere and its stderr to log_path.
static bool spawn_ffmpeg(const std::string& ffmpeg, const std::vector<std::string>& args, int stdin_fd,
                         int close_fd, const std::string& log_path, pid_t* pid, std::string* error) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(ffmpeg.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdin_fd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdin_fd, 0);
    else
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (close_fd >= 0) posix_spawn_file_actions_addclose(&actions, close_fd);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    // A new file only: a name already there (a planted link above all) is not followed.
    posix_spawn_file_actions_addopen(&actions, 2, log_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0644);
    const int rc = posix_spawn(pid, ffmpeg.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        *error = "cannot start " + ffmpeg + ": " + strerror(rc);
        return false;
    }
    return true;
}

bool video_start(const std::string& ffmpeg, const std::string& out_path, int width, int height, int32_t fps,
                 VideoEncoder* enc, std::string* error) {
    // A reader that dies must show up as a failed write, not kill the capture.
    signal(SIGPIPE, SIG_IGN);
    int fds[2];
    if (pipe(fds) != 0) {
        *error = std::string("cannot make a pipe for ffmpeg: ") + strerror(errno);
        return false;
    }
    fcntl(fds[1], F_SETFD, FD_CLOEXEC);
    enc->ffmpeg = ffmpeg;
    enc->log_path = out_path + ".log";
    const std::string size = std::to_string(width) + ":" + std::to_string(height);
    // Colour at half resolution (4:2:0, what every player plays) is exact when each
    // picture pixel is a block of even width and height: one colour sample per 2 x 2
    // pixels never straddles two picture pixels. Blocks of odd size (1600x1200 is
    // 5 x 6) would smear colour across every edge, so they keep it at full
    // resolution (4:4:4).
    const bool even_blocks = (width / 320) % 2 == 0 && (height / 200) % 2 == 0;
    const char* pixel_format = even_blocks ? "yuv420p" : "yuv444p";
    const std::vector<std::string> args = {
        "-hide_banner", "-loglevel", "error", "-nostdin", "-y",
        "-f", "rawvideo", "-pix_fmt", "rgb24", "-video_size", "320x200",
        "-framerate", std::to_string(fps), "-i", "pipe:0",
        // Whole-pixel blocks; the conversion to YUV rounded, not truncated.
        "-vf", "scale=" + size + ":flags=neighbor+accurate_rnd+full_chroma_int", "-pix_fmt", pixel_format,
        // The show's flat colours and hard edges need a low CRF to stay clean, and
        // its dithered textures (the tube flights) most of all; at such rates x264's
        // analysis buys little, so the fastest preset spends the time on both cores
        // instead. The chroma planes get much finer steps than luma: the saturated
        // palettes carry much of the picture in them, blue above all. (Measured on
        // the tube flight, the hardest 20 s: medium CRF 18 gave 35 dB PSNR at 19 s
        // of CPU; this gives 47 dB at 2.7 s.)
        "-c:v", "libx264", "-preset", "ultrafast", "-crf", "6", "-x264-params", "chroma-qp-offset=-9",
        "-threads", "0",
        "-fflags", "+bitexact", "-movflags", "+faststart", "-f", "mp4", out_path};
    pid_t pid = -1;
    const bool ok = spawn_ffmpeg(ffmpeg, args, fds[0], fds[1], enc->log_path, &pid, error);
    close(fds[0]);
    if (!ok) {
        close(fds[1]);
        return false;
    }
    enc->pid = pid;
    enc->fd = fds[1];
    return true;
}

bool video_write(VideoEncoder* enc, const uint8_t* rgb, size_t size, std::string* error) {
    while (size > 0) {
        const ssize_t n = write(enc->fd, rgb, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            *error = std::string("ffmpeg stopped reading frames (") + strerror(errno) + ")";
            return false;
        }
        rgb += n;
        size -= size_t(n);
    }
    return true;
}

static int wait_for(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

bool video_finish(VideoEncoder* enc, std::string* error) {
    if (enc->fd >= 0) close(enc->fd);
    enc->fd = -1;
    if (enc->pid < 0) return false;
    const int status = wait_for(enc->pid);
    enc->pid = -1;
    const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!ok) *error = "ffmpeg failed (" + exit_text(status) + "): " + last_log_line(enc->log_path);
    unlink(enc->log_path.c_str());
    return ok;
}

void video_abort(VideoEncoder* enc) {
    if (enc->fd >= 0) close(enc->fd);
    enc->fd = -1;
    if (enc->pid >= 0) {
        kill(enc->pid, SIGKILL);
        wait_for(enc->pid);
        enc->pid = -1;
    }
    if (!enc->log_path.empty()) unlink(enc->log_path.c_str());
}

bool video_mux_audio(const std::string& ffmpeg, const std::string& video_path, const std::string& wav_path,
                     const std::string& out_path, std::string* error) {
    const std::string log_path = out_path + ".log";
    const std::vector<std::string> args = {
        "-hide_banner", "-loglevel", "error", "-nostdin", "-y",
        "-i", video_path, "-f", "wav", "-i", wav_path,
        "-map", "0:v:0", "-map", "1:a:0", "-c:v", "copy", "-c:a", "aac", "-b:a", "192k",
        "-fflags", "+bitexact", "-flags:a", "+bitexact", "-movflags", "+faststart",
        "-f", "mp4", out_path};
    pid_t pid = -1;
    if (!spawn_ffmpeg(ffmpeg, args, -1, -1, log_path, &pid, error)) return false;
    const int status = wait_for(pid);
    const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!ok) *error = "ffmpeg failed to add the sound track (" + exit_text(status) + "): " + last_log_line(log_path);
    unlink(log_path.c_str());
    return ok;
}
