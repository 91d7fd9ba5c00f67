// The whole program in full screen on a private X server: the dialog answered with
// Return (sound off), the show in the mode of zoom 2 with the cursor hidden, Escape
// released or the window closed, exit code 1 and the desktop's mode back. And the
// other ends of a full-screen show: the normal end gives the mode back too, and on
// a fatal error the desktop's mode and the cursor are back while its box waits.
// Then the command line: options in place of the dialog, started away from the data.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include <functional>
#include <string>
#include <vector>

#include "x_test.h"

namespace {

class RealShow : public XTest {
protected:
    RealShow() : XTest(1280, 1024) {}
    void SetUp() override {
        XTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_TRUE(x.add_modes());
        ASSERT_EQ(x.current_mode(), std::make_pair(1280, 1024));
    }
};

// Runs the program, answers its dialog with Return after unchecking "Sound", checks
// the show in full screen at zoom 2, then ends it with end_show and checks the end.
void run_show_and_end(XSession& x, const std::function<void(unsigned long window)>& end_show) {
    Child show;
    ASSERT_TRUE(show.start({KELVORA_PROGRAM}, x.child_env()));
    const unsigned long dialog = x.wait_window("Kelvora", 20000);
    ASSERT_NE(dialog, 0ul);
    x.focus(dialog);
    // Tab to "Sound" (OK, Cancel, Fullscreen, Sound), uncheck it, accept the rest.
    ASSERT_TRUE(x.xdotool({"key", "--delay", "40", "Tab", "Tab", "Tab", "Tab", "space", "Return"}));

    const unsigned long window = x.wait_window("kelvora", 20000);
    ASSERT_NE(window, 0ul) << show.wait(0).err;
    EXPECT_EQ(x.find_window("Kelvora"), 0ul) << "dialog still on screen";
    EXPECT_TRUE(x.wait_mode(640, 480, 5000));
    x.move_pointer(200, 150);
    EXPECT_TRUE(x.wait_cursor(true, 5000));
    EXPECT_TRUE(show.running());
    // The window that appeared is the one the show runs in (not one made again later).
    EXPECT_EQ(x.find_window("kelvora"), window);

    end_show(window);
    const ChildResult r = show.wait(10000);
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.exit_code, 1) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(x.current_mode(), std::make_pair(1280, 1024));
}

TEST_F(RealShow, EscapeReleasedDuringTheFullScreenShowEndsWithOneAndGivesTheModeBack) {
    run_show_and_end(x, [&](unsigned long window) {
        x.focus(window);
        EXPECT_TRUE(x.xdotool({"key", "Escape"}));
    });
}

TEST_F(RealShow, ClosingTheFullScreenWindowEndsWithOneAndGivesTheModeBack) {
    run_show_and_end(x, [&](unsigned long window) { x.close_window(window); });
}

TEST_F(RealShow, NormalEndGivesTheModeBackWithoutDisplayStop) {
    Child probe;
    ASSERT_TRUE(probe.start({FULLSCREEN_PROBE, "2", "end"}, x.child_env()));
    EXPECT_TRUE(x.wait_mode(640, 480, 20000));
    const ChildResult r = probe.wait(20000);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(x.current_mode(), std::make_pair(1280, 1024));
}

TEST_F(RealShow, FatalErrorInFullScreenGivesTheDesktopBackBeforeItsBox) {
    Child probe;
    ASSERT_TRUE(probe.start({FULLSCREEN_PROBE, "2"}, x.child_env()));
    const unsigned long box = x.wait_window("Core Error", 20000);
    ASSERT_NE(box, 0ul) << probe.wait(0).err;
    // The box waits for its answer, on the desktop's own mode, with a cursor to answer it.
    EXPECT_TRUE(x.wait_mode(1280, 1024, 5000));
    for (auto [px, py] : {std::make_pair(100, 100), std::make_pair(640, 512)}) {
        x.move_pointer(px, py);
        EXPECT_TRUE(x.wait_cursor(false, 5000)) << px << "," << py;
    }
    EXPECT_TRUE(probe.running());

    x.focus(box);
    ASSERT_TRUE(x.xdotool({"key", "Return"}));
    const ChildResult r = probe.wait(10000);
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.err, "kelvora: Core Error: probe failure\n");
    EXPECT_EQ(x.current_mode(), std::make_pair(1280, 1024));
}

// Starts the program with these options in an empty folder of its own (its data lie
// beside it in the build folder), checks that no dialog came and the show runs in a
// window of the zoom's size or in the zoom's mode, then ends it with Escape.
void run_answered_show(XSession& x, const std::vector<std::string>& options, int w, int h, bool fullscreen) {
    char folder[] = "/tmp/kelvora-elsewhere-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::vector<std::string> argv{KELVORA_PROGRAM};
    argv.insert(argv.end(), options.begin(), options.end());
    Child show;
    ASSERT_TRUE(show.start(argv, x.child_env(), folder));
    const unsigned long window = x.wait_window("kelvora", 20000);
    ASSERT_NE(window, 0ul) << show.wait(0).err;
    EXPECT_EQ(x.find_window("Kelvora"), 0ul) << "the options answer the dialog";
    int wx = 0, wy = 0;
    if (fullscreen) {
        EXPECT_TRUE(x.wait_mode(w, h, 5000));
    } else {
        const auto [rx, ry, rw, rh] = x.window_rect(window);
        EXPECT_EQ(std::make_pair(rw, rh), std::make_pair(w, h));
        EXPECT_EQ(std::make_pair(rx, ry), std::make_pair((1280 - w) / 2, (1024 - h) / 2));
        wx = rx;
        wy = ry;
    }
    // The opening picture comes up out of black: the data were found.
    EXPECT_TRUE(soon(
        [&] {
            for (uint32_t p : x.pixels(wx, wy, w, h))
                if (p != 0) return true;
            return false;
        },
        5000));
    x.focus(window);
    EXPECT_TRUE(x.xdotool({"key", "Escape"}));
    const ChildResult r = show.wait(10000);
    EXPECT_EQ(r.exit_code, 1) << r.err;
    EXPECT_EQ(r.err, "");
    rmdir(folder);
}

TEST_F(RealShow, OptionsSkipTheDialogAndTheShowFindsItsDataFromAnyFolder) {
    run_answered_show(x, {"--window", "--no-sound"}, 640, 400, false);
    run_answered_show(x, {"--window", "--zoom", "1", "--no-sound"}, 320, 200, false);
    run_answered_show(x, {"--zoom=1", "--no-sound"}, 320, 200, true);
}

TEST(RealProgram, HelpVersionAndBadOptionsNeedNoDisplay) {
    const std::vector<std::string> no_display{"DISPLAY", "WAYLAND_DISPLAY"};
    ChildResult r = run_program({KELVORA_PROGRAM, "--help"}, no_display, 10000);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.out.rfind("usage: kelvora [--window | --fullscreen]", 0), 0u) << r.out;
    r = run_program({KELVORA_PROGRAM, "--version"}, no_display, 10000);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.out.rfind("kelvora ", 0), 0u) << r.out;
    // The parser's reasons are tested on their own; here, the program's one line and code.
    r = run_program({KELVORA_PROGRAM, "--window", "--zoom", "3"}, no_display, 10000);
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.err, "kelvora: --zoom wants 1, 2 or 4, not '3'\n");
    EXPECT_EQ(r.out, "");
}

}  // namespace
