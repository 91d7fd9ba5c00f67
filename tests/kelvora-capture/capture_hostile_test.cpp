// The capture tool against a hostile folder and module: special files where an output
// goes are refused and left as they are, links planted at names the tool might use
// are never followed, and a module that claims a song of days is rendered only as
// far as the range asks, in bounded memory.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/sysmacros.h>

#include "capture_test_util.h"
#include "png.h"
#include "soundtrack.h"
#include "timing.h"
#include "video.h"

namespace {

// The file type bits of path, not following a link; 0 when there is nothing.
mode_t type_of(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0 ? (info.st_mode & S_IFMT) : 0;
}

TEST(CaptureHostile, SpecialFilesAtAnOutputAreRefusedAndKept) {
    const std::string dir = scratch_dir();
    const std::string fifo = dir + "/board.png", device = dir + "/frame.png";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const bool have_device = mknod(device.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;  // as /dev/null; root only

    // Refused before the show runs, with one line.
    ToolResult r = run_capture_tool({"--data", data_dir(), "--no-sound", "--storyboard", fifo}, dir);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "kelvora-capture: cannot write the storyboard " + fifo + ": it is a FIFO\n");
    if (have_device) {
        r = run_capture_tool({"--data", data_dir(), "--no-sound", "--video", device}, dir);
        EXPECT_EQ(r.code, 1);
        EXPECT_NE(r.err.find("cannot write the video " + device + ": it is a device\n"), std::string::npos) << r.err;
    }
    // And by the writer itself, whatever came there after the checks.
    std::string error;
    EXPECT_FALSE(write_file_atomically(fifo, {1, 2, 3}, &error));
    EXPECT_EQ(error, "cannot write " + fifo + ": it is a FIFO");
    if (have_device) {
        EXPECT_FALSE(write_file_atomically(device, {1, 2, 3}, &error));
    }

    EXPECT_EQ(type_of(fifo), mode_t(S_IFIFO));
    if (have_device) {
        EXPECT_EQ(type_of(device), mode_t(S_IFCHR));
    }
    EXPECT_EQ(list_dir(dir).size(), have_device ? 2u : 1u) << "something was left behind";
}

// Links at every name an earlier tool version wrote through, all to one victim.
void plant_links(const std::string& dir, const std::string& victim, const std::vector<std::string>& names) {
    for (const std::string& n : names) ASSERT_EQ(symlink(victim.c_str(), (dir + "/" + n).c_str()), 0) << n;
}

TEST(CaptureHostile, PlantedLinksAreNeverFollowed) {
    const std::string dir = scratch_dir(), elsewhere = scratch_dir();
    const std::string victim = elsewhere + "/victim";
    write_text(victim, "precious");
    std::vector<std::string> names = {"frame-40.png.part", "board.png.part"};
    std::vector<std::string> args = {"--data", data_dir(), "--fps", "5", "--zoom", "1", "--at", "40", "--dir", dir};
    std::string ffmpeg;
    const bool video = find_program("ffmpeg", &ffmpeg);
    if (video) {
        for (const char* n : {"v.mp4.part", "v.mp4.part.log", "v.mp4.video.part", "v.mp4.video.part.log",
                              "v.mp4.wav.part", "v.mp4.wav.part.log"})
            names.push_back(n);
        for (const char* a : {"--to", "1000", "--video", "v.mp4"}) args.push_back(a);
    }
    plant_links(dir, victim, names);
    const ToolResult r = run_capture_tool(args, dir);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(read_text(victim), "precious");
    EXPECT_TRUE(decode_png(read_file_bytes(dir + "/frame-40.png")).ok);
    for (const std::string& n : names) EXPECT_EQ(type_of(dir + "/" + n), mode_t(S_IFLNK)) << n;
    std::vector<std::string> expected = names;
    expected.push_back("frame-40.png");
    if (video) expected.push_back("v.mp4");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(list_dir(dir), expected) << "a temporary file was left behind";
}

// The built module with its song made 65535 orders long (its own orders over and
// over): about a hundred hours of music.
std::vector<uint8_t> endless_module() {
    const std::vector<uint8_t> xm = read_file_bytes(build_dir() + "/kelvora.xm");
    if (xm.size() < 400) abort();
    const uint32_t header = uint32_t(xm[60]) | uint32_t(xm[61]) << 8 | uint32_t(xm[62]) << 16 | uint32_t(xm[63]) << 24;
    const uint32_t orders = uint32_t(xm[64]) | uint32_t(xm[65]) << 8;
    std::vector<uint8_t> out(xm.begin(), xm.begin() + 80);
    const uint32_t new_header = 20 + 65535;
    for (int i = 0; i < 4; ++i) out[size_t(60 + i)] = uint8_t(new_header >> (8 * i));
    out[64] = out[65] = 0xFF;
    for (uint32_t i = 0; i < 65535; ++i) out.push_back(xm[80 + i % orders]);
    out.insert(out.end(), xm.begin() + 60 + long(header), xm.end());
    return out;
}

TEST(CaptureHostile, AnEndlessSongIsRenderedOnlyAsFarAsTheRange) {
    const std::string dir = scratch_dir();
    const std::string path = dir + "/kelvora.xm";
    const std::vector<uint8_t> xm = endless_module();
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(f && fwrite(xm.data(), 1, xm.size(), f) == xm.size());
    fclose(f);

    // The two seconds from 140 s on, in a child whose memory is watched: one that
    // holds the whole song would pass 400 MB within seconds and is stopped there.
    // The child starts with this test program's own memory; it reports what the
    // render added to its peak, in MB, as its exit code (250: a wrong result).
    const pid_t pid = fork();
    if (pid == 0) {
        alarm(120);
        struct rusage before {}, after {};
        getrusage(RUSAGE_SELF, &before);
        MusicRecord record;
        std::vector<int16_t> stereo;
        std::string error;
        const bool ok = render_soundtrack(path, 44100, 70, record, 140 * 44100, 2 * 44100, &stereo, &error);
        getrusage(RUSAGE_SELF, &after);
        const long added_mb = (after.ru_maxrss - before.ru_maxrss) / 1024;
        _exit(ok && stereo.size() == 4 * 44100 ? int(std::min(added_mb, 249L)) : 250);
    }
    int status = 0;
    struct rusage usage {};
    bool stopped = false;
    while (wait4(pid, &status, WNOHANG, &usage) == 0) {
        long pages = 0, resident = 0;
        if (FILE* statm = fopen(("/proc/" + std::to_string(pid) + "/statm").c_str(), "r")) {
            if (fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
            fclose(statm);
        }
        if (resident * sysconf(_SC_PAGESIZE) > 400L << 20) {
            kill(pid, SIGKILL);
            stopped = true;
        }
        usleep(10000);
    }
    EXPECT_FALSE(stopped) << "the render held more than 400 MB";
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 250) << status;
    EXPECT_LT(WEXITSTATUS(status), 64) << "MB added to the peak by the render";
}

}  // namespace
