// Loading modules through libopenmpt: each kind of bad file maps to its code, and
// on the headless platform with the real driver the show stops with its text.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "app/driver.h"
#include "music/audio.h"
#include "music/module.h"
#include "music_test_util.h"
#include "platform/headless.h"

namespace {

// The composed file's song header with no orders, patterns or instruments: every
// player recognises it, and it has nothing to play.
std::vector<uint8_t> hollow_module() {
    std::vector<uint8_t> b(composed_module().begin(), composed_module().begin() + 336);
    b[64] = b[65] = 0;  // orders
    b[70] = b[71] = 0;  // patterns
    b[72] = b[73] = 0;  // instruments
    return b;
}

int load_error(const std::string& path) {
    int error = -1;
    Module* m = module_load(path.c_str(), &error);
    module_free(m);
    return m ? 0 : error;
}

TEST(ModuleLoad, EachFailureHasItsCode) {
    const std::string dir = make_scratch_dir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(load_error(dir + "/absent.xm"), 9);
    EXPECT_EQ(load_error(dir), 9);  // a folder is not a file
    ASSERT_TRUE(write_file(dir + "/empty.xm", {}));
    EXPECT_EQ(load_error(dir + "/empty.xm"), 10);
    ASSERT_TRUE(write_file(dir + "/text.xm", std::vector<uint8_t>(4000, 'k')));
    EXPECT_EQ(load_error(dir + "/text.xm"), 10);
    std::vector<uint8_t> cut(composed_module().begin(), composed_module().begin() + 70);
    ASSERT_TRUE(write_file(dir + "/cut.xm", cut));
    EXPECT_EQ(load_error(dir + "/cut.xm"), 11);  // an extended module, cut short
    std::vector<uint8_t> one_short(composed_module().begin(), composed_module().end() - 1);
    ASSERT_TRUE(write_file(dir + "/one_short.xm", one_short));
    EXPECT_EQ(load_error(dir + "/one_short.xm"), 11);  // the player alone would take it
    ASSERT_TRUE(write_file(dir + "/hollow.xm", hollow_module()));
    EXPECT_EQ(load_error(dir + "/hollow.xm"), 11);
    EXPECT_EQ(load_error(module_dir() + "/kelvora.xm"), 0);
}

// module_load of path in a child that a watchdog ends after 5 s: its load error
// code (or 0), or -1 when it hung or died; *peak_mb gets its peak memory.
int load_error_in_child(const std::string& path, long* peak_mb) {
    const pid_t pid = fork();
    if (pid == 0) {
        alarm(5);
        _exit(load_error(path));
    }
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid) return -1;
    *peak_mb = usage.ru_maxrss / 1024;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ModuleLoad, SpecialAndHugeFilesAreRefusedWithoutWaitingOrReading) {
    const std::string dir = make_scratch_dir();
    ASSERT_FALSE(dir.empty());
    long peak_mb = 0;
    // A FIFO nobody writes to: opening it for reading would wait for a writer.
    ASSERT_EQ(mkfifo((dir + "/fifo.xm").c_str(), 0600), 0);
    EXPECT_EQ(load_error_in_child(dir + "/fifo.xm", &peak_mb), 9);
    // 2 GB behind a genuine song header (sparse: no disk is used): refused by its
    // size before its bytes are read, in the memory a small module takes.
    std::vector<uint8_t> head(composed_module().begin(), composed_module().begin() + 336);
    ASSERT_TRUE(write_file(dir + "/huge.xm", head));
    ASSERT_EQ(truncate((dir + "/huge.xm").c_str(), off_t(2) << 30), 0);
    EXPECT_EQ(load_error_in_child(dir + "/huge.xm", &peak_mb), 11);
    EXPECT_LT(peak_mb, 200);
    unlink((dir + "/fifo.xm").c_str());
    unlink((dir + "/huge.xm").c_str());
    rmdir(dir.c_str());
}

TEST(ModuleLoad, LibraryIsCurrentAndNamesItsRelease) {
    EXPECT_TRUE(module_library_current());
    unsigned major = 99, minor = 99, patch = 99;
    char rest = 0;
    EXPECT_EQ(sscanf(module_library_needed(), "%u.%u.%u%c", &major, &minor, &patch, &rest), 3)
        << module_library_needed();
    EXPECT_EQ(major, 0u);  // libopenmpt's releases are 0.x
}

// Runs the show with sound on in a folder whose kelvora.xm holds these bytes (none
// when null); it must stop in music_open.
void run_show_in(const std::vector<uint8_t>* module) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const std::string dir = make_scratch_dir();
    if (module && !write_file(dir + "/kelvora.xm", *module)) abort();
    if (chdir(dir.c_str()) != 0) abort();
    HeadlessConfig config;
    config.music = &sdl_music_driver;
    config.settings.sound = true;
    headless_install(config);
    run_show();
}

TEST(ModuleLoadDeath, MissingEmptyAndCorruptStopTheShow) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(run_show_in(nullptr), testing::ExitedWithCode(1), "Core Error: Sound error : File not found");
    const std::vector<uint8_t> empty;
    EXPECT_EXIT(run_show_in(&empty), testing::ExitedWithCode(1), "Core Error: Sound error : Unknown file format");
    const std::vector<uint8_t> noise(3000, 0xA5);
    EXPECT_EXIT(run_show_in(&noise), testing::ExitedWithCode(1), "Core Error: Sound error : Unknown file format");
    const std::vector<uint8_t> hollow = hollow_module();
    EXPECT_EXIT(run_show_in(&hollow), testing::ExitedWithCode(1), "Core Error: Sound error : Error loading file");
}

}  // namespace
