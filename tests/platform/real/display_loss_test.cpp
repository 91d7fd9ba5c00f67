// The whole program when its display goes away or was never there: the X server
// killed under a windowed and a full-screen show, and a start with no display at all
// or with only SDL's invisible video drivers. Each ends with one line and exit code
// 1, never an abort, a hang or a show that plays unseen.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "xsession_x11.h"

namespace {

// Runs the show with these options on a private server, kills the server once the
// show's window is up and checks how the show ends.
void kill_display_under(const std::vector<std::string>& options) {
    XSession x;
    ASSERT_TRUE(x.start(1280, 1024)) << x.why();
    ASSERT_TRUE(x.add_modes());
    std::vector<std::string> argv{KELVORA_PROGRAM};
    argv.insert(argv.end(), options.begin(), options.end());
    std::vector<std::string> env = x.child_env();
    env.push_back("SDL_AUDIODRIVER=dummy");  // sound on: its thread must not hold the end up
    Child show;
    ASSERT_TRUE(show.start(argv, env));
    ASSERT_NE(x.wait_window("kelvora", 20000), 0ul) << show.wait(0).err;
    ASSERT_TRUE(show.running());

    x.kill_server();
    // Bounded generously: what fails here is a show that spins or waits forever.
    const ChildResult r = show.wait(10000);
    EXPECT_FALSE(r.timed_out) << "still running after its display went";
    EXPECT_EQ(r.exit_code, 1) << r.err;  // -1: killed by a signal (an abort)
    EXPECT_EQ(r.err, "kelvora: Core Error: lost the connection to the display\n");
}

TEST(DisplayLoss, WindowedShowEndsWithOneLine) {
    if (!have_program("Xvfb")) GTEST_SKIP() << "Xvfb is needed; install xvfb";
    kill_display_under({"--window", "--zoom", "1"});
}

TEST(DisplayLoss, FullScreenShowEndsWithOneLine) {
    if (!have_program("Xvfb")) GTEST_SKIP() << "Xvfb is needed; install xvfb";
    kill_display_under({"--fullscreen", "--zoom", "2"});
}

// No display at all, or only drivers that show nothing: the window cannot be made.
TEST(DisplayLoss, NoDisplayIsAnErrorNotAnUnseenShow) {
    const std::string line = "kelvora: Core Error: Error creating application window\n";
    // A session's own runtime folder, as every login has: without one the Wayland
    // library SDL tries first complains on stderr about the environment.
    char runtime[] = "/tmp/kelvora-runtime-XXXXXX";
    ASSERT_NE(mkdtemp(runtime), nullptr);
    const std::string session = std::string("XDG_RUNTIME_DIR=") + runtime;
    const std::vector<std::vector<std::string>> envs = {
        {"DISPLAY", "WAYLAND_DISPLAY", session, "SDL_VIDEODRIVER"},
        {"DISPLAY", "WAYLAND_DISPLAY", session, "SDL_VIDEODRIVER=offscreen"},
        {"DISPLAY", "WAYLAND_DISPLAY", session, "SDL_VIDEODRIVER=dummy"},
    };
    for (const std::vector<std::string>& env : envs) {
        const ChildResult r = run_program({KELVORA_PROGRAM, "--window", "--no-sound"}, env, 10000);
        EXPECT_FALSE(r.timed_out) << env.back() << ": the show played unseen";
        EXPECT_EQ(r.exit_code, 1) << env.back();
        EXPECT_EQ(r.err, line) << env.back();
    }
    rmdir(runtime);
}

}  // namespace
